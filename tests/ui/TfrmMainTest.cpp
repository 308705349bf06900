#include "ui/TfrmMain.h"

#include "UiTestSupport.h"
#include "ui/TfrmHelp.h"

#include <QAction>
#include <QMenuBar>
#include <QScreen>
#include <QSignalSpy>
#include <QStatusTipEvent>
#include <QTest>
#include <QTextBrowser>
#include <QToolBar>
#include <QToolButton>
#include <stdexcept>

namespace harvexa::test {
namespace {

constexpr MainCommand kAllCommands[] = {
    MainCommand::SearchDirectories, MainCommand::NewResearch,    MainCommand::Researches,
    MainCommand::CapturedData,      MainCommand::SearchEngines,  MainCommand::SystemSettings,
    MainCommand::SystemTexts,       MainCommand::ProcessingLog,  MainCommand::CheckForUpdates,
    MainCommand::MakerContact,      MainCommand::MakerBugReport, MainCommand::MakerRecommendation,
    MainCommand::MakerWebSite,      MainCommand::Wizard,
};

class TfrmMainTest : public UiTest {
protected:
    void TearDown() override {
        // The hooks of a test capture its locals.
        window.SetCloseHook({});
        window.SetShownHook({});
        UiTest::TearDown();
    }

    void ShowActive() {
        window.show();
        QApplication::setActiveWindow(&window);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window, 2000));
    }

    QToolButton* ToolButton(QAction* action) const {
        return qobject_cast<QToolButton*>(window.findChild<QToolBar*>("tbMain")->widgetForAction(action));
    }

    TfrmMain window{lang, messages};
};

TEST_F(TfrmMainTest, EveryCommandWithoutAHandlerIsDisabled) {
    for (const MainCommand command : kAllCommands) {
        const int id = static_cast<int>(command);
        EXPECT_FALSE(window.HasCommand(command)) << id;
        QAction* menu = window.MenuAction(command);
        QAction* tool = window.ToolAction(command);
        EXPECT_TRUE(menu != nullptr || tool != nullptr) << id;
        if (menu != nullptr) {
            EXPECT_FALSE(menu->isEnabled()) << id;
        }
        if (tool != nullptr) {
            EXPECT_FALSE(tool->isEnabled()) << id;
        }
    }
}

TEST_F(TfrmMainTest, AHandlerEnablesItsMenuEntryAndToolButtonAndRunsFromBoth) {
    int runs = 0;
    window.SetCommand(MainCommand::Researches, [&runs] { ++runs; });
    ASSERT_TRUE(window.HasCommand(MainCommand::Researches));
    EXPECT_TRUE(window.MenuAction(MainCommand::Researches)->isEnabled());
    EXPECT_TRUE(window.ToolAction(MainCommand::Researches)->isEnabled());
    EXPECT_FALSE(window.MenuAction(MainCommand::NewResearch)->isEnabled());

    window.MenuAction(MainCommand::Researches)->trigger();
    window.ToolAction(MainCommand::Researches)->trigger();
    EXPECT_EQ(runs, 2);

    window.SetCommand(MainCommand::Researches, {});
    EXPECT_FALSE(window.HasCommand(MainCommand::Researches));
    EXPECT_FALSE(window.MenuAction(MainCommand::Researches)->isEnabled());
    EXPECT_FALSE(window.ToolAction(MainCommand::Researches)->isEnabled());
}

TEST_F(TfrmMainTest, FunctionKeysRunTheirCommandsOnlyWhenTheyHaveHandlers) {
    struct Case {
        Qt::Key key;
        MainCommand command;
    };
    const Case cases[] = {
        {Qt::Key_F2, MainCommand::NewResearch},
        {Qt::Key_F3, MainCommand::Researches},
        {Qt::Key_F5, MainCommand::CapturedData},
    };
    ShowActive();
    for (const Case& entry : cases) {
        int runs = 0;
        QTest::keyClick(&window, entry.key);
        EXPECT_EQ(runs, 0);
        window.SetCommand(entry.command, [&runs] { ++runs; });
        QTest::keyClick(&window, entry.key);
        EXPECT_EQ(runs, 1) << static_cast<int>(entry.command);
        window.SetCommand(entry.command, {});
    }
}

TEST_F(TfrmMainTest, TheCloseHookDecidesWhetherTheWindowCloses) {
    ShowActive();
    QSignalSpy closed(&window, &TfrmMain::closed);
    int asked = 0;
    bool answer = false;
    window.SetCloseHook([&] {
        ++asked;
        return answer;
    });

    QTest::keyClick(&window, Qt::Key_F4);
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(window.isVisible());
    window.ExitToolAction()->trigger();
    EXPECT_EQ(asked, 2);
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(closed.count(), 0);

    answer = true;
    window.CloseAction()->trigger();
    EXPECT_EQ(asked, 3);
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(closed.count(), 1);
}

TEST_F(TfrmMainTest, WithoutACloseHookTheWindowCloses) {
    window.show();
    EXPECT_TRUE(window.close());
    EXPECT_FALSE(window.isVisible());
}

TEST_F(TfrmMainTest, AFailingCloseHookKeepsTheWindowOpenAndShowsTheError) {
    window.show();
    window.SetCloseHook([]() -> bool { throw std::runtime_error("backup failed"); });
    EXPECT_FALSE(window.close());
    EXPECT_TRUE(window.isVisible());
    ASSERT_EQ(presenter.messages.size(), 1u);
    EXPECT_EQ(presenter.messages[0].kind, MessageKind::Error);
    EXPECT_EQ(presenter.messages[0].text, "backup failed");
}

TEST_F(TfrmMainTest, AboutShowsTheAboutTextFromMenuAndToolButton) {
    window.show();
    window.AboutAction()->trigger();
    QTest::mouseClick(ToolButton(window.AboutToolAction()), Qt::LeftButton, {}, QPoint(4, 4));

    ASSERT_EQ(presenter.messages.size(), 2u);
    for (const RecordedMessage& message : presenter.messages) {
        EXPECT_EQ(message.kind, MessageKind::Information);
        EXPECT_EQ(message.caption, Text(6000, 11));
        EXPECT_EQ(message.text, Text(5000, 87));
    }
    EXPECT_NE(ToolButton(window.AboutToolAction())->menu(), nullptr);
}

TEST_F(TfrmMainTest, F1OpensThePresentationHelpTopic) {
    ShowActive();
    QTest::keyClick(&window, Qt::Key_F1);
    auto* help = window.findChild<TfrmHelp*>();
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->isVisible());
    EXPECT_EQ(help->CurrentTopic(), "Presentation");
    EXPECT_TRUE(help->Browser()->toPlainText().contains("Harvexa"));
}

TEST_F(TfrmMainTest, ACommandThatFailsShowsItsErrorInsteadOfEscaping) {
    window.SetCommand(MainCommand::SystemSettings, [] { throw std::runtime_error("settings unreadable"); });
    window.MenuAction(MainCommand::SystemSettings)->trigger();
    ASSERT_EQ(presenter.messages.size(), 1u);
    EXPECT_EQ(presenter.messages[0].kind, MessageKind::Error);
    EXPECT_EQ(presenter.messages[0].caption, Text(6000, 10));
    EXPECT_EQ(presenter.messages[0].text, "settings unreadable");
}

TEST_F(TfrmMainTest, ShowingLocalisesSetsTheSixHintsAndRunsTheShownHookEachTime) {
    int shown = 0;
    window.SetShownHook([&] { ++shown; });
    window.show();

    EXPECT_EQ(window.windowTitle().toStdString(), Text(100, 1));
    EXPECT_EQ(window.MenuAction(MainCommand::Researches)->text().toStdString(), Text(100, 4));
    EXPECT_EQ(window.ToolAction(MainCommand::Researches)->text().toStdString(), Text(100, 14));
    const std::pair<QAction*, int> hints[] = {
        {window.ToolAction(MainCommand::Researches), 183},
        {window.ToolAction(MainCommand::Wizard), 184},
        {window.ToolAction(MainCommand::SearchDirectories), 185},
        {window.ToolAction(MainCommand::CapturedData), 186},
        {window.ToolAction(MainCommand::SystemSettings), 187},
        {window.ExitToolAction(), 188},
    };
    for (const auto& [action, key] : hints) {
        EXPECT_EQ(action->toolTip().toStdString(), Text(6000, key)) << key;
        EXPECT_EQ(action->statusTip().toStdString(), Text(6000, key)) << key;
    }
    EXPECT_EQ(shown, 1);

    window.hide();
    window.show();
    EXPECT_EQ(shown, 2);
}

TEST_F(TfrmMainTest, TheSecondStatusPanelShowsTheHintUnderTheMouse) {
    window.show();
    QToolButton* researches = ToolButton(window.ToolAction(MainCommand::Researches));
    ASSERT_NE(researches, nullptr);
    QStatusTipEvent hover(researches->statusTip());
    QApplication::sendEvent(researches, &hover);
    EXPECT_EQ(window.CurrentHint().toStdString(), Text(6000, 183));

    QStatusTipEvent leave(QString{});
    QApplication::sendEvent(researches, &leave);
    EXPECT_TRUE(window.CurrentHint().isEmpty());
}

TEST_F(TfrmMainTest, TheWindowIsACompactCommandBarAsWideAsTheLimitAllows) {
    QFont font = window.font();
    font.setPointSize(9);
    window.setFont(font);
    window.show();
    EXPECT_EQ(window.maximumSize(), QSize(TfrmMain::kMaxWidth, TfrmMain::kMaxHeight));
    const int screenWidth = window.screen()->availableGeometry().width();
    EXPECT_EQ(window.width(), std::min(screenWidth - 3, TfrmMain::kMaxWidth));
    EXPECT_LE(window.height(), TfrmMain::kMaxHeight);
    // Nothing is cut off: menu, tool bar and status bar fit the window.
    EXPECT_GE(window.height(), window.sizeHint().height());
    EXPECT_GE(window.width(), window.sizeHint().width());
    EXPECT_FALSE(window.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_TRUE(window.windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
}

TEST_F(TfrmMainTest, LargeDesktopFontsWidenTheBarInsteadOfCuttingCaptionsOff) {
    QFont font = window.font();
    font.setPointSize(13);
    window.setFont(font);
    window.show();
    auto* toolBar = window.findChild<QToolBar*>("tbMain");
    ASSERT_LE(toolBar->sizeHint().width(), window.screen()->availableGeometry().width() - 3);
    EXPECT_GT(window.maximumWidth(), TfrmMain::kMaxWidth);
    EXPECT_GE(toolBar->width(), toolBar->sizeHint().width());
    EXPECT_GE(window.height(), window.sizeHint().height());
}

TEST_F(TfrmMainTest, HiddenEntriesStayHidden) {
    for (const MainCommand command : {MainCommand::SystemTexts, MainCommand::MakerContact,
                                      MainCommand::MakerBugReport, MainCommand::MakerRecommendation})
        EXPECT_FALSE(window.MenuAction(command)->isVisible()) << static_cast<int>(command);
    EXPECT_TRUE(window.MenuAction(MainCommand::MakerWebSite)->isVisible());
}

} // namespace
} // namespace harvexa::test
