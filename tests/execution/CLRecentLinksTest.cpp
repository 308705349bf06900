#include "execution/CLRecentLinks.h"

#include <algorithm>
#include <cctype>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

namespace harvexa {
namespace {

std::string Lower(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

// The designed list, searched entry by entry.
class LiteralRecentList {
public:
    explicit LiteralRecentList(std::size_t capacity)
        : m_capacity(capacity) {}

    bool SeenRecently(const std::string& url) {
        const std::string folded = Lower(url);
        bool found = false;
        for (std::size_t i = 0; i < m_entries.size(); ++i) {
            if (m_folded[i] == folded) {
                std::rotate(m_entries.begin() + static_cast<std::ptrdiff_t>(i),
                            m_entries.begin() + static_cast<std::ptrdiff_t>(i) + 1, m_entries.end());
                std::rotate(m_folded.begin() + static_cast<std::ptrdiff_t>(i),
                            m_folded.begin() + static_cast<std::ptrdiff_t>(i) + 1, m_folded.end());
                found = true;
                break;
            }
        }
        if (!found) {
            m_entries.push_back(url);
            m_folded.push_back(folded);
        }
        if (m_entries.size() > m_capacity) {
            m_entries.erase(m_entries.begin());
            m_folded.erase(m_folded.begin());
        }
        return found;
    }

    const std::vector<std::string>& FoldedEntries() const { return m_folded; }

private:
    std::size_t m_capacity;
    std::vector<std::string> m_entries;
    std::vector<std::string> m_folded;
};

TEST(CLRecentLinksTest, FullListDropsItsOldestAndAFoundEntryBecomesNewest) {
    CLRecentLinks recent;
    for (int i = 0; i < 2000; ++i)
        ASSERT_FALSE(recent.SeenRecently("http://a.example/" + std::to_string(i)));
    EXPECT_EQ(recent.Size(), 2000u);
    // Entry 0 is the oldest; seeing it again saves it, so entry 1 is dropped next.
    EXPECT_TRUE(recent.SeenRecently("HTTP://A.EXAMPLE/0"));
    EXPECT_FALSE(recent.SeenRecently("http://a.example/new"));
    EXPECT_EQ(recent.Size(), 2000u);
    const std::vector<std::string> entries = recent.Entries();
    EXPECT_EQ(entries.front(), "http://a.example/2");
    EXPECT_EQ(entries[entries.size() - 2], "http://a.example/0");
    EXPECT_EQ(entries.back(), "http://a.example/new");
    EXPECT_FALSE(recent.SeenRecently("http://a.example/1"));
    EXPECT_TRUE(recent.SeenRecently("http://a.example/0"));
}

TEST(CLRecentLinksTest, ComparesIgnoringAsciiCaseOnly) {
    CLRecentLinks recent;
    EXPECT_FALSE(recent.SeenRecently("http://Example.com/Ä"));
    EXPECT_TRUE(recent.SeenRecently("HTTP://EXAMPLE.COM/Ä"));
    EXPECT_FALSE(recent.SeenRecently("http://example.com/ä"));
    EXPECT_FALSE(recent.SeenRecently(""));
    EXPECT_TRUE(recent.SeenRecently(""));
}

struct StreamCase {
    std::size_t capacity;
    int distinctUrls;
    int length;
    unsigned seed;
};

class RecentLinksStreamTest : public ::testing::TestWithParam<StreamCase> {};

TEST_P(RecentLinksStreamTest, AnswersLikeTheLiteralList) {
    const StreamCase& c = GetParam();
    CLRecentLinks recent(c.capacity);
    LiteralRecentList reference(c.capacity);
    std::mt19937 random(c.seed);
    std::uniform_int_distribution<int> pick(0, c.distinctUrls - 1);
    std::bernoulli_distribution upper(0.3);
    // Recently offered URLs come back often, as links of one site do.
    std::vector<int> lastOffered;
    int hits = 0;
    for (int i = 0; i < c.length; ++i) {
        int n = pick(random);
        if (!lastOffered.empty() && random() % 3 == 0)
            n = lastOffered[random() % lastOffered.size()];
        lastOffered.push_back(n);
        if (lastOffered.size() > 50)
            lastOffered.erase(lastOffered.begin());
        std::string url = "http://site" + std::to_string(n % 7) + ".example/page/" + std::to_string(n);
        if (upper(random))
            std::transform(url.begin(), url.end(), url.begin(),
                           [](char ch) { return static_cast<char>(std::toupper(ch)); });
        const bool expected = reference.SeenRecently(url);
        ASSERT_EQ(recent.SeenRecently(url), expected) << "step " << i << " url " << url;
        hits += expected ? 1 : 0;
    }
    EXPECT_EQ(recent.Entries(), reference.FoldedEntries());
    // The stream must exercise both answers.
    EXPECT_GT(hits, 0);
    EXPECT_LT(hits, c.length);
}

INSTANTIATE_TEST_SUITE_P(Streams, RecentLinksStreamTest,
                         ::testing::Values(StreamCase{2000, 1500, 20000, 1}, StreamCase{2000, 2600, 30000, 2},
                                           StreamCase{2000, 8000, 30000, 3}, StreamCase{3, 6, 2000, 4},
                                           StreamCase{1, 3, 500, 5}));

} // namespace
} // namespace harvexa
