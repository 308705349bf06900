#include "core/tables/DateTime.h"

#include <chrono>
#include <cstdio>
#include <ctime>

namespace harvexa {

namespace {

bool IsLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return (month == 2 && IsLeapYear(year)) ? 29 : kDays[month - 1];
}

// Reads exactly `count` digits at `pos`, advancing it.
bool ReadDigits(std::string_view text, std::size_t& pos, std::size_t count, int& value) {
    if (pos + count > text.size())
        return false;
    value = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const char c = text[pos + i];
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + (c - '0');
    }
    pos += count;
    return true;
}

bool Expect(std::string_view text, std::size_t& pos, char c) {
    if (pos < text.size() && text[pos] == c) {
        ++pos;
        return true;
    }
    return false;
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

// "HH:MM[:SS[mmm|.mmm]]" from `pos` to the end.
bool ReadTime(std::string_view text, std::size_t pos, bool packetForm, int& hour, int& minute, int& second,
              int& millisecond) {
    if (!ReadDigits(text, pos, 2, hour) || !Expect(text, pos, ':') || !ReadDigits(text, pos, 2, minute))
        return false;
    if (pos == text.size())
        return true;
    if (!Expect(text, pos, ':') || !ReadDigits(text, pos, 2, second))
        return false;
    if (pos == text.size())
        return true;
    if (!packetForm && !Expect(text, pos, '.'))
        return false;
    if (packetForm)
        Expect(text, pos, '.');
    return ReadDigits(text, pos, 3, millisecond) && pos == text.size();
}

} // namespace

std::optional<DateTime> DateTime::FromParts(int year, int month, int day, int hour, int minute, int second,
                                            int millisecond) {
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month) ||
        hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 || millisecond < 0 ||
        millisecond > 999)
        return std::nullopt;
    DateTime value;
    value.m_year = static_cast<std::int16_t>(year);
    value.m_month = static_cast<std::int8_t>(month);
    value.m_day = static_cast<std::int8_t>(day);
    value.m_hour = static_cast<std::int8_t>(hour);
    value.m_minute = static_cast<std::int8_t>(minute);
    value.m_second = static_cast<std::int8_t>(second);
    value.m_millisecond = static_cast<std::int16_t>(millisecond);
    return value;
}

DateTime DateTime::Now() {
    const auto now = std::chrono::system_clock::now();
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    const auto millis =
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
    std::tm local{};
    localtime_r(&seconds, &local);
    return FromParts(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min,
                     local.tm_sec > 59 ? 59 : local.tm_sec, static_cast<int>(millis < 0 ? 0 : millis))
        .value_or(DateTime());
}

std::string DateTime::ToPacketText() const {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%04d%02d%02dT%02d:%02d:%02d%03d", m_year, m_month, m_day, m_hour,
                  m_minute, m_second, m_millisecond);
    return buffer;
}

std::string DateTime::ToDisplayText() const {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d %02d:%02d:%02d", m_year, m_month, m_day, m_hour,
                  m_minute, m_second);
    return buffer;
}

std::optional<DateTime> DateTime::FromText(std::string_view text) {
    text = Trim(text);
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, millisecond = 0;
    std::size_t pos = 0;
    if (!ReadDigits(text, pos, 4, year))
        return std::nullopt;
    bool packetForm = true;
    if (Expect(text, pos, '-')) {
        packetForm = false;
        if (!ReadDigits(text, pos, 2, month) || !Expect(text, pos, '-') || !ReadDigits(text, pos, 2, day))
            return std::nullopt;
    } else if (!ReadDigits(text, pos, 2, month) || !ReadDigits(text, pos, 2, day)) {
        return std::nullopt;
    }
    if (pos < text.size()) {
        if (!Expect(text, pos, 'T') && !Expect(text, pos, ' '))
            return std::nullopt;
        if (!ReadTime(text, pos, packetForm, hour, minute, second, millisecond))
            return std::nullopt;
    }
    return FromParts(year, month, day, hour, minute, second, millisecond);
}

std::int64_t DateTime::Key() const {
    std::int64_t key = m_year;
    key = key * 100 + m_month;
    key = key * 100 + m_day;
    key = key * 100 + m_hour;
    key = key * 100 + m_minute;
    key = key * 100 + m_second;
    return key * 1000 + m_millisecond;
}

DateTime DateTime::FromKey(std::int64_t key) {
    const int millisecond = static_cast<int>(key % 1000);
    key /= 1000;
    const int second = static_cast<int>(key % 100);
    key /= 100;
    const int minute = static_cast<int>(key % 100);
    key /= 100;
    const int hour = static_cast<int>(key % 100);
    key /= 100;
    const int day = static_cast<int>(key % 100);
    key /= 100;
    const int month = static_cast<int>(key % 100);
    key /= 100;
    return FromParts(static_cast<int>(key), month, day, hour, minute, second, millisecond)
        .value_or(DateTime());
}

} // namespace harvexa
