#pragma once

#include <compare>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace harvexa {

// A local calendar date and time of day to the millisecond, as the tables store it.
// A default-constructed value is the zero date-time, 1899-12-30 00:00:00.000, which records
// hold when no date was ever assigned.
class DateTime final {
public:
    constexpr DateTime() = default;

    // nullopt when a part is out of range (year 1..9999, a real day of that month, 24-hour clock).
    static std::optional<DateTime> FromParts(int year, int month, int day, int hour = 0, int minute = 0,
                                             int second = 0, int millisecond = 0);
    static DateTime Zero() { return DateTime(); }
    static DateTime Now();

    int Year() const { return m_year; }
    int Month() const { return m_month; }
    int Day() const { return m_day; }
    int Hour() const { return m_hour; }
    int Minute() const { return m_minute; }
    int Second() const { return m_second; }
    int Millisecond() const { return m_millisecond; }
    bool IsZero() const { return *this == DateTime(); }

    // The table files' form "YYYYMMDDTHH:MM:SSmmm", for example "20261211T14:05:00000".
    std::string ToPacketText() const;
    // "YYYY-MM-DD HH:MM:SS", used where a date-time is read as text.
    std::string ToDisplayText() const;
    // Accepts the packet form (milliseconds optional), "YYYYMMDD", and ISO 8601 dates with an optional
    // "T" or blank and time "HH:MM[:SS[.mmm]]". Surrounding blanks are ignored.
    static std::optional<DateTime> FromText(std::string_view text);

    // YYYYMMDDHHMMSSmmm as one number: orders like the date-time; used for compact storage.
    std::int64_t Key() const;
    static DateTime FromKey(std::int64_t key);

    auto operator<=>(const DateTime&) const = default;

private:
    std::int16_t m_year = 1899;
    std::int8_t m_month = 12;
    std::int8_t m_day = 30;
    std::int8_t m_hour = 0;
    std::int8_t m_minute = 0;
    std::int8_t m_second = 0;
    std::int16_t m_millisecond = 0;
};

} // namespace harvexa
