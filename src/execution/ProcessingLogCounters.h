#pragma once

#include <cstdint>

namespace harvexa {

// The figures the processing view shows beside the log.
struct ProcessingLogCounters final {
    std::uint64_t total = 0;      // every counted entry since the log started, rows or not
    std::uint64_t shownTotal = 0; // what the total label shows: the line limit once the total passed it
    std::uint64_t positive = 0;
    std::uint64_t alert = 0;
    std::uint64_t negative = 0;
    std::uint64_t consecutiveNetworkErrors = 0;

    bool operator==(const ProcessingLogCounters&) const = default;
};

} // namespace harvexa
