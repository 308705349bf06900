#include "ui/TfrmProgressType2.h"

#include "UiTestSupport.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

namespace harvexa::test {
namespace {

class TfrmProgressType2Test : public UiTest {
protected:
    QString Label(const char* name) const { return window.findChild<QLabel*>(name)->text(); }
    QProgressBar* Bar() const { return window.findChild<QProgressBar*>("pbProgress"); }
    QPushButton* Stop() const { return window.findChild<QPushButton*>("btnStop"); }

    TfrmProgressType2 window{lang, messages};
};

TEST_F(TfrmProgressType2Test, StartSetsTheTextsTheBarAndTheStopButtonAndShows) {
    window.Progress2Start("Deleting", "Research 7", 40, false, "Removing the captured files");
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(window.windowTitle(), "Deleting");
    EXPECT_EQ(Label("lbName"), "Research 7");
    EXPECT_EQ(Label("lbText"), "Removing the captured files");
    EXPECT_FALSE(Stop()->isEnabled());
    EXPECT_EQ(window.Maximum(), 40);
    EXPECT_EQ(window.Position(), 0);
    EXPECT_EQ(Bar()->maximum(), 40);
    EXPECT_EQ(Bar()->value(), 0);

    window.Progress2Step();
    window.Progress2Start("Loading", "File", 5, true, {});
    EXPECT_TRUE(Stop()->isEnabled());
    EXPECT_EQ(window.Position(), 0);
    EXPECT_EQ(window.windowTitle(), "Loading");
    EXPECT_TRUE(Label("lbText").isEmpty());
}

TEST_F(TfrmProgressType2Test, TextReplacesOnlyLinesGivenANewNonEmptyText) {
    window.Progress2Start("Caption", "name 1", 10, true, "text 1");
    window.Progress2Text({}, "text 2");
    EXPECT_EQ(Label("lbName"), "name 1");
    EXPECT_EQ(Label("lbText"), "text 2");
    window.Progress2Text("name 2", {});
    EXPECT_EQ(Label("lbName"), "name 2");
    EXPECT_EQ(Label("lbText"), "text 2");
}

TEST_F(TfrmProgressType2Test, StepAdvancesWithinTheMaximumAndSetMaxStartsAgain) {
    window.Progress2Start("Caption", "name", 3, true, "text");
    for (int i = 0; i < 5; ++i)
        window.Progress2Step();
    EXPECT_EQ(window.Position(), 3);
    EXPECT_EQ(Bar()->value(), 3);

    window.Progress2SetMax(100);
    EXPECT_EQ(window.Position(), 0);
    EXPECT_EQ(Bar()->maximum(), 100);
    window.Progress2Step();
    EXPECT_EQ(Bar()->value(), 1);
}

TEST_F(TfrmProgressType2Test, StopCallsTheCallbackAndCloseHides) {
    int stops = 0;
    window.Progress2OnStop([&stops] { ++stops; });
    window.Progress2Start("Caption", "name", 3, true, "text");
    QTest::mouseClick(Stop(), Qt::LeftButton);
    EXPECT_EQ(stops, 1);
    window.Progress2OnStop({});

    window.Progress2Close();
    EXPECT_FALSE(window.isVisible());
    window.Progress2Start("Again", "name", 3, true, "text");
    EXPECT_TRUE(window.isVisible());
}

TEST_F(TfrmProgressType2Test, AFailingStopCallbackIsReportedNotThrown) {
    window.Progress2OnStop([] { throw std::runtime_error("cannot stop now"); });
    window.Progress2Start("Caption", "name", 3, true, "text");
    QTest::mouseClick(Stop(), Qt::LeftButton);
    ASSERT_EQ(presenter.messages.size(), 1u);
    EXPECT_EQ(presenter.messages[0].text, "cannot stop now");
    window.Progress2OnStop({});
}

TEST_F(TfrmProgressType2Test, TheStopButtonIsLocalised) {
    window.Progress2Start("Caption", "name", 3, true, "text");
    EXPECT_EQ(Stop()->text().toStdString(), Text(2500, 2));
}

} // namespace
} // namespace harvexa::test
