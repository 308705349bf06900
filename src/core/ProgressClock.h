#pragma once

#include <chrono>
#include <optional>
#include <string>

namespace harvexa {

// The remaining-time clock of the progress window, ticked once a second.
class ProgressClock final {
public:
    using Clock = std::chrono::steady_clock;

    struct Reading {
        std::string remaining;
        std::optional<std::string> elapsed; // empty when the elapsed caption stays as it is
    };

    void Start(Clock::time_point now);
    Reading Tick(Clock::time_point now, long long partialValue, long long partialMax);

    static std::string FormatHms(std::chrono::seconds duration);

private:
    Clock::time_point m_start{};
    long long m_lastValue = 0;
    std::chrono::seconds m_remaining{0};
};

} // namespace harvexa
