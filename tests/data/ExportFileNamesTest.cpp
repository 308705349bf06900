#include "data/ExportFileNames.h"

#include "support/TempAppFolder.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <unistd.h>

namespace harvexa {
namespace {

using std::chrono::day;
using std::chrono::month;
using std::chrono::year;
using std::chrono::year_month_day;

constexpr year_month_day kMarch15{year(2007), month(3), day(15)};
constexpr year_month_day kMarch16{year(2007), month(3), day(16)};

TEST(ExportFileNamesTest, SplitNamesInsertTheRecordCountBeforeTheExtension) {
    EXPECT_EQ(SplitExportFileName("/x/mails.csv", 1000), "/x/mails_0001000.csv");
    EXPECT_EQ(SplitExportFileName("/x/mails.csv", 2000), "/x/mails_0002000.csv");
    EXPECT_EQ(SplitExportFileName("/x/mails.csv", 12345678), "/x/mails_12345678.csv");
    // Four characters, not bytes: a non-ASCII letter is never cut in half.
    EXPECT_EQ(SplitExportFileName("/x/liste.éçã", 5), "/x/liste_0000005.éçã");
    EXPECT_EQ(SplitExportFileName("ab", 7), "_0000007ab");
}

TEST(ExportFileNamesTest, CaptureFilesAreNumberedWithinADayAndRestartNextDay) {
    test::TempAppFolder folder(test::TempAppFolder::Contents::Empty);
    const std::string base = folder.File("Hotels Lisbon");
    const auto first = NextExportFileName(base, "csv", 0, 0, kMarch15);
    ASSERT_TRUE(first);
    EXPECT_EQ(*first, base + ".[2007-03-15].[file 000].csv");

    folder.WriteFile("Hotels Lisbon.[2007-03-15].[file 000].csv", "x");
    EXPECT_EQ(NextExportFileName(base, "csv", 0, 0, kMarch15), base + ".[2007-03-15].[file 001].csv");
    folder.WriteFile("Hotels Lisbon.[2007-03-15].[file 001].csv", "x");
    EXPECT_EQ(NextExportFileName(base, "csv", 0, 0, kMarch15), base + ".[2007-03-15].[file 002].csv");

    EXPECT_EQ(NextExportFileName(base, "csv", 0, 0, kMarch16), base + ".[2007-03-16].[file 000].csv");
}

TEST(ExportFileNamesTest, RangeAndNumberParts) {
    test::TempAppFolder folder(test::TempAppFolder::Contents::Empty);
    const std::string base = folder.File("b");
    EXPECT_EQ(NextExportFileName(base, "txt", 7, 500, kMarch15), base + ".[2007-03-15].[7].[file 000].txt");
    folder.WriteFile("b.[2007-03-15].[7].[file 000].txt", "x");
    EXPECT_EQ(NextExportFileName(base, "txt", 7, 500, kMarch15),
              base + ".[2007-03-15].[range 00500-01000].[7].[file 001].txt");
}

TEST(ExportFileNamesTest, AFolderOfTheCandidateNameIsNotFree) {
    test::TempAppFolder folder(test::TempAppFolder::Contents::Empty);
    const std::string base = folder.File("n");
    std::filesystem::create_directory(base + ".[2007-03-15].[file 000].csv");
    EXPECT_EQ(NextExportFileName(base, "csv", 0, 0, kMarch15), base + ".[2007-03-15].[file 001].csv");
}

TEST(ExportFileNamesTest, UnsearchableFolderGivesNoName) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "root reads any folder";
    test::TempAppFolder folder(test::TempAppFolder::Contents::Empty);
    const std::string locked = folder.File("locked");
    std::filesystem::create_directory(locked);
    std::filesystem::permissions(locked, std::filesystem::perms::none);
    const auto name = NextExportFileName(locked + "/n", "csv", 0, 0, kMarch15);
    std::filesystem::permissions(locked, std::filesystem::perms::owner_all);
    EXPECT_EQ(name, std::nullopt);
}

TEST(ExportFileNamesTest, NameTooLongForTheFileSystemGivesNoName) {
    test::TempAppFolder folder(test::TempAppFolder::Contents::Empty);
    EXPECT_EQ(NextExportFileName(folder.File(std::string(300, 'n')), "csv", 0, 0, kMarch15), std::nullopt);
}

TEST(ExportFileNamesTest, FormatDatePadsParts) {
    EXPECT_EQ(FormatDate(year_month_day{year(987), month(1), day(2)}), "0987-01-02");
}

struct SafeNameCase {
    const char* given;
    const char* expected;
};

class SafeNamePartTest : public ::testing::TestWithParam<SafeNameCase> {};

TEST_P(SafeNamePartTest, NameIsOneSafeComponent) {
    EXPECT_EQ(SafeNamePart(GetParam().given), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Names, SafeNamePartTest,
                         ::testing::Values(SafeNameCase{"Hotels Lisbon", "Hotels Lisbon"},
                                           SafeNameCase{"O'Brien \"Pubs\"", "O'Brien \"Pubs\""},
                                           SafeNameCase{"../../etc/passwd", ".._.._etc_passwd"},
                                           SafeNameCase{"a/b\\c", "a_b\\c"},
                                           SafeNameCase{"Hotéis São João", "Hotéis São João"},
                                           SafeNameCase{"..", "__"}, SafeNameCase{".", "_"},
                                           SafeNameCase{"", "_"}, SafeNameCase{"tab\there", "tab_here"}));

TEST(ExportFileNamesTest, LongNamesAreCutAtACharacterBoundary) {
    std::string name;
    for (int i = 0; i < 200; ++i)
        name += "é"; // two bytes each
    const std::string safe = SafeNamePart(name);
    EXPECT_EQ(safe.size(), 254u);
    EXPECT_EQ(safe, name.substr(0, 254));
}

} // namespace
} // namespace harvexa
