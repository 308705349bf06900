#include "execution/CLLackFiles.h"

#include "execution/CLLogEnvio.h"
#include "support/RecordingFrontEnd.h"
#include "support/TempAppFolder.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace harvexa {
namespace {

using test::RecordingProgress;
using test::TempAppFolder;
namespace fs = std::filesystem;

constexpr int kId = 17;

class CLLackFilesTest : public ::testing::Test {
protected:
    std::string PendingText() const { return m_folder.ReadFile("d17-lack.dat"); }
    bool Exists(const std::string& name) const { return fs::exists(m_folder.File(name)); }

    TempAppFolder m_folder{TempAppFolder::Contents::Empty};
    RecordingProgress m_progress;
    CLLackFiles m_files{m_progress};
};

TEST_F(CLLackFilesTest, FilesLiveInTheApplicationFolder) {
    EXPECT_EQ(CLLackFiles::PendingLinksFile(kId), m_folder.Folder() + "d17-lack.dat");
    EXPECT_EQ(CLLackFiles::ProcessedLinksFile(kId), m_folder.Folder() + "d17-lack_p.dat");
}

TEST_F(CLLackFilesTest, SavedQueueLoadsBackInOrder) {
    const PendingLinkList queue = {
        EntLackSites(0, kId, 0, kInternalLink, "http://seed-one.example/"),
        EntLackSites(0, kId, 0, kInternalLink, "http://seed-two.example/"),
        EntLackSites(0, kId, 1, kInternalLink, "http://seed-one.example/contact.html"),
        EntLackSites(0, kId, 1, kExternalLink, "http://other.example/"),
        EntLackSites(0, kId, kSearchResultLevel, kSearchResultPage, "http://search.example/?q=plumbers&p=2"),
        EntLackSites(0, kId, 2, kInternalLink, "http://seed-two.example/page#section"),
        EntLackSites(5, kId, 1, kInternalLink, " http://seed-two.example/spaced "),
    };
    m_folder.WriteFile("d17-lack_p.dat", "http://elsewhere.example/done\r\n");
    ASSERT_TRUE(CLLackFiles::SavePendingLinks(kId, queue));
    const std::string text = PendingText();
    EXPECT_EQ(text.substr(0, text.find("\r\n")), "0#%1http://seed-one.example/#%20#%30");
    EXPECT_NE(text.find("\r\n0#%1http://search.example/?q=plumbers&p=2#%2-1#%32\r\n"), std::string::npos);
    EXPECT_NE(text.find("\r\n5#%1 http://seed-two.example/spaced #%21#%30\r\n"), std::string::npos);
    EXPECT_FALSE(Exists("d17-lack_p.dat")) << "saving the queue deletes the processed-links file";

    const PendingLinksRead read = m_files.ReadPendingLinks(kId);
    EXPECT_TRUE(read.found);
    EXPECT_EQ(read.skipped, 0u);
    EXPECT_EQ(read.links, queue);
}

TEST_F(CLLackFilesTest, MissingFileMeansFinished) {
    CLLogEnvio pendingWriter;
    CLLogEnvio processedWriter;
    const PendingLinksRead read = m_files.LoadPendingLinks(kId, pendingWriter, processedWriter);
    EXPECT_FALSE(read.found);
    EXPECT_TRUE(read.links.empty());
    EXPECT_FALSE(pendingWriter.IsOpen());
    EXPECT_FALSE(Exists("d17-lack.dat"));
}

TEST_F(CLLackFilesTest, EmptySavedQueueIsAnEmptyQueueNotAFinishedResearch) {
    m_folder.WriteFile("d17-lack_p.dat", "http://a.example/done\r\n");
    ASSERT_TRUE(CLLackFiles::SavePendingLinks(kId, {}));
    EXPECT_TRUE(Exists("d17-lack.dat"));
    EXPECT_EQ(PendingText(), "");
    EXPECT_FALSE(Exists("d17-lack_p.dat"));
    const PendingLinksRead read = m_files.ReadPendingLinks(kId);
    EXPECT_TRUE(read.found);
    EXPECT_TRUE(read.links.empty());
}

TEST_F(CLLackFilesTest, MalformedLinesAreSkippedAndTheRestLoads) {
    m_folder.WriteFile("d17-lack.dat", "0#%1http://a.example/#%20#%30\r\n"
                                       "this line is no link\r\n"
                                       "0#%1http://b.example/#%2x#%30\r\n"
                                       "\r\n"
                                       "0#%1http://c.example/#%21\r\n"
                                       "0#%1http://d.example/#%21#%31\n"
                                       "0#%1http://e.example/#%2-1#%32");
    const PendingLinksRead read = m_files.ReadPendingLinks(kId);
    EXPECT_TRUE(read.found);
    EXPECT_EQ(read.skipped, 3u);
    const PendingLinkList expected = {EntLackSites(0, kId, 0, 0, "http://a.example/"),
                                      EntLackSites(0, kId, 1, 1, "http://d.example/"),
                                      EntLackSites(0, kId, -1, 2, "http://e.example/")};
    EXPECT_EQ(read.links, expected);
}

TEST_F(CLLackFilesTest, WindowsLinesAreConvertedOneByOne) {
    m_folder.WriteFile("d17-lack.dat", "0#%1http://x.example/caf\xe9#%20#%30\r\n"
                                       "0#%1http://x.example/\xc3\xa9t\xc3\xa9#%20#%30\r\n");
    const PendingLinksRead read = m_files.ReadPendingLinks(kId);
    ASSERT_EQ(read.links.size(), 2u);
    EXPECT_EQ(read.links[0].lack_sites, "http://x.example/caf\xc3\xa9");
    EXPECT_EQ(read.links[1].lack_sites, "http://x.example/\xc3\xa9t\xc3\xa9");
}

TEST_F(CLLackFilesTest, ProcessedLinksAreDroppedWithProgressAndTimersPaused) {
    m_folder.WriteFile("d17-lack.dat", "0#%1http://a.example/one#%20#%30\r\n"
                                       "0#%1http://a.example/two#%21#%30\r\n"
                                       "0#%1http://a.example/three#%21#%30\r\n"
                                       "0#%1http://short.ex/#%21#%30\r\n"
                                       "0#%1http://a.example/four#x#%21#%31\r\n");
    m_folder.WriteFile("d17-lack_p.dat", "http://a.example/two\r\n"
                                         "http://a.example/three\r\n"
                                         "http://short.ex/abc\r\n"
                                         "http://a.example/four\r\n");
    std::vector<bool> timerSwitches;
    m_files.SetMonitorTimerSwitch([&](bool running) { timerSwitches.push_back(running); });

    const PendingLinksRead read = m_files.ReadPendingLinks(kId);

    // Two consecutive processed lines both go; a 16-character URL stays; "#x" is not compared.
    const PendingLinkList expected = {EntLackSites(0, kId, 0, 0, "http://a.example/one"),
                                      EntLackSites(0, kId, 1, 0, "http://short.ex/")};
    EXPECT_EQ(read.links, expected);
    EXPECT_EQ(read.dropped, 3u);
    EXPECT_EQ(timerSwitches, (std::vector<bool>{false, true}));
    EXPECT_EQ(m_progress.calls.front(), "Start 4 1");
    EXPECT_EQ(m_progress.totalText, "Processando...");
    EXPECT_EQ(m_progress.partialText, "Identificando links processados...(3)");
    EXPECT_EQ(m_progress.partial, 3);
    EXPECT_FALSE(m_progress.open);
    // Reading changes no file.
    EXPECT_TRUE(Exists("d17-lack_p.dat"));
    EXPECT_NE(PendingText().find("three"), std::string::npos);
}

TEST_F(CLLackFilesTest, WithoutAProcessedFileNothingIsDroppedOrShown) {
    const std::string text = "0#%1http://a.example/one#%20#%30\r\nfree text\r\n";
    EXPECT_EQ(m_files.DropProcessedLinks(kId, text), text);
    EXPECT_TRUE(m_progress.calls.empty());
}

TEST_F(CLLackFilesTest, DropProcessedLinksReturnsTheRemainingLines) {
    m_folder.WriteFile("d17-lack_p.dat", "http://a.example/two\n");
    const auto kept = m_files.DropProcessedLinks(kId, "no link here\r\n"
                                                      "0#%1http://a.example/two#%20#%30\n"
                                                      "0#%1http://a.example/one#%20#%30");
    ASSERT_TRUE(kept.has_value());
    EXPECT_EQ(*kept, "no link here\r\n0#%1http://a.example/one#%20#%30\r\n");
}

TEST_F(CLLackFilesTest, LoadMakesTheFilesMatchTheQueueAndReopensBothJournals) {
    m_folder.WriteFile("d17-lack.dat", "0#%1http://a.example/one#%20#%30\r\n"
                                       "broken\r\n"
                                       "0#%1http://a.example/two#%21#%30\r\n"
                                       "0#%1http://a.example/three#%21#%31\r\n");
    m_folder.WriteFile("d17-lack_p.dat", "http://a.example/two\r\n");
    CLLogEnvio pendingWriter;
    CLLogEnvio processedWriter;

    const PendingLinksRead read = m_files.LoadPendingLinks(kId, pendingWriter, processedWriter);

    ASSERT_EQ(read.links.size(), 2u);
    EXPECT_EQ(PendingText(), "0#%1http://a.example/one#%20#%30\r\n0#%1http://a.example/three#%21#%31\r\n");
    EXPECT_EQ(m_folder.ReadFile("d17-lack_p.dat"), "") << "the processed-links file starts anew";
    ASSERT_TRUE(pendingWriter.IsOpen());
    ASSERT_TRUE(processedWriter.IsOpen());
    pendingWriter.WriteLine("0#%1http://a.example/four#%22#%30");
    processedWriter.WriteLine("http://a.example/three");
    EXPECT_EQ(PendingText(), "0#%1http://a.example/one#%20#%30\r\n0#%1http://a.example/three#%21#%31\r\n"
                             "0#%1http://a.example/four#%22#%30\r\n");
    EXPECT_EQ(m_folder.ReadFile("d17-lack_p.dat"), "http://a.example/three\r\n");

    // What a continued run journaled is what the next load sees.
    const PendingLinksRead again = m_files.ReadPendingLinks(kId);
    const PendingLinkList expected = {EntLackSites(0, kId, 0, 0, "http://a.example/one"),
                                      EntLackSites(0, kId, 2, 0, "http://a.example/four")};
    EXPECT_EQ(again.links, expected);
}

TEST_F(CLLackFilesTest, AFailedSaveLeavesBothFilesAsTheyWere) {
    // A folder where the pending-links file should be: the rename over it fails.
    fs::create_directory(m_folder.File("d17-lack.dat"));
    m_folder.WriteFile("d17-lack_p.dat", "http://a.example/done\r\n");
    EXPECT_FALSE(CLLackFiles::SavePendingLinks(kId, {EntLackSites(0, kId, 0, 0, "http://a.example/x")}));
    EXPECT_EQ(m_folder.ReadFile("d17-lack_p.dat"), "http://a.example/done\r\n");
    EXPECT_TRUE(fs::is_directory(m_folder.File("d17-lack.dat")));
    // Only temporary files of this save would be left: none is.
    for (const auto& entry : fs::directory_iterator(m_folder.Path()))
        EXPECT_EQ(entry.path().filename().string().find(".tmp"), std::string::npos) << entry.path();
}

TEST_F(CLLackFilesTest, DeleteLinkFilesRemovesBoth) {
    m_folder.WriteFile("d17-lack.dat", "x\r\n");
    m_folder.WriteFile("d17-lack_p.dat", "y\r\n");
    m_folder.WriteFile("d18-lack.dat", "z\r\n");
    CLLackFiles::DeleteLinkFiles(kId);
    EXPECT_FALSE(Exists("d17-lack.dat"));
    EXPECT_FALSE(Exists("d17-lack_p.dat"));
    EXPECT_TRUE(Exists("d18-lack.dat"));
    CLLackFiles::DeleteLinkFiles(kId); // nothing left: no complaint
}

} // namespace
} // namespace harvexa
