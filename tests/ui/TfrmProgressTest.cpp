#include "ui/TfrmProgress.h"

#include "UiTestSupport.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace harvexa::test {
namespace {

using namespace std::chrono_literals;

class TfrmProgressTest : public UiTest {
protected:
    void SetUp() override {
        window.SetTimeSource([this] { return now; });
    }

    // Moves the injected clock on and runs one tick of the remaining-time clock.
    void TickAt(std::chrono::seconds sinceStart) {
        now = start + sinceStart;
        window.TickRemainingTime();
    }

    QString Label(const char* name) const { return window.findChild<QLabel*>(name)->text(); }
    QProgressBar* Gauge(const char* name) const { return window.findChild<QProgressBar*>(name); }

    const ProgressClock::Clock::time_point start = ProgressClock::Clock::time_point{} + 1000h;
    ProgressClock::Clock::time_point now = start;
    TfrmProgress window{lang, messages};
};

TEST_F(TfrmProgressTest, APartialGaugeAtZeroKeepsTheRemainingTimeAtZero) {
    window.ProgressStart(100, 10);
    for (const auto seconds : {1s, 10s, 50s, 3600s}) {
        TickAt(seconds);
        EXPECT_EQ(Label("lbTimeLeft"), "00:00:00");
        EXPECT_EQ(Label("lbElapsedTime"), "00:00:00");
    }
}

TEST_F(TfrmProgressTest, RemainingTimeFollowsThePartialGauge) {
    window.ProgressStart(100, 10);
    window.ProgressPartial(25, "page 25");
    TickAt(10s);
    EXPECT_EQ(Label("lbTimeLeft"), "00:00:30");
    EXPECT_EQ(Label("lbElapsedTime"), "00:00:10");
}

TEST_F(TfrmProgressTest, AGaugeThatDoesNotMoveLosesOneSecondPerTickWhileElapsedTimeCounts) {
    window.ProgressStart(100, 10);
    window.ProgressPartial(25, {});
    TickAt(10s);
    ASSERT_EQ(Label("lbTimeLeft"), "00:00:30");
    TickAt(11s);
    TickAt(12s);
    TickAt(13s);
    EXPECT_EQ(Label("lbTimeLeft"), "00:00:27");
    EXPECT_EQ(Label("lbElapsedTime"), "00:00:13");
}

TEST_F(TfrmProgressTest, ANewPartialMaximumRestartsThePartialClock) {
    window.ProgressStart(100, 10);
    now = start + 100s;
    window.ProgressSetPartialMax(40);
    window.ProgressPartial(10, {});
    TickAt(110s);
    EXPECT_EQ(Label("lbTimeLeft"), "00:00:30");
    EXPECT_EQ(Label("lbElapsedTime"), "00:00:10");
}

TEST_F(TfrmProgressTest, EachTickFirstLetsPendingEventsRun) {
    window.ProgressStart(100, 10);
    bool ran = false;
    QTimer::singleShot(0, &window, [&ran] { ran = true; });
    window.TickRemainingTime();
    EXPECT_TRUE(ran);
}

TEST_F(TfrmProgressTest, StartResetsShowsAndRunsClockAndAnimation) {
    window.ProgressStart(50, 5);
    window.ProgressTotal(3, "site 3");
    window.ProgressPartial(20, "page 20");
    TickAt(4s);
    ASSERT_NE(Label("lbElapsedTime"), "00:00:00");

    window.ProgressStart(80, 8);

    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(window.ClockRunning());
    EXPECT_TRUE(window.AnimationRunning());
    EXPECT_EQ(window.findChild<QTimer*>("tmLeft")->interval(), 1000);
    EXPECT_EQ(window.PartialValue(), 0);
    EXPECT_EQ(window.PartialMax(), 80);
    EXPECT_EQ(window.TotalValue(), 0);
    EXPECT_EQ(window.TotalMax(), 8);
    EXPECT_EQ(Gauge("gaugeParcial")->value(), 0);
    EXPECT_EQ(Gauge("gaugeTotal")->value(), 0);
    EXPECT_TRUE(Label("lbTotal").isEmpty());
    EXPECT_TRUE(Label("lbParcial").isEmpty());
    EXPECT_EQ(Label("lbTimeLeft"), "00:00:00");
    EXPECT_EQ(Label("lbElapsedTime"), "00:00:00");
}

TEST_F(TfrmProgressTest, StepsChangeTheCaptionOnlyForANewNonEmptyText) {
    window.ProgressStart(10, 10);
    window.ProgressStepTotal("first");
    EXPECT_EQ(Label("lbTotal"), "first");
    EXPECT_EQ(window.TotalValue(), 1);
    window.ProgressStepTotal({});
    EXPECT_EQ(Label("lbTotal"), "first");
    EXPECT_EQ(window.TotalValue(), 2);
    EXPECT_EQ(Gauge("gaugeTotal")->value(), 2);

    window.ProgressStepPartial("a");
    window.ProgressStepPartial({});
    window.ProgressStepPartial("b");
    EXPECT_EQ(Label("lbParcial"), "b");
    EXPECT_EQ(window.PartialValue(), 3);
    EXPECT_EQ(Gauge("gaugeParcial")->value(), 3);
}

TEST_F(TfrmProgressTest, GaugesStayWithinTheirMaximum) {
    window.ProgressStart(2, 0);
    for (int i = 0; i < 5; ++i) {
        window.ProgressStepPartial({});
        window.ProgressStepTotal({});
    }
    EXPECT_EQ(window.PartialValue(), 2);
    EXPECT_EQ(window.TotalValue(), 0);
    // A maximum of 0 shows an empty gauge, not a busy bar.
    EXPECT_GT(Gauge("gaugeTotal")->maximum(), 0);
    window.ProgressSetPartialMax(1);
    EXPECT_EQ(window.PartialValue(), 1);
    EXPECT_TRUE(Label("lbParcial").isEmpty());
}

TEST_F(TfrmProgressTest, ResetPartialClearsThePartialGaugeAndTimeButKeepsTheTotal) {
    window.ProgressStart(10, 10);
    window.ProgressTotal(4, "total");
    window.ProgressPartial(5, "part");
    TickAt(5s);
    window.ProgressResetPartial();
    EXPECT_EQ(window.PartialValue(), 0);
    EXPECT_TRUE(Label("lbParcial").isEmpty());
    EXPECT_EQ(Label("lbTimeLeft"), "00:00:00");
    EXPECT_EQ(window.TotalValue(), 4);
    EXPECT_EQ(Label("lbTotal"), "total");
    EXPECT_TRUE(window.AnimationRunning());
}

TEST_F(TfrmProgressTest, StopCallsTheCallerAndEnableStopEnablesTheButton) {
    window.ProgressStart(10, 10);
    int stops = 0;
    window.ProgressOnStop([&stops] { ++stops; });
    auto* stop = window.findChild<QPushButton*>("btnParar");
    stop->setEnabled(false);
    window.ProgressEnableStop();
    ASSERT_TRUE(stop->isEnabled());
    QTest::mouseClick(stop, Qt::LeftButton);
    EXPECT_EQ(stops, 1);
    window.ProgressOnStop({});
}

TEST_F(TfrmProgressTest, CloseStopsEverythingAndOnlyHidesTheWindow) {
    window.ProgressStart(10, 10);
    window.ProgressTotal(5, "total");
    window.ProgressPartial(5, "part");
    window.ProgressClose();
    EXPECT_FALSE(window.isVisible());
    EXPECT_FALSE(window.ClockRunning());
    EXPECT_FALSE(window.AnimationRunning());
    EXPECT_EQ(window.PartialValue(), 0);
    EXPECT_EQ(window.TotalValue(), 0);
    EXPECT_TRUE(Label("lbTotal").isEmpty());
    EXPECT_TRUE(Label("lbParcial").isEmpty());

    // The user closing it hides it as well; the window lives on for the next operation.
    window.ProgressStart(10, 10);
    EXPECT_TRUE(window.close());
    EXPECT_FALSE(window.testAttribute(Qt::WA_DeleteOnClose));
    window.ProgressStart(3, 3);
    EXPECT_TRUE(window.isVisible());
}

TEST_F(TfrmProgressTest, StaysOnTopAndIsLocalised) {
    window.ProgressStart(1, 1);
    EXPECT_TRUE(window.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(window.windowTitle().toStdString(), Text(1000, 1));
    EXPECT_EQ(window.findChild<QPushButton*>("btnParar")->text().toStdString(), Text(1000, 2));
    EXPECT_EQ(Label("lbTimeLeftCaption").toStdString(), Text(1000, 3));
    EXPECT_EQ(Label("lbElapsedTimeCaption").toStdString(), Text(1000, 4));
}

} // namespace
} // namespace harvexa::test
