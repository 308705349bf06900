#include "data/ExportCatalogue.h"

#include "data/CLFileFind.h"
#include "support/TempAppFolder.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>

namespace harvexa {
namespace {

namespace fs = std::filesystem;
using test::TempAppFolder;

TEST(CLFileFindTest, FindsFilesDepthFirstAndSkipsDotNames) {
    TempAppFolder folder(TempAppFolder::Contents::Empty);
    folder.WriteFile("b.txt", "12345");
    folder.WriteFile("a/z.csv", "1");
    folder.WriteFile("a/deep/y.xml", "");
    folder.WriteFile(".hidden/x.csv", "1");
    folder.WriteFile("c/.dotfile", "1");
    std::vector<std::string> seen;
    std::vector<std::string> dates;
    CLFileFind finder;
    finder.SetOnFile([&](const CLFileFind& found) {
        seen.push_back(found.CurrentPath());
        dates.push_back(found.CurrentDate());
    });
    finder.Search(folder.Path().string()); // without a trailing "/"
    const std::string root = folder.Folder();
    EXPECT_EQ(seen, (std::vector<std::string>{root + "a/deep/y.xml", root + "a/z.csv", root + "b.txt"}));
    EXPECT_EQ(finder.FoundFiles(), root + "a/deep/y.xml\n" + root + "a/z.csv\n" + root + "b.txt\n");
    EXPECT_EQ(finder.FoundSizes(), "0\n1\n5\n");
    for (const std::string& date : dates)
        EXPECT_EQ(date.size(), 19u) << date;
}

TEST(CLFileFindTest, StopEndsTheSearchAndTheNextSearchStartsAfresh) {
    TempAppFolder folder(TempAppFolder::Contents::Empty);
    folder.WriteFile("a.csv", "");
    folder.WriteFile("b.csv", "");
    folder.WriteFile("c.csv", "");
    CLFileFind finder;
    int calls = 0;
    finder.SetOnFile([&](const CLFileFind&) {
        if (++calls == 1)
            finder.RequestStop();
    });
    finder.Search(folder.Folder());
    EXPECT_EQ(calls, 1);
    finder.Search(folder.Folder());
    EXPECT_EQ(calls, 4);
}

TEST(CLFileFindTest, DoesNotFollowLinkedFoldersInACycle) {
    TempAppFolder folder(TempAppFolder::Contents::Empty);
    folder.WriteFile("a/f.csv", "");
    fs::create_directory_symlink(folder.File("a"), folder.File("a/loop"));
    CLFileFind finder;
    finder.Search(folder.Folder());
    EXPECT_EQ(finder.FoundFiles(), folder.Folder() + "a/f.csv\n");
}

TEST(CLFileFindTest, MissingFolderFindsNothing) {
    CLFileFind finder;
    finder.Search("/nonexistent/harvexa/folder");
    EXPECT_EQ(finder.FoundFiles(), "");
}

struct TypeCase {
    const char* path;
    const char* type;
};

class ExportFileTypeTest : public ::testing::TestWithParam<TypeCase> {};

TEST_P(ExportFileTypeTest, TypeFromThePath) {
    EXPECT_EQ(ExportCatalogue::ExportFileType(GetParam().path), GetParam().type);
    EXPECT_EQ(ExportCatalogue::IsExportFile(GetParam().path), std::string(GetParam().type) != "");
}

INSTANTIATE_TEST_SUITE_P(
    Paths, ExportFileTypeTest,
    ::testing::Values(TypeCase{"/e/r/mails.csv", ".csv"}, TypeCase{"/e/r/MAILS.CSV", ".csv"},
                      TypeCase{"/e/r/report.csv.bak", ".csv"}, TypeCase{"/e/r/a.txt.xml", ".xml"},
                      TypeCase{"/e/r/a.xml.txt", ".xml"}, TypeCase{"/e/r/a.txt", ".txt"},
                      TypeCase{"/e/r/info.ini", ""}, TypeCase{"/e/r/process [2007-03-15].log", ""}));

TEST(ExportCatalogueTest, IconsByType) {
    EXPECT_EQ(ExportCatalogue::ExportFileIcon(".txt"), 1);
    EXPECT_EQ(ExportCatalogue::ExportFileIcon(".csv"), 2);
    EXPECT_EQ(ExportCatalogue::ExportFileIcon(".xml"), 3);
    EXPECT_EQ(ExportCatalogue::ExportFileIcon(""), 0);
}

TEST(ExportCatalogueTest, KilobyteFormat) {
    EXPECT_EQ(ExportCatalogue::FormatKilobytes(0), "0.00 kb");
    EXPECT_EQ(ExportCatalogue::FormatKilobytes(9728), "9.50 kb");
    EXPECT_EQ(ExportCatalogue::FormatKilobytes(10240), "10.00 kb");
    EXPECT_EQ(ExportCatalogue::FormatKilobytes(1263616), "1,234.00 kb");
    EXPECT_EQ(ExportCatalogue::FormatKilobytes(1073741824), "1,048,576.00 kb");
}

TEST(ExportCatalogueTest, ListValuesCompareAsNumbersDatesOrTexts) {
    using C = ExportCatalogue;
    EXPECT_LT(C::CompareListValues("9.50 kb", "10.00 kb", true), 0);
    EXPECT_GT(C::CompareListValues("1,234.00 kb", "999.99 kb", true), 0);
    EXPECT_LT(C::CompareListValues("9", "10", false), 0);
    EXPECT_EQ(C::CompareListValues("10", "10", false), 0);
    EXPECT_LT(C::CompareListValues("2007-03-15 09:00:00", "2007-03-15 10:00:00", true), 0);
    EXPECT_LT(C::CompareListValues("apple", "Banana", true), 0);
    EXPECT_EQ(C::CompareListValues("ABC", "abc", true), 0);
    EXPECT_LT(C::CompareListValues("", "5", false), 0);
}

class ExportCatalogueListTest : public ::testing::Test {
protected:
    ExportCatalogueListTest() {
        m_folder.WriteFile("Hotels/info.ini", "[INFO]\r\nRESEARCH_ID=1\r\nNOME_PESQUISA=Hotels\r\n"
                                              "DATA_ATUALIZACAO=2007-03-15 10:00:00\r\nDESCRIÇÃO=Lisbon\r\n");
        m_folder.WriteFile("Hotels/Hotels.[2007-03-15].[file 000].csv", std::string(9728, 'x'));
        m_folder.WriteFile("Hotels/mine/EXPORT.TXT", "x");
        m_folder.WriteFile("Hotels/process [2007-03-15].log", "x");
        m_folder.WriteFile("Pubs/info.ini", "[INFO]\r\nRESEARCH_ID=2\r\nNOME_PESQUISA=Pubs\r\n");
        m_folder.WriteFile("Odd/info.ini", "[INFO]\r\nRESEARCH_ID=abc\r\nNOME_PESQUISA=Odd\r\n");
        m_folder.WriteFile("NoId/info.ini", "[INFO]\r\nNOME_PESQUISA=NoId\r\n");
        m_folder.WriteFile("info.ini.d/notes.txt", "x");
    }

    std::vector<std::string> Names(const std::vector<CatalogueResearch>& list) const {
        std::vector<std::string> names;
        for (const CatalogueResearch& research : list)
            names.push_back(research.info.shortName);
        std::sort(names.begin(), names.end());
        return names;
    }

    TempAppFolder m_folder{TempAppFolder::Contents::Empty};
};

TEST_F(ExportCatalogueListTest, ListsEveryResearchFolder) {
    const auto all = ExportCatalogue::ListResearches(m_folder.Folder(), 0);
    EXPECT_EQ(Names(all), (std::vector<std::string>{"Hotels", "NoId", "Odd", "Pubs"}));
    const auto hotels = std::find_if(all.begin(), all.end(),
                                     [](const CatalogueResearch& r) { return r.info.shortName == "Hotels"; });
    ASSERT_NE(hotels, all.end());
    EXPECT_EQ(hotels->exportFiles, 2u); // the capture file and EXPORT.TXT; the log does not count
    EXPECT_EQ(hotels->folder, m_folder.Folder() + "Hotels/");
    EXPECT_EQ(hotels->info.description, "Lisbon");
    EXPECT_EQ(hotels->info.updated, "2007-03-15 10:00:00");
}

TEST_F(ExportCatalogueListTest, OneResearchByIdKeepsIdsThatAreNoNumber) {
    EXPECT_EQ(Names(ExportCatalogue::ListResearches(m_folder.Folder(), 2)),
              (std::vector<std::string>{"Odd", "Pubs"}));
    EXPECT_EQ(Names(ExportCatalogue::ListResearches(m_folder.Folder(), -1)),
              (std::vector<std::string>{"NoId", "Odd"}));
}

TEST_F(ExportCatalogueListTest, ListsTheExportFilesOfAFolder) {
    const auto files = ExportCatalogue::ListExportFiles(m_folder.Folder() + "Hotels");
    ASSERT_EQ(files.size(), 2u);
    EXPECT_EQ(files[0].name, "Hotels.[2007-03-15].[file 000].csv");
    EXPECT_EQ(files[0].type, ".csv");
    EXPECT_EQ(files[0].size, 9728u);
    EXPECT_EQ(ExportCatalogue::FormatKilobytes(files[0].size), "9.50 kb");
    EXPECT_EQ(files[1].path, m_folder.Folder() + "Hotels/mine/EXPORT.TXT");
    EXPECT_EQ(files[1].type, ".txt");
    EXPECT_FALSE(files[1].modified.empty());
}

} // namespace
} // namespace harvexa
