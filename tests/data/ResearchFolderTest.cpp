#include "DataFixture.h"
#include "core/IniFile.h"
#include "core/tables/DateTime.h"
#include "data/ExportFileNames.h"
#include "data/ResearchInfo.h"

#include <filesystem>

namespace harvexa::test {
namespace {

namespace fs = std::filesystem;

class ResearchFolderTest : public DataFixture {
protected:
    void SetExportPath(const std::string& path) {
        ASSERT_TRUE(m_lang.WriteConfigString("SYS CONFIG", "Export_Path", path));
    }
};

TEST_F(ResearchFolderTest, FolderIsTheExportPathFollowedByTheShortName) {
    SetExportPath(Path("exports") + "/");
    EXPECT_EQ(Data().ResearchFolder("Hotels Lisbon"), Path("exports/Hotels Lisbon"));
}

TEST_F(ResearchFolderTest, InstalledExportPathIsBelowTheApplicationFolder) {
    EXPECT_EQ(Data().ResearchFolder("Hotels"), m_folder.Folder() + "export/Hotels");
}

TEST_F(ResearchFolderTest, ExportPathWithoutTrailingSeparatorPutsTheFolderBesideIt) {
    SetExportPath(Path("exports"));
    EXPECT_EQ(Data().ResearchFolder("Hotels"), Path("exportsHotels"));
}

TEST_F(ResearchFolderTest, PrepareCreatesAMissingExportFolderAndWritesInfo) {
    SetExportPath(Path("not/yet/there") + "/");
    ASSERT_TRUE(Data().PrepareResearchFolder("Hotels Lisbon", "Hotels in Lisbon", 42));
    const ResearchInfo info = ReadResearchInfo(Path("not/yet/there/Hotels Lisbon/info.ini"));
    EXPECT_EQ(info.researchId, "42");
    EXPECT_EQ(info.shortName, "Hotels Lisbon");
    EXPECT_EQ(info.description, "Hotels in Lisbon");
    const auto updated = DateTime::FromText(info.updated);
    ASSERT_TRUE(updated) << info.updated;
    EXPECT_GE(updated->Year(), 2024);
}

struct AwkwardName {
    const char* shortName;
    const char* folder;
};

class AwkwardShortNameTest : public ResearchFolderTest, public ::testing::WithParamInterface<AwkwardName> {};

TEST_P(AwkwardShortNameTest, FolderStaysInsideTheExportPath) {
    SetExportPath(Path("exports") + "/");
    ASSERT_TRUE(Data().PrepareResearchFolder(GetParam().shortName, "d", 7));
    const std::string folder = Path("exports/") + GetParam().folder;
    EXPECT_EQ(Data().ResearchFolder(GetParam().shortName), folder);
    EXPECT_TRUE(fs::is_directory(folder));
    EXPECT_EQ(ReadResearchInfo(folder + "/info.ini").shortName, GetParam().shortName);
    // Nothing was created outside the export folder.
    EXPECT_EQ(std::distance(fs::directory_iterator(Path("exports")), fs::directory_iterator()), 1);
}

INSTANTIATE_TEST_SUITE_P(Names, AwkwardShortNameTest,
                         ::testing::Values(AwkwardName{"O'Brien \"Pubs\"", "O'Brien \"Pubs\""},
                                           AwkwardName{"../escape", ".._escape"},
                                           AwkwardName{"a/b/c", "a_b_c"},
                                           AwkwardName{"Hotéis São João", "Hotéis São João"},
                                           AwkwardName{"..", "__"}));

TEST_F(ResearchFolderTest, PrepareReportsAFolderThatCannotBeMade) {
    WriteBytes("blocked", "a file where the export folder should be");
    SetExportPath(Path("blocked") + "/");
    EXPECT_FALSE(Data().PrepareResearchFolder("Hotels", "d", 1));
}

TEST_F(ResearchFolderTest, SameShortNameSharesOneInfoAndTheLastRunWins) {
    SetExportPath(Path("exports") + "/");
    ASSERT_TRUE(Data().PrepareResearchFolder("Hotels", "first", 1));
    ASSERT_TRUE(Data().PrepareResearchFolder("Hotels", "second", 2));
    const ResearchInfo info = ReadResearchInfo(Path("exports/Hotels/info.ini"));
    EXPECT_EQ(info.researchId, "2");
    EXPECT_EQ(info.description, "second");
}

TEST_F(ResearchFolderTest, WriteInfoKeepsOtherKeysAndFlattensLineBreaks) {
    WriteBytes("info.ini", "; kept comment\r\n[INFO]\r\nOWN_KEY=own\r\n[OTHER]\r\nX=1\r\n");
    ASSERT_TRUE(Data().WriteResearchInfo(Path("info.ini"), "Hotels", 3, "two\r\nlines"));
    const IniFile ini(Path("info.ini"));
    EXPECT_EQ(ini.ReadString("INFO", "OWN_KEY", ""), "own");
    EXPECT_EQ(ini.ReadString("OTHER", "X", ""), "1");
    EXPECT_EQ(ini.ReadString("INFO", "DESCRIÇÃO", ""), "two  lines");
    EXPECT_NE(ReadBytes(Path("info.ini")).find("; kept comment"), std::string::npos);
}

TEST_F(ResearchFolderTest, InfoFromTheWindowsProgramIsRead) {
    WriteBytes("info.ini", "[INFO]\r\nRESEARCH_ID=5\r\nNOME_PESQUISA=Caf\xE9s\r\nDESCRI\xC7\xC3O=Lisboa\r\n");
    const ResearchInfo info = ReadResearchInfo(Path("info.ini"));
    EXPECT_EQ(info.shortName, "Cafés");
    EXPECT_EQ(info.description, "Lisboa");
    EXPECT_EQ(info.updated, "");
}

TEST_F(ResearchFolderTest, MissingIdReadsAsMinusOne) {
    WriteBytes("info.ini", "[INFO]\r\nNOME_PESQUISA=x\r\n");
    EXPECT_EQ(ReadResearchInfo(Path("info.ini")).researchId, "-1");
}

TEST_F(ResearchFolderTest, CaptureFileBaseTakesFifteenCharacters) {
    SetExportPath(Path("exports") + "/");
    EXPECT_EQ(Data().CaptureFileBase("Hotels Lisbon"), Path("exports/Hotels Lisbon/Hotels Lisbon"));
    EXPECT_EQ(Data().CaptureFileBase("Hotéis em São João del Rei"),
              Path("exports/Hotéis em São João del Rei/Hotéis em São J"));
    EXPECT_EQ(Data().CaptureFileBase("a/b"), Path("exports/a_b/a_b"));
}

TEST_F(ResearchFolderTest, FirstCaptureFileOfAResearch) {
    SetExportPath(Path("exports") + "/");
    ASSERT_TRUE(Data().PrepareResearchFolder("Hotels Lisbon", "", 1));
    const auto name = NegData::NextExportFileName(Data().CaptureFileBase("Hotels Lisbon"), "csv", 0, 0);
    ASSERT_TRUE(name);
    const std::string today = FormatDate(TodayLocal());
    EXPECT_EQ(*name, Path("exports/Hotels Lisbon/Hotels Lisbon.[" + today + "].[file 000].csv"));
}

TEST_F(ResearchFolderTest, DataTableOpensAndCloses) {
    ASSERT_TRUE(m_dataTable.CreateEmpty());
    ASSERT_TRUE(m_dataTable.Close());
    EXPECT_TRUE(Data().OpenDataTable());
    EXPECT_TRUE(Data().CloseDataTable());
    fs::remove(Path("tbData.xml"));
    EXPECT_FALSE(Data().OpenDataTable());
}

} // namespace
} // namespace harvexa::test
