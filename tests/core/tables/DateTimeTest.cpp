#include "core/tables/DateTime.h"

#include <gtest/gtest.h>

namespace harvexa {
namespace {

TEST(DateTime, DefaultIsTheZeroDateTime) {
    const DateTime zero;
    EXPECT_TRUE(zero.IsZero());
    EXPECT_EQ(zero.ToPacketText(), "18991230T00:00:00000");
    EXPECT_EQ(zero, DateTime::Zero());
}

TEST(DateTime, PacketTextRoundTrips) {
    const DateTime value = *DateTime::FromParts(2026, 12, 11, 14, 5, 9, 87);
    EXPECT_EQ(value.ToPacketText(), "20261211T14:05:09087");
    EXPECT_EQ(DateTime::FromText(value.ToPacketText()), value);
    EXPECT_EQ(value.ToDisplayText(), "2026-12-11 14:05:09");
}

TEST(DateTime, ReadsTheAcceptedForms) {
    struct Case {
        const char* text;
        int year, month, day, hour, minute, second, millisecond;
    };
    const Case cases[] = {
        {"20240229T23:59:58123", 2024, 2, 29, 23, 59, 58, 123},
        {"20240229T23:59:58", 2024, 2, 29, 23, 59, 58, 0},
        {"20240229", 2024, 2, 29, 0, 0, 0, 0},
        {"2024-02-29", 2024, 2, 29, 0, 0, 0, 0},
        {"2024-02-29T08:07", 2024, 2, 29, 8, 7, 0, 0},
        {" 2024-02-29 08:07:06.005 ", 2024, 2, 29, 8, 7, 6, 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const auto value = DateTime::FromText(c.text);
        ASSERT_TRUE(value.has_value());
        EXPECT_EQ(*value,
                  *DateTime::FromParts(c.year, c.month, c.day, c.hour, c.minute, c.second, c.millisecond));
    }
}

TEST(DateTime, RefusesImpossibleDatesAndGarbage) {
    for (const char* text :
         {"", "2023-02-29", "20231301", "2023-04-31", "2023-01-01T24:00", "2023-01-01T10:60", "2023-1-01",
          "20230101X10:00", "20230101T10:00:00abc", "hello"}) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(DateTime::FromText(text).has_value());
    }
}

TEST(DateTime, KeyOrdersLikeTheDateAndRestoresIt) {
    const DateTime earlier = *DateTime::FromParts(2025, 12, 31, 23, 59, 59, 999);
    const DateTime later = *DateTime::FromParts(2026, 1, 1);
    EXPECT_LT(earlier, later);
    EXPECT_LT(earlier.Key(), later.Key());
    EXPECT_EQ(DateTime::FromKey(earlier.Key()), earlier);
    EXPECT_EQ(DateTime::FromKey(DateTime().Key()), DateTime());
}

} // namespace
} // namespace harvexa
