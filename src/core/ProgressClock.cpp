#include "core/ProgressClock.h"

#include <cstdio>

namespace harvexa {

void ProgressClock::Start(Clock::time_point now) {
    m_start = now;
    m_lastValue = 0;
    m_remaining = std::chrono::seconds(0);
}

ProgressClock::Reading ProgressClock::Tick(Clock::time_point now, long long partialValue, long long partialMax) {
    if (partialValue == 0) {
        m_remaining = std::chrono::seconds(0);
        return {FormatHms(m_remaining), std::nullopt};
    }
    const auto elapsed = std::chrono::duration_cast<std::chrono::seconds>(now - m_start);
    if (partialValue == m_lastValue) {
        if (m_remaining.count() > 0)
            m_remaining -= std::chrono::seconds(1);
    } else {
        const long long left = partialMax > partialValue ? partialMax - partialValue : 0;
        const auto elapsedMs = std::chrono::duration_cast<std::chrono::milliseconds>(now - m_start).count();
        m_remaining = std::chrono::seconds(elapsedMs * left / partialValue / 1000);
    }
    m_lastValue = partialValue;
    return {FormatHms(m_remaining), FormatHms(elapsed)};
}

std::string ProgressClock::FormatHms(std::chrono::seconds duration) {
    long long total = duration.count() < 0 ? 0 : duration.count();
    char text[32];
    std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld", total / 3600, (total / 60) % 60, total % 60);
    return text;
}

} // namespace harvexa
