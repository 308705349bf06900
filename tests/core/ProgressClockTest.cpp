#include "core/ProgressClock.h"

#include <gtest/gtest.h>

namespace harvexa {
namespace {

using namespace std::chrono_literals;

TEST(ProgressClock, GaugeAtZeroShowsZeroWhateverTheTime) {
    ProgressClock clock;
    const auto start = ProgressClock::Clock::time_point{} + 100s;
    clock.Start(start);
    const auto reading = clock.Tick(start + 500s, 0, 100);
    EXPECT_EQ(reading.remaining, "00:00:00");
    EXPECT_FALSE(reading.elapsed.has_value());
}

TEST(ProgressClock, EstimatesFromElapsedTime) {
    ProgressClock clock;
    const auto start = ProgressClock::Clock::time_point{} + 100s;
    clock.Start(start);
    const auto reading = clock.Tick(start + 10s, 25, 100);
    EXPECT_EQ(reading.remaining, "00:00:30");
    EXPECT_EQ(reading.elapsed, "00:00:10");
}

TEST(ProgressClock, StillGaugeCountsDownWhileElapsedRuns) {
    ProgressClock clock;
    const auto start = ProgressClock::Clock::time_point{} + 100s;
    clock.Start(start);
    EXPECT_EQ(clock.Tick(start + 10s, 25, 100).remaining, "00:00:30");
    for (int tick = 1; tick <= 3; ++tick) {
        const auto reading = clock.Tick(start + 10s + std::chrono::seconds(tick), 25, 100);
        EXPECT_EQ(reading.remaining, ProgressClock::FormatHms(std::chrono::seconds(30 - tick)));
        EXPECT_EQ(reading.elapsed, ProgressClock::FormatHms(std::chrono::seconds(10 + tick)));
    }
}

TEST(ProgressClock, FormatsHoursAndNeverGoesNegative) {
    EXPECT_EQ(ProgressClock::FormatHms(3723s), "01:02:03");
    EXPECT_EQ(ProgressClock::FormatHms(-5s), "00:00:00");
    ProgressClock clock;
    const auto start = ProgressClock::Clock::time_point{} + 1s;
    clock.Start(start);
    clock.Tick(start + 1s, 100, 100);
    EXPECT_EQ(clock.Tick(start + 2s, 100, 100).remaining, "00:00:00");
}

} // namespace
} // namespace harvexa
