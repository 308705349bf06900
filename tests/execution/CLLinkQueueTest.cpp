#include "execution/CLLinkQueue.h"

#include "execution/CLLogEnvio.h"
#include "support/RecordingFrontEnd.h"
#include "support/TempAppFolder.h"

#include <atomic>
#include <filesystem>
#include <gtest/gtest.h>
#include <set>
#include <thread>

namespace harvexa {
namespace {

using test::RecordingProgress;
using test::TempAppFolder;
namespace fs = std::filesystem;

constexpr int kId = 17;

EntLackSites Site(const std::string& url, int level = 0) {
    return EntLackSites(0, kId, level, kInternalLink, url);
}
EntLackSites ResultPage(const std::string& url) {
    return EntLackSites(0, kId, kSearchResultLevel, kSearchResultPage, url);
}

class CLLinkQueueTest : public ::testing::Test {
protected:
    void SetUp() override { m_queue.StartFirstRun(kId); }

    std::string TakeUrl() {
        const auto taken = m_queue.TakeNextLink();
        if (!taken)
            return "<none>";
        EXPECT_TRUE(m_queue.MarkCompleted(taken->ticket));
        return taken->link.lack_sites;
    }
    std::string Read(const std::string& name) const { return m_folder.ReadFile(name); }
    bool Exists(const std::string& name) const { return fs::exists(m_folder.File(name)); }

    TempAppFolder m_folder{TempAppFolder::Contents::Empty};
    CLLogEnvio m_pendingWriter;
    CLLogEnvio m_processedWriter;
    CLLinkQueue m_queue{m_pendingWriter, m_processedWriter};
    RecordingProgress m_progress;
    CLLackFiles m_files{m_progress};
};

TEST_F(CLLinkQueueTest, LinksLeaveLastInFirstOutAndTheLastOneBecomesTheAnchor) {
    m_queue.AppendLink(Site("a"));
    m_queue.AppendLink(Site("b"));
    m_queue.AppendLink(Site("c"));
    auto taken = m_queue.TakeNextLink();
    ASSERT_TRUE(taken);
    EXPECT_EQ(taken->link, Site("c"));
    EXPECT_EQ(taken->remaining, 2u);
    EXPECT_EQ(m_queue.AnchorUrl(), "");
    EXPECT_EQ(TakeUrl(), "b");
    EXPECT_EQ(m_queue.AnchorUrl(), "");
    EXPECT_EQ(TakeUrl(), "a");
    EXPECT_EQ(m_queue.AnchorUrl(), "a");
    EXPECT_FALSE(m_queue.TakeNextLink());
    EXPECT_EQ(m_queue.AnchorUrl(), "a") << "the anchor stays until another list runs empty";
}

TEST_F(CLLinkQueueTest, SearchPagesAreTakenBeforeAnySite) {
    m_queue.AppendLink(Site("http://one.example/"));
    m_queue.AppendLink(ResultPage("http://search.example/?q=x&p=1"));
    m_queue.AppendLink(Site("http://two.example/"));
    m_queue.AppendLink(ResultPage("http://search.example/?q=x&p=2"));
    m_queue.AppendLink(Site("http://three.example/"));
    m_queue.PromoteSearchPages();
    EXPECT_EQ(m_queue.PriorityCount(), 2u);
    EXPECT_EQ(m_queue.PendingCount(), 3u);
    m_queue.AppendLink(Site("http://later.example/", 1));

    EXPECT_EQ(TakeUrl(), "http://search.example/?q=x&p=2");
    EXPECT_EQ(TakeUrl(), "http://search.example/?q=x&p=1");
    EXPECT_EQ(m_queue.AnchorUrl(), "http://search.example/?q=x&p=1");
    EXPECT_EQ(TakeUrl(), "http://later.example/");
    EXPECT_EQ(TakeUrl(), "http://three.example/");
}

TEST_F(CLLinkQueueTest, PromotedPagesAreKeyedByTheirTrimmedUrl) {
    m_queue.AppendLink(ResultPage("  http://search.example/?q=x \r"));
    m_queue.PromoteSearchPages();
    const auto taken = m_queue.TakeNextLink();
    ASSERT_TRUE(taken);
    EXPECT_EQ(taken->link.lack_sites, "  http://search.example/?q=x \r") << "the record keeps its URL";
    EXPECT_EQ(m_queue.AnchorUrl(), "http://search.example/?q=x");
}

TEST_F(CLLinkQueueTest, MergingTwiceKeepsEachPriorityLinkOnceAndItIsHandedOutOnce) {
    m_queue.AppendLink(Site("http://one.example/"));
    m_queue.AppendLink(ResultPage("http://search.example/?p=1"));
    m_queue.AppendLink(ResultPage("http://search.example/?p=2"));
    m_queue.PromoteSearchPages();
    m_queue.MergePriorityLinks();
    m_queue.MergePriorityLinks();
    const PendingLinkList expected = {Site("http://one.example/"), ResultPage("http://search.example/?p=1"),
                                      ResultPage("http://search.example/?p=2")};
    EXPECT_EQ(m_queue.PendingLinks(), expected);
    EXPECT_EQ(m_queue.PriorityCount(), 2u) << "the priority list keeps its entries";

    std::vector<std::string> taken;
    for (std::string url = TakeUrl(); url != "<none>"; url = TakeUrl())
        taken.push_back(url);
    EXPECT_EQ(taken, (std::vector<std::string>{"http://search.example/?p=2", "http://search.example/?p=1",
                                               "http://one.example/"}));
}

TEST_F(CLLinkQueueTest, TheJournalsRecordQueuedAndCompletedLinksNotTakenOnes) {
    m_queue.AppendLink(Site(" http://a.example/x "));
    m_queue.AppendLink(EntLackSites(0, kId, 2, kExternalLink, "http://b.example/"));
    m_queue.AppendLink(ResultPage("http://s.example/?q=1"));
    EXPECT_EQ(Read("d17-lack.dat"), "0#%1http://a.example/x#%20#%30\r\n"
                                    "0#%1http://b.example/#%22#%31\r\n"
                                    "0#%1http://s.example/?q=1#%2-1#%32\r\n");
    auto first = m_queue.TakeNextLink();
    auto second = m_queue.TakeNextLink();
    auto third = m_queue.TakeNextLink();
    ASSERT_TRUE(first && second && third);
    EXPECT_EQ(Read("d17-lack_p.dat"), "") << "taking a link journals nothing";
    EXPECT_EQ(m_queue.InFlightCount(), 3u);
    EXPECT_TRUE(m_queue.MarkCompleted(third->ticket));
    EXPECT_FALSE(m_queue.MarkCompleted(third->ticket)) << "a ticket completes once";
    EXPECT_EQ(Read("d17-lack_p.dat"), " http://a.example/x \r\n");
    EXPECT_EQ(m_queue.InFlightCount(), 2u);
}

TEST_F(CLLinkQueueTest, AReturnedLinkIsTakenAgain) {
    m_queue.AppendLink(Site("http://a.example/one"));
    m_queue.AppendLink(Site("http://a.example/two"));
    const auto taken = m_queue.TakeNextLink();
    ASSERT_TRUE(taken);
    EXPECT_TRUE(m_queue.ReturnLink(taken->ticket));
    EXPECT_FALSE(m_queue.MarkCompleted(taken->ticket));
    EXPECT_EQ(TakeUrl(), "http://a.example/two");
    EXPECT_EQ(TakeUrl(), "http://a.example/one");
}

TEST_F(CLLinkQueueTest, AnAbruptEndLosesNoLinkThatWasNotCompleted) {
    for (const char* url :
         {"http://a.example/1", "http://a.example/2", "http://a.example/3", "http://a.example/4"})
        m_queue.AppendLink(Site(url));
    const auto completed = m_queue.TakeNextLink(); // 4
    const auto inFlight = m_queue.TakeNextLink();  // 3
    ASSERT_TRUE(completed && inFlight);
    ASSERT_TRUE(m_queue.MarkCompleted(completed->ticket));
    m_queue.AppendLink(Site("http://a.example/3/found", 1));
    // No flush: the process ends here. The next start reads what the journals hold.
    const PendingLinksRead read = m_files.ReadPendingLinks(kId);
    const PendingLinkList expected = {Site("http://a.example/1"), Site("http://a.example/2"),
                                      Site("http://a.example/3"), Site("http://a.example/3/found", 1)};
    EXPECT_EQ(read.links, expected);
}

TEST_F(CLLinkQueueTest, FlushSavesPendingPriorityAndHeldLinks) {
    m_queue.AppendLink(Site("http://a.example/1"));
    m_queue.AppendLink(ResultPage("http://s.example/?p=1"));
    m_queue.AppendLink(ResultPage("http://s.example/?p=2"));
    m_queue.AppendLink(Site("http://a.example/2"));
    m_queue.PromoteSearchPages();
    const auto page = m_queue.TakeNextLink(); // p=2, still being fetched
    ASSERT_TRUE(page);
    const auto site = m_queue.TakeNextLink(); // p=1, done
    ASSERT_TRUE(site);
    ASSERT_TRUE(m_queue.MarkCompleted(site->ticket));
    m_queue.AppendLink(ResultPage("http://s.example/?p=3")); // queued after the promotion
    m_queue.PromoteSearchPages();

    ASSERT_TRUE(m_queue.FlushPendingLinks(kId));

    EXPECT_EQ(Read("d17-lack.dat"), "0#%1http://a.example/1#%20#%30\r\n"
                                    "0#%1http://a.example/2#%20#%30\r\n"
                                    "0#%1http://s.example/?p=3#%2-1#%32\r\n"
                                    "0#%1http://s.example/?p=2#%2-1#%32\r\n");
    EXPECT_FALSE(Exists("d17-lack_p.dat"));
    EXPECT_FALSE(m_pendingWriter.IsOpen());
    EXPECT_FALSE(m_processedWriter.IsOpen());

    CLLinkQueue next(m_pendingWriter, m_processedWriter);
    const PendingLinksRead read = next.LoadPendingLinks(kId, m_files);
    EXPECT_TRUE(read.found);
    EXPECT_EQ(next.PendingCount(), 4u);
    next.PromoteSearchPages();
    EXPECT_EQ(next.TakeNextLink()->link.lack_sites, "http://s.example/?p=2");
}

TEST_F(CLLinkQueueTest, AFailedFlushKeepsTheJournals) {
    m_queue.AppendLink(Site("http://a.example/1"));
    m_queue.AppendLink(Site("http://a.example/2"));
    const auto taken = m_queue.TakeNextLink();
    ASSERT_TRUE(taken && m_queue.MarkCompleted(taken->ticket));
    fs::remove(m_folder.File("d17-lack.dat"));
    fs::create_directory(m_folder.File("d17-lack.dat"));
    EXPECT_FALSE(m_queue.FlushPendingLinks(kId));
    EXPECT_EQ(Read("d17-lack_p.dat"), "http://a.example/2\r\n");
}

TEST_F(CLLinkQueueTest, LoadingAMissingQueueEmptiesTheLists) {
    m_queue.AppendLink(Site("http://a.example/1"));
    CLLackFiles::DeleteLinkFiles(kId);
    const PendingLinksRead read = m_queue.LoadPendingLinks(kId, m_files);
    EXPECT_FALSE(read.found);
    EXPECT_EQ(m_queue.RemainingCount(), 0u);
}

TEST_F(CLLinkQueueTest, HasPendingUrlIgnoresLetterCase) {
    m_queue.AppendLink(ResultPage("http://Search.example/?q=A"));
    EXPECT_TRUE(m_queue.HasPendingUrl("HTTP://SEARCH.EXAMPLE/?Q=a"));
    EXPECT_FALSE(m_queue.HasPendingUrl("http://search.example/?q=b"));
}

TEST_F(CLLinkQueueTest, PruningRemovesPendingLinksOfTheDirectoryOnly) {
    m_queue.AppendLink(Site("http://a.example/contact/one.html"));
    m_queue.AppendLink(Site("http://a.example/about/"));
    m_queue.AppendLink(ResultPage("http://a.example/contact/?search"));
    m_queue.AppendLink(Site("http://a.example/contact/two.html"));
    m_queue.PromoteSearchPages();
    EXPECT_EQ(m_queue.PruneSameDirectory("http://a.example/contact/", "http://a.example/contact/index.html"),
              2u);
    EXPECT_EQ(m_queue.PendingLinks(), PendingLinkList{Site("http://a.example/about/")});
    EXPECT_EQ(m_queue.PriorityCount(), 1u) << "priority links are never pruned";
}

TEST_F(CLLinkQueueTest, PruningStopsWhenThePageAgreesWithTheAnchor) {
    m_queue.AppendLink(Site("http://www.a-long-host-name.example/dir/x.html"));
    EXPECT_EQ(TakeUrl(), "http://www.a-long-host-name.example/dir/x.html");
    m_queue.AppendLink(Site("http://www.a-long-host-name.example/dir/y.html"));
    // Same first 40 characters as the anchor, letter case aside.
    EXPECT_EQ(m_queue.PruneSameDirectory("http://www.a-long-host-name.example/dir/",
                                         "HTTP://WWW.A-LONG-HOST-NAME.EXAMPLE/DIR/OTHER.HTML"),
              0u);
    EXPECT_EQ(
        m_queue.PruneSameDirectory("http://www.a-long-host-name.example/dir/", "http://other.example/dir/z"),
        1u);
}

TEST_F(CLLinkQueueTest, TheTwoRecentListsAreSeparate) {
    EXPECT_FALSE(m_queue.SeenRecently(RecentList::Internal, "http://a.example/"));
    EXPECT_TRUE(m_queue.SeenRecently(RecentList::Internal, "HTTP://A.EXAMPLE/"));
    EXPECT_FALSE(m_queue.SeenRecently(RecentList::External, "http://a.example/"));
    m_queue.StartFirstRun(kId);
    EXPECT_TRUE(m_queue.SeenRecently(RecentList::External, "http://a.example/")) << "kept between runs";
}

TEST_F(CLLinkQueueTest, ConcurrentWorkersGetEveryLinkExactlyOnce) {
    constexpr int kWorkers = 4;
    constexpr int kSeeds = 200;
    for (int i = 0; i < kSeeds; ++i)
        m_queue.AppendLink(Site("http://seed.example/" + std::to_string(i)));
    std::atomic<int> nextFound{0};
    std::vector<std::vector<std::string>> takenBy(kWorkers);
    std::vector<std::thread> workers;
    for (int w = 0; w < kWorkers; ++w) {
        workers.emplace_back([&, w] {
            while (auto taken = m_queue.TakeNextLink()) {
                takenBy[w].push_back(taken->link.lack_sites);
                if (taken->link.nivel == 0) {
                    for (int k = 0; k < 3; ++k)
                        m_queue.AppendLink(Site("http://found.example/" + std::to_string(nextFound++), 1));
                }
                m_queue.MarkCompleted(taken->ticket);
            }
        });
    }
    for (std::thread& worker : workers)
        worker.join();
    std::multiset<std::string> all;
    for (const auto& urls : takenBy)
        all.insert(urls.begin(), urls.end());
    std::set<std::string> distinct(all.begin(), all.end());
    EXPECT_EQ(all.size(), distinct.size()) << "a link went to two workers";
    // A worker may stop while another still queues, so some found links can remain.
    EXPECT_EQ(all.size() + m_queue.RemainingCount(), static_cast<std::size_t>(kSeeds * 4));
    EXPECT_EQ(m_queue.InFlightCount(), 0u);
}

} // namespace
} // namespace harvexa
