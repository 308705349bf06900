#include "core/tables/TableBackup.h"

#include "TablesTestSupport.h"
#include "core/CLLang.h"
#include "core/tables/TdtmInitialTables.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <stdexcept>

namespace harvexa {
namespace {

using test::RecordingProgress;
using test::TempAppFolder;

const char* kBackupOrder[] = {"tbData.xml",     "tbGenerator.xml",     "tbLackSites.xml",
                              "tbResearch.xml", "tbSearchEngines.xml", "tbSearchQuery.xml"};

// Six table files, each with a content of its own.
void WriteSixFiles(const TempAppFolder& app, const std::string& tag) {
    for (const char* file : kBackupOrder)
        app.WriteFile(file, tag + " " + file);
}

std::vector<std::string> ExpectedProgress(const std::string& text) {
    std::vector<std::string> calls = {"Start 0 6", "Total 0 " + text};
    for (int i = 0; i < 5; ++i)
        calls.push_back("StepTotal ");
    calls.push_back("Close");
    return calls;
}

TEST(TableBackup, BackupCopiesTheSixFilesAndAdvancesTheProgress) {
    TempAppFolder app(TempAppFolder::Contents::Empty);
    test::WriteCatalogue(app);
    WriteSixFiles(app, "current");
    app.WriteFile("backup/tbData.xml", "older copy");
    CLLang lang;
    RecordingProgress progress;
    int compactions = 0;
    const TableCopyReport report = BackupTables(progress, lang, [&] {
        ++compactions;
        EXPECT_EQ(progress.calls.size(), 2u); // after the progress is prepared, before any copy
    });
    EXPECT_EQ(report.copied, 6);
    EXPECT_TRUE(report.failedFiles.empty());
    EXPECT_EQ(compactions, 1);
    for (const char* file : kBackupOrder)
        EXPECT_EQ(app.ReadFile(std::string("backup/") + file), std::string("current ") + file) << file;
    EXPECT_EQ(progress.calls, ExpectedProgress("Saving tables..."));
}

TEST(TableBackup, FailedCopiesAndCompactionErrorsAreSkipped) {
    TempAppFolder app(TempAppFolder::Contents::Empty);
    test::WriteCatalogue(app);
    WriteSixFiles(app, "current");
    std::filesystem::remove(app.File("tbLackSites.xml"));
    app.WriteFile("backup/tbLackSites.xml", "kept from last time");
    CLLang lang;
    RecordingProgress progress;
    const TableCopyReport report =
        BackupTables(progress, lang, [] { throw std::runtime_error("directory database is locked"); });
    EXPECT_EQ(report.copied, 5);
    EXPECT_EQ(report.failedFiles, std::vector<std::string>{"tbLackSites.xml"});
    EXPECT_EQ(app.ReadFile("backup/tbLackSites.xml"), "kept from last time");
    EXPECT_EQ(app.ReadFile("backup/tbSearchQuery.xml"), "current tbSearchQuery.xml");
    EXPECT_EQ(progress.calls, ExpectedProgress("Saving tables..."));
}

TEST(TableBackup, RestoreBringsBackDeletedAndSpoiledTables) {
    TempAppFolder app(TempAppFolder::Contents::Empty);
    test::WriteCatalogue(app);
    TdtmInitialTables tables;
    ASSERT_EQ(tables.GetStatus(), TdtmInitialTables::Status::Ok);
    CLLang lang;
    RecordingProgress progress;
    ASSERT_EQ(BackupTables(progress, lang).copied, 6);
    const std::string research = app.ReadFile("tbResearch.xml");
    const std::string generator = app.ReadFile("tbGenerator.xml");
    std::filesystem::remove(app.File("tbResearch.xml"));
    app.WriteFile("tbGenerator.xml", "spoiled");

    RecordingProgress restoreProgress;
    const TableCopyReport report = RestoreTables(restoreProgress, lang);
    EXPECT_EQ(report.copied, 6);
    EXPECT_EQ(app.ReadFile("tbResearch.xml"), research);
    EXPECT_EQ(app.ReadFile("tbGenerator.xml"), generator);
    EXPECT_TRUE(tables.tbGenerator().Open());
    EXPECT_TRUE(tables.tbGenerator().Close());
    EXPECT_EQ(restoreProgress.calls, ExpectedProgress("Restoring tables..."));
}

TEST(TableBackup, RestoreWithoutBackupChangesNothingAndCreatesNoFolder) {
    TempAppFolder app(TempAppFolder::Contents::Empty);
    test::WriteCatalogue(app);
    WriteSixFiles(app, "current");
    CLLang lang;
    RecordingProgress progress;
    const TableCopyReport report = RestoreTables(progress, lang);
    EXPECT_EQ(report.copied, 0);
    EXPECT_EQ(report.failedFiles.size(), 6u);
    EXPECT_FALSE(std::filesystem::exists(app.File("backup")));
    for (const char* file : kBackupOrder)
        EXPECT_EQ(app.ReadFile(file), std::string("current ") + file);
    EXPECT_EQ(progress.calls, ExpectedProgress("Restoring tables..."));
}

} // namespace
} // namespace harvexa
