#include "execution/ProcessingLog.h"

#include "core/CLLang.h"
#include "execution/NetworkErrorRule.h"
#include "support/TempAppFolder.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace harvexa {
namespace {

using test::TempAppFolder;
namespace fs = std::filesystem;

DateTime At(int year, int month, int day, int hour = 10, int minute = 0, int second = 0) {
    return *DateTime::FromParts(year, month, day, hour, minute, second);
}

// Records what a view is told, one line per call.
class RecordingLogView final : public IProcessingLogView {
public:
    explicit RecordingLogView(const ProcessingLog* log = nullptr)
        : m_log(log) {}

    std::vector<std::string> calls;

    void EntryAdded(const ProcessingLogEntry& entry) override {
        std::string line = "added " + std::to_string(entry.sequence) + " " + entry.message;
        if (m_log) // reads the log back from inside the notification
            line += " rows=" + std::to_string(m_log->RowCount());
        calls.push_back(line);
    }
    void OldestRowsRemoved(std::size_t count) override {
        calls.push_back("removed " + std::to_string(count));
    }
    void CountersChanged(const ProcessingLogCounters& counters) override {
        calls.push_back("counters " + std::to_string(counters.total) + "/" +
                        std::to_string(counters.shownTotal));
    }
    void Cleared() override { calls.push_back("cleared"); }

private:
    const ProcessingLog* m_log;
};

class ProcessingLogTest : public ::testing::Test {
protected:
    void SetUp() override {
        Setting("LOG", "PROCESSAR_LOGS", "1");
        Setting("LOG", "LIMPAR_LOG", "0");
        Setting("SYS CONFIG", "Max_Error", "10");
    }

    void Setting(const std::string& section, const std::string& key, const std::string& value) {
        ASSERT_TRUE(m_lang.WriteConfigString(section, key, value));
    }
    std::unique_ptr<ProcessingLog> MakeLog(int lineLimit = 0) {
        return std::make_unique<ProcessingLog>(m_lang, lineLimit, [this] { return m_now; });
    }
    std::string Folder() const { return m_app.File("export/Hotels"); }
    std::string LogFile(const std::string& day) const {
        return m_app.ReadFile("export/Hotels/process [" + day + "].log");
    }
    std::vector<std::string> Messages(const ProcessingLog& log) const {
        std::vector<std::string> messages;
        for (const ProcessingLogEntry& row : log.Rows())
            messages.push_back(row.message);
        return messages;
    }

    TempAppFolder m_app;
    CLLang m_lang;
    DateTime m_now = At(2007, 3, 15);
};

TEST_F(ProcessingLogTest, EntriesAreCountedByKindAndShownWithTheirDateAndOneLineTexts) {
    auto log = MakeLog();
    m_now = At(2007, 3, 15, 9, 8, 7);
    const LogPostResult result = log->PostLogEntry("Page\r\nfetched", "http://h1/\t\"x\"", 0, "");
    log->PostLogEntry("Host not found: h2", "http://h2/", 1, "Page could not be fetched");
    log->PostLogEntry("url \"refused\"", "http://h3/", 2, "URL filter");
    log->PostLogEntry("url refused", "http://h4/", 2, "URL filter");

    EXPECT_TRUE(result.counted);
    EXPECT_TRUE(result.rowAdded);
    EXPECT_FALSE(result.stopRun);
    EXPECT_FALSE(result.fileWrite);
    const ProcessingLogCounters counters = log->Counters();
    EXPECT_EQ(counters.total, 4u);
    EXPECT_EQ(counters.shownTotal, 4u);
    EXPECT_EQ(counters.positive, 1u);
    EXPECT_EQ(counters.alert, 1u);
    EXPECT_EQ(counters.negative, 2u);

    const std::vector<ProcessingLogEntry> rows = log->Rows();
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0].DateTimeText(), "2007-03-15 09:08:07");
    EXPECT_EQ(rows[0].message, "Page fetched");
    EXPECT_EQ(rows[0].subject, "http://h1/ x");
    EXPECT_EQ(rows[0].FileLine(), "2007-03-15 09:08:07\tPage fetched\thttp://h1/ x\t\t0");
    EXPECT_EQ(rows[1].caption, "Page could not be fetched");
    EXPECT_EQ(rows[1].KindText(), "1");
    EXPECT_EQ(rows[2].message, "url refused");
    EXPECT_EQ(rows[3].sequence, rows[2].sequence + 1);
}

TEST_F(ProcessingLogTest, EntriesThatAreNotLoggedLeaveEverythingAlone) {
    struct Case {
        const char* name;
        std::string message;
        std::string caption;
        int kind;
    };
    const std::vector<Case> cases = {
        {"empty message", "", "c", 0},   {"blank message", " \t\r\n ", "c", 0},
        {"message 0", "0", "c", 2},      {"caption with an address", "m", "see http://h1/", 0},
        {"unknown kind 3", "m", "c", 3}, {"negative kind", "m", "c", -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto log = MakeLog();
        RecordingLogView view;
        log->SetView(&view);
        const LogPostResult result = log->PostLogEntry(c.message, "s", c.kind, c.caption);
        EXPECT_FALSE(result.counted);
        EXPECT_FALSE(result.rowAdded);
        EXPECT_EQ(log->Counters(), ProcessingLogCounters{});
        EXPECT_EQ(log->RowCount(), 0u);
        EXPECT_TRUE(view.calls.empty());
    }
}

TEST_F(ProcessingLogTest, AViolationIsCountedButShowsNoRow) {
    auto log = MakeLog();
    const LogPostResult result = log->PostLogEntry("Access violation at address 0", "s", 2, "c");
    EXPECT_TRUE(result.counted);
    EXPECT_FALSE(result.rowAdded);
    EXPECT_EQ(log->RowCount(), 0u);
    EXPECT_EQ(log->Counters().total, 1u);
    EXPECT_EQ(log->Counters().negative, 1u);
}

TEST_F(ProcessingLogTest, ADisabledLogKeepsNothingWritesNothingAndNeverStops) {
    Setting("LOG", "PROCESSAR_LOGS", "0");
    Setting("SYS CONFIG", "Max_Error", "5");
    auto log = MakeLog();
    log->SetLogFolder(Folder());
    RecordingLogView view;
    log->SetView(&view);
    ASSERT_FALSE(log->Enabled());
    bool stopped = false;
    for (int i = 0; i < 12; ++i)
        stopped = log->PostLogEntry("Host not found: h1", "http://h1/", 1, "c").stopRun || stopped;
    const LogPostResult marker = log->PostLogEntry(ProcessingLog::kRotationMarker, "saved", 0, "");

    EXPECT_FALSE(stopped);
    EXPECT_FALSE(marker.fileWrite);
    EXPECT_EQ(log->Counters(), ProcessingLogCounters{});
    EXPECT_EQ(log->RowCount(), 0u);
    EXPECT_TRUE(view.calls.empty());
    EXPECT_FALSE(fs::exists(Folder()));
}

TEST_F(ProcessingLogTest, TheSettingIsReadAgainWhenTheLogIsReset) {
    auto log = MakeLog();
    log->PostLogEntry("m", "s", 0, "c");
    Setting("LOG", "PROCESSAR_LOGS", "0");
    EXPECT_TRUE(log->Enabled()); // read when the window opened
    (void)log->Reset();
    EXPECT_FALSE(log->Enabled());
    EXPECT_EQ(log->RowCount(), 0u);
    EXPECT_EQ(log->Counters(), ProcessingLogCounters{});
}

TEST_F(ProcessingLogTest, TheLineLimitRemovesTheOldestRowAndTheTotalShowsTheLimit) {
    Setting("LOG", "LIMPAR_LOG", "20");
    auto log = MakeLog();
    RecordingLogView view;
    log->SetView(&view);
    for (int i = 1; i <= 25; ++i)
        log->PostLogEntry("entry " + std::to_string(i), "s", 0, "c");

    const std::vector<std::string> messages = Messages(*log);
    ASSERT_EQ(messages.size(), 20u);
    EXPECT_EQ(messages.front(), "entry 6");
    EXPECT_EQ(messages.back(), "entry 25");
    EXPECT_EQ(log->Counters().total, 25u);
    EXPECT_EQ(log->Counters().shownTotal, 20u);
    EXPECT_EQ(log->LineLimit(), 20);
    // Twenty entries of two calls each, then the 21st: row added, oldest removed, counters.
    ASSERT_GE(view.calls.size(), 43u);
    EXPECT_EQ(view.calls[39], "counters 20/20");
    EXPECT_EQ(view.calls[40], "added 21 entry 21");
    EXPECT_EQ(view.calls[41], "removed 1");
    EXPECT_EQ(view.calls[42], "counters 21/20");
}

TEST_F(ProcessingLogTest, TheLineLimitIsReadWhileItIsZeroThenKept) {
    auto log = MakeLog();
    for (int i = 1; i <= 3; ++i)
        log->PostLogEntry("entry " + std::to_string(i), "s", 0, "c");
    EXPECT_EQ(log->RowCount(), 3u); // "0": no limit
    Setting("LOG", "LIMPAR_LOG", "2");
    log->PostLogEntry("entry 4", "s", 0, "c");
    EXPECT_EQ(Messages(*log), (std::vector<std::string>{"entry 3", "entry 4"}));
    Setting("LOG", "LIMPAR_LOG", "50");
    log->PostLogEntry("entry 5", "s", 0, "c");
    EXPECT_EQ(log->RowCount(), 2u);
    EXPECT_EQ(log->LineLimit(), 2);
}

TEST_F(ProcessingLogTest, ALineLimitKnownBeforeIsUsedWithoutReadingTheSetting) {
    auto log = MakeLog(3);
    for (int i = 1; i <= 5; ++i)
        log->PostLogEntry("entry " + std::to_string(i), "s", 0, "c");
    EXPECT_EQ(Messages(*log), (std::vector<std::string>{"entry 3", "entry 4", "entry 5"}));
    EXPECT_EQ(log->Counters().shownTotal, 3u);
}

TEST_F(ProcessingLogTest, ViolationsDoNotShrinkTheListBelowTheLimit) {
    Setting("LOG", "LIMPAR_LOG", "3");
    auto log = MakeLog();
    for (int i = 1; i <= 3; ++i)
        log->PostLogEntry("entry " + std::to_string(i), "s", 0, "c");
    log->PostLogEntry("Access violation", "s", 0, "c");
    EXPECT_EQ(log->RowCount(), 3u);
    EXPECT_EQ(log->Counters().total, 4u);
    EXPECT_EQ(log->Counters().shownTotal, 3u);
}

TEST(NetworkErrorRule, MessagesThatCountAsConnectionErrors) {
    struct Case {
        std::string message;
        bool counts;
    };
    const std::vector<Case> cases = {
        {"Host not found: h1", true},
        {"HOST NOT FOUND", true},
        {"Socket Error # 11001", true},
        {"Connection timed out: h1", true},
        {"Connect timed out.", true},
        {"Out of buffers: h1", true},
        {"Socket Error # 10055 No buffer space available", true},
        {"Socket error: connection reset by peer", true},
        {"Socket Error # 10054", true},
        {"Socket Error # 10061 Connection refused.", false},
        {"Socket error: Connection refused", false},
        {"Socket Error # 10022 Invalid argument.", false},
        {"Socket error: invalid argument", false},
        {"Connection refused: h1", false},
        {"HTTP/1.1 500 Internal Server Error", false},
        {"Page fetched", false},
        {"", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(NetworkErrorRule::IsNetworkError(c.message), c.counts) << c.message;
}

TEST_F(ProcessingLogTest, TheTenthConsecutiveConnectionErrorStopsTheRunAndEveryMultipleAgain) {
    auto log = MakeLog();
    std::vector<int> stops;
    std::string stopMessage;
    for (int i = 1; i <= 25; ++i) {
        const LogPostResult result = log->PostLogEntry("Socket Error # 11001 Host not found", "u", 1, "c");
        if (result.stopRun) {
            stops.push_back(i);
            stopMessage = result.stopMessage;
        }
    }
    EXPECT_EQ(stops, (std::vector<int>{10, 20}));
    EXPECT_EQ(stopMessage, m_lang.ReadText(5000, 46));
    EXPECT_FALSE(stopMessage.empty());
    EXPECT_EQ(log->Counters().consecutiveNetworkErrors, 25u);
}

TEST_F(ProcessingLogTest, AnyOtherEntryBetweenErrorsStartsTheCountAgain) {
    struct Case {
        const char* name;
        std::string between;
        int kind;
    };
    const std::vector<Case> cases = {
        {"positive entry", "Page fetched", 0},
        {"negative entry", "URL refused", 2},
        {"refused connection", "Socket Error # 10061 Connection refused", 1},
        {"plain refused connection", "Connection refused: h1", 1},
        {"server error", "HTTP/1.1 500 Internal Server Error", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto log = MakeLog();
        bool stopped = false;
        for (int i = 0; i < 9; ++i)
            stopped = log->PostLogEntry("Host not found: h1", "u", 1, "c").stopRun || stopped;
        log->PostLogEntry(c.between, "u", c.kind, "c");
        EXPECT_EQ(log->Counters().consecutiveNetworkErrors, 0u);
        for (int i = 0; i < 9; ++i)
            stopped = log->PostLogEntry("Host not found: h1", "u", 1, "c").stopRun || stopped;
        EXPECT_FALSE(stopped);
        EXPECT_EQ(log->Counters().consecutiveNetworkErrors, 9u);
    }
}

TEST_F(ProcessingLogTest, EntriesThatAreNotLoggedDoNotBreakARunOfErrors) {
    Setting("SYS CONFIG", "Max_Error", "3");
    auto log = MakeLog();
    EXPECT_FALSE(log->PostLogEntry("Host not found: h1", "u", 1, "c").stopRun);
    EXPECT_FALSE(log->PostLogEntry("Host not found: h2", "u", 1, "c").stopRun);
    EXPECT_FALSE(log->PostLogEntry("", "u", 0, "c").counted);
    EXPECT_TRUE(log->PostLogEntry("Host not found: h3", "u", 1, "c").stopRun);
}

TEST_F(ProcessingLogTest, AMaxErrorOfZeroOrNoNumberNeverStops) {
    for (const std::string value : {"0", "", "not found text", "ten"}) {
        SCOPED_TRACE(value);
        Setting("SYS CONFIG", "Max_Error", value);
        auto log = MakeLog();
        bool stopped = false;
        for (int i = 0; i < 30; ++i)
            stopped = log->PostLogEntry("Host not found: h1", "u", 1, "c").stopRun || stopped;
        EXPECT_FALSE(stopped);
        EXPECT_EQ(log->Counters().consecutiveNetworkErrors, 30u);
    }
}

TEST_F(ProcessingLogTest, TheStopHandlerRunsOnceAtTheLimitAndMayUseTheLog) {
    Setting("SYS CONFIG", "Max_Error", "5");
    auto log = MakeLog();
    std::vector<std::string> handled;
    log->SetStopHandler([&](const std::string& message) {
        handled.push_back(message);
        // The controller's stop writes to the log itself.
        log->PostLogEntry("Research stopped", "s", 0, "c");
    });
    for (int i = 0; i < 7; ++i)
        log->PostLogEntry("Host not found: h1", "u", 1, "c");
    EXPECT_EQ(handled, std::vector<std::string>{m_lang.ReadText(5000, 46)});
    EXPECT_EQ(log->Counters().consecutiveNetworkErrors, 2u); // the handler's entry broke the run
}

TEST_F(ProcessingLogTest, TheRotationMarkerWritesTheLogFileOfTheDayIntoTheResearchFolder) {
    auto log = MakeLog();
    log->SetLogFolder(Folder()); // not there yet: made on the first write
    m_now = At(2007, 3, 15, 14, 5, 0);
    log->PostLogEntry("Page fetched", "http://h1/", 0, "");
    log->PostLogEntry("Host not found: h2", "http://h2/", 1, "Page could not be fetched");
    const LogPostResult result =
        log->PostLogEntry(ProcessingLog::kRotationMarker, m_lang.ReadText(5000, 52), 0, "");

    ASSERT_TRUE(result.fileWrite);
    EXPECT_TRUE(result.fileWrite->written) << result.fileWrite->error;
    EXPECT_EQ(result.fileWrite->linesWritten, 3u);
    EXPECT_EQ(result.fileWrite->path, Folder() + "/process [2007-03-15].log");
    EXPECT_EQ(LogFile("2007-03-15"), "2007-03-15 14:05:00\tPage fetched\thttp://h1/\t\t0\r\n"
                                     "2007-03-15 14:05:00\tHost not found: h2\thttp://h2/\tPage could not be "
                                     "fetched\t1\r\n"
                                     "2007-03-15 14:05:00\t99999\t" +
                                         m_lang.ReadText(5000, 52) + "\t\t0\r\n");
    EXPECT_EQ(log->UnwrittenLineCount(), 0u);
    EXPECT_EQ(log->RowCount(), 3u); // the marker is a row like any other
}

TEST_F(ProcessingLogTest, EachRotationAddsOnlyTheNewRowsAndASecondRunOfTheDayKeepsTheFirst) {
    {
        auto first = MakeLog();
        first->SetLogFolder(Folder());
        first->PostLogEntry("run 1 page", "u", 0, "");
        first->PostLogEntry(ProcessingLog::kRotationMarker, "saved", 0, "");
        first->PostLogEntry("run 1 later", "u", 0, "");
        first->PostLogEntry(ProcessingLog::kRotationMarker, "saved", 0, "");
    }
    auto second = MakeLog();
    second->SetLogFolder(Folder() + "/");
    second->PostLogEntry("run 2 page", "u", 0, "");
    second->PostLogEntry(ProcessingLog::kRotationMarker, "saved", 0, "");

    const std::string text = LogFile("2007-03-15");
    std::vector<std::string> messages;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = text.find("\r\n", start);
        ASSERT_NE(end, std::string::npos);
        const std::string line = text.substr(start, end - start);
        const std::size_t tab = line.find('\t');
        messages.push_back(line.substr(tab + 1, line.find('\t', tab + 1) - tab - 1));
        start = end + 2;
    }
    EXPECT_EQ(messages, (std::vector<std::string>{"run 1 page", "99999", "run 1 later", "99999", "run 2 page",
                                                  "99999"}));
}

TEST_F(ProcessingLogTest, RowsTheLineLimitRemovedStillReachTheFile) {
    Setting("LOG", "LIMPAR_LOG", "20");
    auto log = MakeLog();
    log->SetLogFolder(Folder());
    for (int i = 1; i <= 25; ++i)
        log->PostLogEntry("entry " + std::to_string(i), "s", 0, "c");
    const LogPostResult result = log->PostLogEntry(ProcessingLog::kRotationMarker, "saved", 0, "");
    ASSERT_TRUE(result.fileWrite);
    EXPECT_EQ(result.fileWrite->linesWritten, 26u);
    EXPECT_NE(LogFile("2007-03-15").find("\tentry 1\t"), std::string::npos);
    EXPECT_EQ(log->RowCount(), 20u);
}

TEST_F(ProcessingLogTest, RowsGoToTheFileOfTheirOwnDay) {
    auto log = MakeLog();
    log->SetLogFolder(Folder());
    m_now = At(2007, 3, 15, 23, 59, 59);
    log->PostLogEntry("late", "u", 0, "");
    m_now = At(2007, 3, 16, 0, 0, 1);
    log->PostLogEntry("early", "u", 0, "");
    const LogPostResult result = log->PostLogEntry(ProcessingLog::kRotationMarker, "saved", 0, "");
    ASSERT_TRUE(result.fileWrite);
    EXPECT_TRUE(result.fileWrite->written);
    EXPECT_EQ(LogFile("2007-03-15"), "2007-03-15 23:59:59\tlate\tu\t\t0\r\n");
    EXPECT_EQ(LogFile("2007-03-16"), "2007-03-16 00:00:01\tearly\tu\t\t0\r\n"
                                     "2007-03-16 00:00:01\t99999\tsaved\t\t0\r\n");
}

TEST_F(ProcessingLogTest, AnUnwritableFolderIsReportedAndTheRowsWaitForTheNextWrite) {
    // A folder below a regular file can be neither made nor written, whoever runs the test.
    const std::string blocked = m_app.File("config.ini") + "/Hotels";
    auto log = MakeLog();
    log->SetLogFolder(blocked);
    log->PostLogEntry("Page fetched", "u", 0, "");
    LogPostResult result;
    EXPECT_NO_THROW(result = log->PostLogEntry(ProcessingLog::kRotationMarker, "saved", 0, ""));
    ASSERT_TRUE(result.fileWrite);
    EXPECT_FALSE(result.fileWrite->written);
    EXPECT_EQ(result.fileWrite->linesWritten, 0u);
    EXPECT_NE(result.fileWrite->error.find(blocked), std::string::npos) << result.fileWrite->error;
    EXPECT_EQ(log->UnwrittenLineCount(), 2u);
    EXPECT_EQ(log->RowCount(), 2u); // the run goes on

    log->SetLogFolder(Folder());
    const LogFileOutcome retried = log->WriteLogFile();
    EXPECT_TRUE(retried.written) << retried.error;
    EXPECT_EQ(retried.linesWritten, 2u);
    EXPECT_NE(LogFile("2007-03-15").find("\tPage fetched\t"), std::string::npos);
}

TEST_F(ProcessingLogTest, WithoutAFolderTheMarkerReportsTheMissingFolder) {
    auto log = MakeLog();
    const LogPostResult result = log->PostLogEntry(ProcessingLog::kRotationMarker, "saved", 0, "");
    ASSERT_TRUE(result.fileWrite);
    EXPECT_FALSE(result.fileWrite->written);
    EXPECT_FALSE(result.fileWrite->error.empty());
    EXPECT_EQ(log->UnwrittenLineCount(), 1u);
}

TEST_F(ProcessingLogTest, ManyRowsWithoutARotationAreWrittenOnTheirOwn) {
    Setting("LOG", "LIMPAR_LOG", "20");
    auto log = MakeLog();
    log->SetLogFolder(Folder());
    LogPostResult last;
    for (std::size_t i = 1; i <= ProcessingLog::kAutoWriteLines; ++i)
        last = log->PostLogEntry("entry " + std::to_string(i), "s", 0, "c");
    ASSERT_TRUE(last.fileWrite);
    EXPECT_EQ(last.fileWrite->linesWritten, ProcessingLog::kAutoWriteLines);
    EXPECT_EQ(log->UnwrittenLineCount(), 0u);
    const std::string text = LogFile("2007-03-15");
    EXPECT_EQ(static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')),
              ProcessingLog::kAutoWriteLines);
}

TEST_F(ProcessingLogTest, RowsNotYetWrittenReachTheFileWhenTheLogGoesOrIsReset) {
    {
        auto log = MakeLog();
        log->SetLogFolder(Folder());
        log->PostLogEntry("before reset", "u", 0, "");
        const std::optional<LogFileOutcome> written = log->Reset();
        ASSERT_TRUE(written);
        EXPECT_TRUE(written->written);
        log->PostLogEntry("last words", "u", 0, "");
    }
    const std::string text = LogFile("2007-03-15");
    EXPECT_NE(text.find("\tbefore reset\t"), std::string::npos);
    EXPECT_NE(text.find("\tlast words\t"), std::string::npos);
}

TEST_F(ProcessingLogTest, SaveLogReplacesTheFileWithTheRowsShown) {
    Setting("LOG", "LIMPAR_LOG", "2");
    auto log = MakeLog();
    const std::string path = m_app.File("export/Other/saved.log");
    m_app.WriteFile("export/Other/saved.log", "old contents\r\n");
    for (int i = 1; i <= 3; ++i)
        log->PostLogEntry("entry " + std::to_string(i), "s", 2, "c");
    const LogFileOutcome outcome = log->SaveLog(path);
    EXPECT_TRUE(outcome.written);
    EXPECT_EQ(m_app.ReadFile("export/Other/saved.log"), "2007-03-15 10:00:00\tentry 2\ts\tc\t2\r\n"
                                                        "2007-03-15 10:00:00\tentry 3\ts\tc\t2\r\n");
    EXPECT_FALSE(log->SaveLog(m_app.File("config.ini") + "/x.log").written);
}

TEST(ProcessingLogFileName, IsTheFolderAndTheDayInBrackets) {
    EXPECT_EQ(ProcessingLog::LogFileName("/e/Hotels", At(2007, 3, 15)), "/e/Hotels/process [2007-03-15].log");
    EXPECT_EQ(ProcessingLog::LogFileName("/e/Hotels/", At(2026, 12, 1)),
              "/e/Hotels/process [2026-12-01].log");
}

TEST_F(ProcessingLogTest, TheViewIsToldOfEveryChangeInOrderAndMayReadTheLogBack) {
    Setting("LOG", "LIMPAR_LOG", "2");
    auto log = MakeLog();
    RecordingLogView view(log.get());
    log->SetView(&view);
    log->PostLogEntry("a", "s", 0, "c");
    log->PostLogEntry("b", "s", 0, "c");
    log->PostLogEntry("c", "s", 0, "c");
    (void)log->Reset();
    log->PostLogEntry("d", "s", 0, "c");
    log->SetView(nullptr);
    log->PostLogEntry("e", "s", 0, "c");

    EXPECT_EQ(view.calls,
              (std::vector<std::string>{"added 1 a rows=1", "counters 1/1", "added 2 b rows=2",
                                        "counters 2/2", "added 3 c rows=3", "removed 1", "counters 3/2",
                                        "cleared", "counters 0/0", "added 4 d rows=1", "counters 1/1"}));
}

TEST_F(ProcessingLogTest, PostingFromSeveralThreadsLosesNothing) {
    auto log = MakeLog(100000);
    constexpr int kThreads = 4;
    constexpr int kEach = 300;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&log, t] {
            for (int i = 0; i < kEach; ++i)
                log->PostLogEntry("t" + std::to_string(t) + " " + std::to_string(i), "s", t % 3, "c");
        });
    }
    for (std::thread& thread : threads)
        thread.join();

    EXPECT_EQ(log->Counters().total, static_cast<std::uint64_t>(kThreads * kEach));
    std::set<std::uint64_t> sequences;
    for (const ProcessingLogEntry& row : log->Rows())
        sequences.insert(row.sequence);
    EXPECT_EQ(sequences.size(), static_cast<std::size_t>(kThreads * kEach));
    EXPECT_EQ(*sequences.rbegin(), static_cast<std::uint64_t>(kThreads * kEach));
}

TEST_F(ProcessingLogTest, ProducerSwitchesAreReadOnUseWithTheDefaultOn) {
    struct Case {
        LogSwitch which;
        const char* key;
    };
    const std::vector<Case> cases = {
        {LogSwitch::SiteAccessError, "SITE_ACCESS_ERROR"}, {LogSwitch::UrlPositive, "URL_POSITIVE"},
        {LogSwitch::UrlNegative, "URL_NEGATIVE"},          {LogSwitch::EmailPositive, "EMAIL_POSITIVE"},
        {LogSwitch::EmailNegative, "EMAIL_NEGATIVE"},      {LogSwitch::ContentPositive, "CONTENT_POSITIVE"},
        {LogSwitch::ContentNegative, "CONTENT_NEGATIVE"},
    };
    m_app.WriteFile("config.ini", "[SYS CONFIG]\nMax_Error=10\n[LOG]\n");
    auto log = MakeLog();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        EXPECT_TRUE(log->IsSwitchOn(c.which)); // missing: on, and written so
        EXPECT_EQ(m_lang.FindConfigValue("LOG", c.key), "1");
        Setting("LOG", c.key, "0");
        EXPECT_FALSE(log->IsSwitchOn(c.which));
    }
    Setting("LOG", "URL_NEGATIVE", "1");
    EXPECT_TRUE(log->IsSwitchOn(FilterLogSwitch::UrlNegative));
    EXPECT_FALSE(log->IsSwitchOn(FilterLogSwitch::EmailNegative));
}

} // namespace
} // namespace harvexa
