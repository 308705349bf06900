#include "DataFixture.h"
#include "analysis/TextScan.h"

#include <csignal>
#include <filesystem>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace harvexa::test {
namespace {

namespace fs = std::filesystem;

class ExportWriterTest : public DataFixture {
protected:
    void AddNumberedRows(int count, const std::string& description = {}) {
        for (int i = 0; i < count; ++i)
            AddRow({"http://a.example/" + std::to_string(i), "m" + std::to_string(i) + "@a.example", "",
                    description});
    }

    static std::vector<std::string> Lines(const std::string& path) {
        return analysis::SplitLines(ReadBytes(path));
    }

    std::size_t EntriesInFolder() const {
        return static_cast<std::size_t>(
            std::distance(fs::directory_iterator(m_folder.Path()), fs::directory_iterator()));
    }
};

TEST_F(ExportWriterTest, SplitExportWritesNumberedFiles) {
    AddNumberedRows(2500);
    const ExportOutcome outcome =
        Data().ExportCsv(Workbench(), Path("mails.csv"), 1000, EntExportData::All());
    ASSERT_TRUE(outcome) << outcome.error;
    EXPECT_EQ(outcome.files, (std::vector<std::string>{Path("mails.csv"), Path("mails_0001000.csv"),
                                                       Path("mails_0002000.csv")}));
    EXPECT_EQ(outcome.records, 2500u);
    EXPECT_EQ(Lines(Path("mails.csv")).size(), 1000u);
    EXPECT_EQ(Lines(Path("mails_0001000.csv")).size(), 1000u);
    const auto last = Lines(Path("mails_0002000.csv"));
    ASSERT_EQ(last.size(), 500u);
    EXPECT_EQ(last.front(), R"("http://a.example/2000";"m2000@a.example";"";"";"";"";"")");
    EXPECT_EQ(Lines(Path("mails_0001000.csv")).front().substr(0, 23), "\"http://a.example/1000\"");
}

TEST_F(ExportWriterTest, LinesEndWithCrLf) {
    AddNumberedRows(2);
    ASSERT_TRUE(Data().ExportCsv(Workbench(), Path("a.csv"), 0, EntExportData::All()));
    EXPECT_EQ(ReadBytes(Path("a.csv")),
              "\"http://a.example/0\";\"m0@a.example\";\"\";\"\";\"\";\"\";\"\"\r\n"
              "\"http://a.example/1\";\"m1@a.example\";\"\";\"\";\"\";\"\";\"\"\r\n");
}

TEST_F(ExportWriterTest, ZeroOrNegativeRecordsPerFileWriteOneFile) {
    AddNumberedRows(30);
    for (const int perFile : {0, -5, 30, 31}) {
        const std::string path = Path("one" + std::to_string(perFile + 10) + ".csv");
        const ExportOutcome outcome = Data().ExportCsv(Workbench(), path, perFile, EntExportData::All());
        ASSERT_TRUE(outcome);
        EXPECT_EQ(outcome.files, std::vector<std::string>{path}) << perFile;
        EXPECT_EQ(Lines(path).size(), 30u);
    }
}

TEST_F(ExportWriterTest, EmptyTableWritesNoFile) {
    ASSERT_TRUE(Data().PrepareWorkbenchTable());
    const std::size_t before = EntriesInFolder();
    const ExportOutcome csv = Data().ExportCsv(Workbench(), Path("none.csv"), 0, EntExportData::All());
    const ExportOutcome txt = Data().ExportTxt(Workbench(), Path("none.txt"), 0, EntExportData::All(), "TAB");
    const ExportOutcome xml = Data().ExportXml(Workbench(), Path("none.xml"), EntExportData::All());
    EXPECT_TRUE(csv && txt && xml);
    EXPECT_TRUE(csv.files.empty() && txt.files.empty() && xml.files.empty());
    EXPECT_EQ(EntriesInFolder(), before);
}

TEST_F(ExportWriterTest, OnlyTheEmailColumnSelected) {
    AddRow({"http://a.example/", "x@a.example", "Acme", "Hotels", "hotel", "21", "22"});
    EntExportData options;
    options.ExportEmail = true;
    ASSERT_TRUE(Data().ExportCsv(Workbench(), Path("e.csv"), 0, options));
    ASSERT_TRUE(Data().ExportTxt(Workbench(), Path("e.txt"), 0, options, ";"));
    EXPECT_EQ(ReadBytes(Path("e.csv")), "\"\";\"x@a.example\";\"\";\"\";\"\";\"\";\"\"\r\n");
    EXPECT_EQ(ReadBytes(Path("e.txt")), "\"x@a.example\";\"\"\r\n");
}

TEST_F(ExportWriterTest, TabTextKeepsInnerEmptyValuesAndSkipsEmptyLines) {
    AddRow({"http://a.example/", "", "Acme", "", "", "", ""});
    AddRow({"", "", "", "", "", "", ""});
    AddRow({"", "x@b.example", "", "", "", "", ""});
    const ExportOutcome outcome =
        Data().ExportTxt(Workbench(), Path("t.txt"), 0, EntExportData::All(), "TAB");
    ASSERT_TRUE(outcome);
    EXPECT_EQ(outcome.records, 3u);
    EXPECT_EQ(ReadBytes(Path("t.txt")), "http://a.example/\t\tAcme\r\nx@b.example\r\n");
}

TEST_F(ExportWriterTest, ExportFollowsTheTableFilterAndOrder) {
    AddRow({"u1", "b@x", "", "", "", "", ""});
    AddRow({"u2", "skip", "", "", "", "", ""});
    AddRow({"u3", "a@x", "", "", "", "", ""});
    ASSERT_TRUE(Workbench().SetFilter(FilterNotEquals("email", "skip")));
    ASSERT_TRUE(Workbench().SetIndexName("email"));
    EntExportData options;
    options.ExportUrl = true;
    ASSERT_TRUE(Data().ExportTxt(Workbench(), Path("f.txt"), 0, options, "TAB"));
    EXPECT_EQ(ReadBytes(Path("f.txt")), "u3\r\nu1\r\n");
}

TEST_F(ExportWriterTest, StopDuringTheFirstFileLeavesItShortAndGoesOn) {
    AddNumberedRows(250);
    m_progress.stopAtPartial = 100;
    const ExportOutcome outcome = Data().ExportCsv(Workbench(), Path("s.csv"), 200, EntExportData::All());
    ASSERT_TRUE(outcome);
    EXPECT_EQ(outcome.files, (std::vector<std::string>{Path("s.csv"), Path("s_0000100.csv")}));
    EXPECT_EQ(Lines(Path("s.csv")).size(), 100u);
    const auto second = Lines(Path("s_0000100.csv"));
    ASSERT_EQ(second.size(), 150u);
    EXPECT_EQ(second.front().substr(0, 22), "\"http://a.example/100\"");
}

TEST_F(ExportWriterTest, MissingExportFolderReportsFailure) {
    AddNumberedRows(3);
    const ExportOutcome csv = Data().ExportCsv(Workbench(), Path("missing/a.csv"), 0, EntExportData::All());
    EXPECT_FALSE(csv);
    EXPECT_NE(csv.error.find("missing/a.csv"), std::string::npos) << csv.error;
    EXPECT_TRUE(csv.files.empty());
    EXPECT_FALSE(Data().ExportTxt(Workbench(), Path("missing/a.txt"), 0, EntExportData::All(), "TAB"));
    EXPECT_FALSE(Data().ExportXml(Workbench(), Path("missing/a.xml"), EntExportData::All()));
    EXPECT_FALSE(fs::exists(Path("missing")));
}

TEST_F(ExportWriterTest, FullDeviceReportsFailure) {
    AddNumberedRows(3);
    const ExportOutcome csv = Data().ExportCsv(Workbench(), "/dev/full", 0, EntExportData::All());
    EXPECT_FALSE(csv);
    EXPECT_NE(csv.error.find("No space left on device"), std::string::npos) << csv.error;
    EXPECT_FALSE(Data().ExportTxt(Workbench(), "/dev/full", 0, EntExportData::All(), ";"));
    EXPECT_EQ(m_progress.Count("Close"), 2u);
}

// Runs an export in a child process whose files may not grow beyond `limit` bytes, as on a disk that
// fills up; returns the child's exit code: 0 success, 1 failure with the first file kept, 2 otherwise.
int ExportWithFileSizeLimit(NegData& data, TableHandle& table, const std::string& path, int perFile,
                            rlim_t limit) {
    const pid_t child = ::fork();
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit small{limit, limit};
        ::setrlimit(RLIMIT_FSIZE, &small);
        const ExportOutcome outcome = data.ExportCsv(table, path, perFile, EntExportData::All());
        ::_exit(outcome.ok ? 0 : (outcome.files.size() == 1 && !outcome.error.empty() ? 1 : 2));
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST_F(ExportWriterTest, FullDiskDuringASplitExportDamagesNothingAlreadyWritten) {
    AddNumberedRows(10);                         // the first file: about 600 bytes
    AddNumberedRows(10, std::string(1000, 'd')); // the second file: about 10 KB
    WriteBytes("big.csv", "old first file\r\n");
    WriteBytes("big_0000010.csv", "old second file\r\n");

    EXPECT_EQ(ExportWithFileSizeLimit(Data(), Workbench(), Path("big.csv"), 10, 4096), 1);

    // The first file was completed; the one being written when the disk filled is left as it was.
    const auto first = Lines(Path("big.csv"));
    ASSERT_EQ(first.size(), 10u);
    EXPECT_EQ(first.back(), R"("http://a.example/9";"m9@a.example";"";"";"";"";"")");
    EXPECT_EQ(ReadBytes(Path("big_0000010.csv")), "old second file\r\n");
    for (const auto& entry : fs::directory_iterator(m_folder.Path()))
        EXPECT_EQ(entry.path().filename().string().find(".tmp-"), std::string::npos) << entry.path();
}

TEST_F(ExportWriterTest, XmlExportWritesTheWholeTable) {
    AddNumberedRows(3);
    ASSERT_TRUE(Workbench().SetFilter(FilterEquals("email", "m1@a.example")));
    const ExportOutcome outcome = Data().ExportXml(Workbench(), Path("x.xml"), EntExportData());
    ASSERT_TRUE(outcome);
    EXPECT_EQ(outcome.records, 3u);
    const std::string xml = ReadBytes(Path("x.xml"));
    EXPECT_NE(xml.find("<DATAPACKET"), std::string::npos);
    EXPECT_NE(xml.find("m2@a.example"), std::string::npos);
    EXPECT_NE(xml.find("attrname=\"id_research\""), std::string::npos);
}

} // namespace
} // namespace harvexa::test
