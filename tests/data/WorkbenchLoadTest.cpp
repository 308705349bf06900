#include "DataFixture.h"
#include "core/tables/DataPacket.h"

namespace harvexa::test {
namespace {

class WorkbenchLoadTest : public DataFixture {};

using Table = std::vector<std::vector<std::string>>;

TEST_F(WorkbenchLoadTest, CsvFromTheExportWriterLoadsBackIntoTheSameSevenColumns) {
    const Table written = {
        {"http://a.example/", "x@a.example", "Acme", "Hotels in Lisbon", "hotel, lisbon", "21 000", "21 001"},
        {"http://b.example/p?q=1", "", "Hotéis São João", "", "", "", ""},
        {"", "y@b.example", "", "", "", "", "fax only"},
    };
    for (const auto& row : written)
        AddRow(row);
    ASSERT_TRUE(Data().ExportCsv(Workbench(), Path("rows.csv"), 0, EntExportData::All()));

    const LoadOutcome outcome = Data().LoadCsvFiles({Path("rows.csv")});
    EXPECT_TRUE(outcome.Ok());
    EXPECT_EQ(outcome.rowsAdded, 3u);
    EXPECT_EQ(WorkbenchRows(), written);
    for (const RowView row : Workbench()) {
        for (std::size_t hidden = 7; hidden < 10; ++hidden)
            EXPECT_TRUE(row.IsNull(hidden));
    }
}

TEST_F(WorkbenchLoadTest, EachLoadStartsFromAnEmptyTable) {
    WriteBytes("one.csv", "\"http://a.example/\";\"x@a.example\"\r\n");
    ASSERT_TRUE(Data().LoadCsvFiles({Path("one.csv")}).Ok());
    ASSERT_TRUE(Data().LoadCsvFiles({Path("one.csv")}).Ok());
    EXPECT_EQ(Workbench().RecordCount(), 1u);
}

TEST_F(WorkbenchLoadTest, LineWithThirtyFieldsKeepsTheFirstTen) {
    std::string line = "u;e;t;d;k;f;x;12;base;34";
    for (int i = 11; i <= 30; ++i)
        line += ";extra" + std::to_string(i);
    WriteBytes("wide.csv", line + "\r\n");
    const LoadOutcome outcome = Data().LoadCsvFiles({Path("wide.csv")});
    EXPECT_TRUE(outcome.Ok());
    ASSERT_EQ(Workbench().RecordCount(), 1u);
    const RowView row = Workbench().Row(0);
    EXPECT_EQ(WorkbenchRows(), (Table{{"u", "e", "t", "d", "k", "f", "x"}}));
    EXPECT_EQ(row.AsInteger(7), 12);
    EXPECT_EQ(row.AsString(8), "base");
    EXPECT_EQ(row.AsInteger(9), 34);
}

TEST_F(WorkbenchLoadTest, TextInAnIntegerColumnLeavesItEmptyAndKeepsTheRest) {
    WriteBytes("bad.csv", "u;e;t;d;k;f;x;not a number;base;7\r\n");
    ASSERT_TRUE(Data().LoadCsvFiles({Path("bad.csv")}).Ok());
    ASSERT_EQ(Workbench().RecordCount(), 1u);
    const RowView row = Workbench().Row(0);
    EXPECT_TRUE(row.IsNull(7));
    EXPECT_EQ(row.AsString(8), "base");
    EXPECT_EQ(row.AsInteger(9), 7);
    EXPECT_EQ(row.AsString(6), "x");
}

TEST_F(WorkbenchLoadTest, OverlongValuesAreCutToTheColumnWidth) {
    const std::string email(300, 'e');
    WriteBytes("long.csv", "u;" + email + "\r\n");
    ASSERT_TRUE(Data().LoadCsvFiles({Path("long.csv")}).Ok());
    EXPECT_EQ(Workbench().Row(0).AsString(1), email.substr(0, 128));
}

TEST_F(WorkbenchLoadTest, LineEndsEmptyLinesAndByteOrderMark) {
    WriteBytes("ends.csv", "\xEF\xBB\xBF\"a\";\"1\"\r\n\r\n\"b\";\"2\"\r\"c\";\"3\"\n\"d\";\"4\"");
    const LoadOutcome outcome = Data().LoadCsvFiles({Path("ends.csv")});
    EXPECT_EQ(outcome.rowsAdded, 4u);
    EXPECT_EQ(WorkbenchRows(), (Table{{"a", "1", "", "", "", "", ""},
                                      {"b", "2", "", "", "", "", ""},
                                      {"c", "3", "", "", "", "", ""},
                                      {"d", "4", "", "", "", "", ""}}));
}

TEST_F(WorkbenchLoadTest, Windows1252FileIsReadAsSuch) {
    WriteBytes("latin.csv", "\"http://a.example/\";\"\";\"Caf\xE9 S\xE3o Jo\xE3o\"\r\n");
    ASSERT_TRUE(Data().LoadCsvFiles({Path("latin.csv")}).Ok());
    EXPECT_EQ(Workbench().Row(0).AsString(2), "Café São João");
}

TEST_F(WorkbenchLoadTest, OneInvalidByteLateInALargeFileMakesTheWholeFileWindows1252) {
    // Valid UTF-8 at the start, a Windows-1252 letter more than one read block further on.
    std::string contents = "u;\xC3\xA9\r\n";
    while (contents.size() < (std::size_t{6} << 20))
        contents += "http://a.example/;x@a.example\r\n";
    contents += "u;S\xE3o\r\n";
    WriteBytes("late.csv", contents);
    const LoadOutcome outcome = Data().LoadCsvFiles({Path("late.csv")});
    ASSERT_TRUE(outcome.Ok());
    const std::size_t rows = Workbench().RecordCount();
    EXPECT_EQ(Workbench().Row(0).AsString(1), "\u00C3\u00A9");
    EXPECT_EQ(Workbench().Row(rows - 1).AsString(1), "São");
}

TEST_F(WorkbenchLoadTest, StopEndsTheCurrentFileAndTheLoadGoesOnWithTheNext) {
    std::string lines;
    for (int i = 0; i < 500; ++i)
        lines += "\"http://a.example/" + std::to_string(i) + "\";\"\"\r\n";
    WriteBytes("first.csv", lines);
    WriteBytes("second.csv", lines);
    m_progress.stopAtPartial = 200;
    const LoadOutcome outcome = Data().LoadCsvFiles({Path("first.csv"), Path("second.csv")});
    EXPECT_TRUE(outcome.Ok());
    EXPECT_EQ(outcome.filesStopped, 1u);
    EXPECT_EQ(outcome.filesRead, 2u);
    // Rows 0 to 200 of the first file (the stop is seen before row 201), then all of the second.
    EXPECT_EQ(outcome.rowsAdded, 201u + 500u);
    EXPECT_EQ(Workbench().RecordCount(), 701u);
    EXPECT_EQ(Workbench().Row(200).AsString(0), "http://a.example/200");
    EXPECT_EQ(Workbench().Row(201).AsString(0), "http://a.example/0");
    EXPECT_FALSE(Data().Repository().StopRequested());
}

TEST_F(WorkbenchLoadTest, ProgressShowsFilesAndRecords) {
    std::string lines;
    for (int i = 0; i < 250; ++i)
        lines += "u;e\r\n";
    WriteBytes("a.csv", lines);
    ASSERT_TRUE(Data().LoadCsvFiles({Path("a.csv")}).Ok());
    EXPECT_EQ(m_progress.Count("Start"), 1u);
    EXPECT_EQ(m_progress.Count("Close"), 1u);
    EXPECT_GE(m_progress.Count("EnableStop"), 1u);
    EXPECT_EQ(m_progress.partialMaximum, 250);
    const auto& texts = m_progress.texts;
    EXPECT_NE(std::find(texts.begin(), texts.end(), "File 1 of 1"), texts.end());
    EXPECT_NE(std::find(texts.begin(), texts.end(), "Reading records (200)"), texts.end());
}

TEST_F(WorkbenchLoadTest, MissingFileIsReportedAndTheOthersLoad) {
    WriteBytes("good.csv", "u;e\r\n");
    const LoadOutcome outcome = Data().LoadCsvFiles({Path("missing.csv"), Path("good.csv")});
    ASSERT_EQ(outcome.failures.size(), 1u);
    EXPECT_NE(outcome.failures[0].find("missing.csv"), std::string::npos);
    EXPECT_EQ(outcome.rowsAdded, 1u);
    EXPECT_EQ(m_progress.Count("Close"), 1u);
}

TEST_F(WorkbenchLoadTest, TabSeparatedTextSplitsOnTabsOnly) {
    WriteBytes("a.txt", "a;b\tc\t\"d\"\r\n");
    ASSERT_TRUE(Data().LoadTxtFiles({Path("a.txt")}, "TAB").Ok());
    EXPECT_EQ(WorkbenchRows(), (Table{{"a;b", "c", "d", "", "", "", ""}}));
}

TEST_F(WorkbenchLoadTest, TextWithANamedSeparator) {
    WriteBytes("a.txt", "\"x@a.example\";\"\"\r\nu|v;w\r\n");
    ASSERT_TRUE(Data().LoadTxtFiles({Path("a.txt")}, ";").Ok());
    EXPECT_EQ(WorkbenchRows(),
              (Table{{"x@a.example", "", "", "", "", "", ""}, {"u|v", "w", "", "", "", "", ""}}));
}

TEST_F(WorkbenchLoadTest, TextLoadRemovesTheFilter) {
    WriteBytes("a.txt", "u1\tx\r\nu2\ty\r\n");
    ASSERT_TRUE(Workbench().SetFilter(FilterEquals("email", "x")));
    ASSERT_TRUE(Data().LoadTxtFiles({Path("a.txt")}, "TAB").Ok());
    EXPECT_TRUE(Workbench().Filter().IsEmpty());
    EXPECT_EQ(Workbench().RecordCount(), 2u);
}

TEST_F(WorkbenchLoadTest, SortOrderIsKeptAcrossALoad) {
    WriteBytes("a.csv", "u;c@x\r\nu;a@x\r\nu;b@x\r\n");
    ASSERT_TRUE(Workbench().SetIndexName("email_desc"));
    ASSERT_TRUE(Data().LoadCsvFiles({Path("a.csv")}).Ok());
    EXPECT_EQ(Workbench().IndexName(), "email_desc");
    EXPECT_EQ(Workbench().Row(0).AsString(1), "c@x");
    EXPECT_EQ(Workbench().Row(2).AsString(1), "a@x");
}

TEST_F(WorkbenchLoadTest, LoadLeavesACheckpointOfTheTable) {
    WriteBytes("a.csv", "u1;e1\r\nu2;e2\r\n");
    const LoadOutcome outcome = Data().LoadCsvFiles({Path("a.csv")});
    EXPECT_TRUE(outcome.checkpointSaved);
    EXPECT_EQ(RepData::CheckpointPath(), Path("tmpFile.xml"));
    DataPacketContents saved;
    ASSERT_TRUE(ReadDataPacketFile(Path("tmpFile.xml"), &DataExportTableDef(), saved));
    EXPECT_EQ(saved.rows.size(), 2u);
}

TEST_F(WorkbenchLoadTest, XmlExportLoadsBackWithAllTenColumns) {
    AddRow({"http://a.example/", "x@a.example", "Acme \"Hotels\"", "d;e", "k", "f", "x"});
    ASSERT_TRUE(Workbench().Edit());
    ASSERT_TRUE(Workbench().Field(7).SetInteger(5));
    ASSERT_TRUE(Workbench().Field(8).SetString("http://a.example"));
    ASSERT_TRUE(Workbench().Field(9).SetInteger(9));
    ASSERT_TRUE(Workbench().Post());
    AddRow({"http://b.example/", "y@b.example", "", "", "", "", ""});
    ASSERT_TRUE(Data().ExportXml(Workbench(), Path("all.xml"), EntExportData()));

    const LoadOutcome outcome = Data().LoadXmlFiles({Path("all.xml")});
    EXPECT_TRUE(outcome.Ok());
    EXPECT_EQ(WorkbenchRows(),
              (Table{{"http://a.example/", "x@a.example", "Acme \"Hotels\"", "d;e", "k", "f", "x"},
                     {"http://b.example/", "y@b.example", "", "", "", "", ""}}));
    const RowView first = Workbench().Row(0);
    EXPECT_EQ(first.AsInteger(7), 5);
    EXPECT_EQ(first.AsString(8), "http://a.example");
    EXPECT_EQ(first.AsInteger(9), 9);
}

TEST_F(WorkbenchLoadTest, SeveralXmlFilesAreJoinedAndABadOneIsReported) {
    AddRow({"u1", "e1", "", "", "", "", ""});
    ASSERT_TRUE(Data().ExportXml(Workbench(), Path("one.xml"), EntExportData()));
    WriteBytes("broken.xml", "<DATAPACKET><ROWDATA><ROW");
    const LoadOutcome outcome = Data().LoadXmlFiles({Path("one.xml"), Path("broken.xml"), Path("one.xml")});
    EXPECT_EQ(outcome.failures.size(), 1u);
    EXPECT_EQ(outcome.rowsAdded, 2u);
    EXPECT_EQ(Workbench().RecordCount(), 2u);
}

} // namespace
} // namespace harvexa::test
