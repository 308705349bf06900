#pragma once

#include <string_view>

namespace harvexa {

// Which processing-log messages count as connection errors for the "Max_Error" stop. Capture
// workers write their failures with these phrases (for example "Host not found: h1"); the
// Winsock codes of messages brought from older logs count as well.
class NetworkErrorRule final {
public:
    static constexpr std::string_view kHostNotFound = "Host not found";
    static constexpr std::string_view kConnectionTimedOut = "Connection timed out";
    // Any other socket failure; it counts unless it also names one of the two phrases below.
    static constexpr std::string_view kSocketError = "Socket error";
    static constexpr std::string_view kConnectionRefused = "Connection refused";
    static constexpr std::string_view kInvalidArgument = "Invalid argument";
    static constexpr std::string_view kOutOfBuffers = "Out of buffers";

    // Letter case is ignored.
    static bool IsNetworkError(std::string_view message);
};

} // namespace harvexa
