#include "core/CoreStartup.h"
#include "core/ExceptionFilter.h"
#include "support/RecordingFrontEnd.h"
#include "support/TempAppFolder.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace harvexa {
namespace {

using test::RecordingFrontEnd;
using test::TempAppFolder;
namespace fs = std::filesystem;

constexpr const char* kTableFiles[] = {"tbResearch.xml",    "tbGenerator.xml", "tbSearchEngines.xml",
                                       "tbData.xml",        "tbSearchQuery.xml", "tbLackSites.xml"};

TEST(CoreStartup, FirstStartFillsFolderSecondCreatesNothingNew) {
    TempAppFolder app(TempAppFolder::Contents::Empty);
    RecordingFrontEnd front;
    {
        CoreStartup startup(front.Get());
        ASSERT_TRUE(startup.Start({}));
        EXPECT_TRUE(startup.Tables().CreatedTables());
    }
    for (const char* file : kTableFiles)
        EXPECT_TRUE(fs::exists(app.File(file))) << file;
    EXPECT_EQ(app.ReadFile("registry.txt"), "ok\n");
    EXPECT_TRUE(fs::exists(app.File("config/text.ini")));
    EXPECT_TRUE(fs::exists(app.File("backup/config.ini")));
    EXPECT_TRUE(front.presenter.shown.empty()) << front.presenter.shown.front().text;

    const auto researchTime = fs::last_write_time(app.File("tbResearch.xml"));
    CoreStartup again(front.Get());
    ASSERT_TRUE(again.Start({}));
    EXPECT_FALSE(again.Tables().CreatedTables());
    EXPECT_EQ(fs::last_write_time(app.File("tbResearch.xml")), researchTime);
}

TEST(CoreStartup, ResumeIdComesFromFirstArgument) {
    struct Case {
        std::vector<std::string> arguments;
        int resumeId;
    };
    for (const Case& c : {Case{{}, 0}, Case{{"17"}, 17}, Case{{"abc"}, 0}, Case{{"17x"}, 0}, Case{{"5", "9"}, 5}}) {
        TempAppFolder app;
        RecordingFrontEnd front;
        CoreStartup startup(front.Get());
        ASSERT_TRUE(startup.Start(c.arguments));
        EXPECT_EQ(startup.Principal().ResumeId(), c.resumeId);
        EXPECT_EQ(startup.Principal().Language(), "en");
    }
}

TEST(CoreStartup, MissingCatalogueIsRestoredOnNormalStartOnly) {
    TempAppFolder app;
    RecordingFrontEnd front;
    {
        CoreStartup startup(front.Get());
        ASSERT_TRUE(startup.Start({}));
    }
    fs::remove(app.File("config/text.ini"));
    {
        CoreStartup resumed(front.Get());
        ASSERT_TRUE(resumed.Start({"4"}));
        EXPECT_FALSE(fs::exists(app.File("config/text.ini")));
    }
    fs::remove(app.File("config/text.ini"));
    CoreStartup normal(front.Get());
    ASSERT_TRUE(normal.Start({}));
    EXPECT_EQ(app.ReadFile("config/text.ini"), app.ReadFile("backup/text.ini"));
}

TEST(CoreStartup, BrokenTableFileDoesNotStopTheStart) {
    TempAppFolder app;
    app.WriteFile("tbResearch.xml", "this is not xml");
    RecordingFrontEnd front;
    CoreStartup startup(front.Get());
    ASSERT_TRUE(startup.Start({}));
    EXPECT_EQ(app.ReadFile("tbResearch.xml"), "this is not xml") << "an existing file is never replaced";
    // The research file alone decides the creation, so no counter file exists: no id, and no -1.
    EXPECT_FALSE(startup.Principal().Facade().generator.NextId().has_value());
}

TEST(CoreStartup, PortHoldingTextIsMendedFromBackup) {
    TempAppFolder app;
    RecordingFrontEnd front;
    {
        CoreStartup startup(front.Get());
        ASSERT_TRUE(startup.Start({}));
    }
    app.WriteFile("config.ini", "[SYS CONFIG]\nProxy_Port=http\n");
    CoreStartup startup(front.Get());
    ASSERT_TRUE(startup.Start({}));
    EXPECT_EQ(startup.Principal().Facade().lang.Settings().simProcessCapture, "10");
    EXPECT_TRUE(front.presenter.shown.empty());
}

TEST(CoreStartup, UnusableFolderIsReportedNotCrashed) {
    TempAppFolder app(TempAppFolder::Contents::Empty);
    app.WriteFile("plain-file", "x");
    ::setenv("HARVEXA_HOME", app.File("plain-file/home").c_str(), 1);
    RecordingFrontEnd front;
    CoreStartup startup(front.Get());
    EXPECT_FALSE(startup.Start({}));
    ASSERT_EQ(front.presenter.shown.size(), 1u);
    EXPECT_EQ(front.presenter.shown[0].kind, MessageKind::Error);
    EXPECT_NE(front.presenter.shown[0].text.find("plain-file/home"), std::string::npos);
}

class Shutdown : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_startup.Start({})); }

    TempAppFolder m_app;
    RecordingFrontEnd m_front;
    CoreStartup m_startup{m_front.Get()};
};

TEST_F(Shutdown, NoKeepsRunningAndWritesNoBackup) {
    m_front.presenter.answers = {false};
    EXPECT_FALSE(m_startup.Principal().RequestShutdown());
    EXPECT_FALSE(m_startup.Principal().ShutDown());
    EXPECT_EQ(m_front.presenter.questions.size(), 1u);
    EXPECT_NE(m_front.presenter.questions[0], "not found text");
    EXPECT_FALSE(fs::exists(m_app.File("backup/tbResearch.xml")));
}

TEST_F(Shutdown, YesBacksUpTablesAndEnds) {
    m_front.presenter.answers = {true};
    EXPECT_TRUE(m_startup.Principal().RequestShutdown());
    EXPECT_TRUE(m_startup.Principal().ShutDown());
    for (const char* file : kTableFiles)
        EXPECT_EQ(m_app.ReadFile(std::string("backup/") + file), m_app.ReadFile(file)) << file;
    EXPECT_EQ(m_front.progress.calls.back(), "Close");
}

TEST_F(Shutdown, RestartAsksNothingAndSkipsBackup) {
    m_startup.Principal().restartPending = true;
    EXPECT_TRUE(m_startup.Principal().RequestShutdown());
    EXPECT_TRUE(m_front.presenter.questions.empty());
    EXPECT_FALSE(fs::exists(m_app.File("backup/tbResearch.xml")));
}

TEST_F(Shutdown, YesKeepsResearchHandOverWithoutRestarter) {
    m_app.WriteFile("research.txt", "12");
    m_front.presenter.answers = {true};
    EXPECT_TRUE(m_startup.Principal().RequestShutdown());
    EXPECT_TRUE(fs::exists(m_app.File("research.txt"))) << "only a running restarter makes it go away";
}

TEST(ExceptionFilter, ShowsEveryMessageAndLogsIt) {
    TempAppFolder app;
    RecordingFrontEnd front;
    CoreStartup startup(front.Get());
    ASSERT_TRUE(startup.Start({}));
    for (const char* message : {"Access violation at address 0", "Disk full", "Invalid pointer operation",
                                "Cannot change Visible in OnShow"}) {
        FilterException(message, startup.Principal().Facade().messages);
        ASSERT_FALSE(front.presenter.shown.empty());
        EXPECT_EQ(front.presenter.shown.back().text, message);
        EXPECT_EQ(front.presenter.shown.back().kind, MessageKind::Error);
        EXPECT_NE(app.ReadFile("harvexa.log").find(message), std::string::npos);
    }
}

} // namespace
} // namespace harvexa
