#include "execution/NetworkErrorRule.h"

#include "analysis/TextScan.h"

namespace harvexa {

namespace {

bool Has(std::string_view message, std::string_view phrase) {
    return analysis::ContainsIgnoreCase(message, phrase);
}

} // namespace

bool NetworkErrorRule::IsNetworkError(std::string_view message) {
    const std::string_view m = message;
    if (Has(m, kHostNotFound) || Has(m, "11001"))
        return true;
    if (Has(m, kConnectionTimedOut) || Has(m, "connect timed out"))
        return true;
    if (Has(m, kOutOfBuffers) || Has(m, "10055"))
        return true;
    // Refused connections and invalid arguments say nothing about the network as a whole.
    const bool refusedOrInvalid =
        Has(m, "10061") || Has(m, "10022") || Has(m, kConnectionRefused) || Has(m, kInvalidArgument);
    return Has(m, kSocketError) && !refusedOrInvalid;
}

} // namespace harvexa
