#pragma once

#include <cstdint>
#include <string>

namespace harvexa {

// One report of a capture worker, applied on the user-interface thread while the worker waits.
struct ClVclThreadAccess final {
    enum class Kind { Status, Log, Remaining, Bytes, Processed, Error };

    Kind kind = Kind::Status;
    std::string Message;
    std::string Subject;
    std::string Caption;
    std::int64_t Value = 0;
    std::int64_t Icon = -1;
    std::int64_t Progress = 0;
    // A log report of a failed fetch that counts towards the network-error stop.
    bool ConnectionError = false;
};

} // namespace harvexa
