#include "execution/CLProcessedLinkFilter.h"

#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

namespace harvexa {
namespace {

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::string line;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            lines.push_back(line);
            line.clear();
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else {
            line += c;
        }
    }
    if (!line.empty())
        lines.push_back(line);
    return lines;
}

std::size_t Utf8Length(const std::string& text) {
    std::size_t n = 0;
    for (const unsigned char c : text)
        n += (c & 0xC0) != 0x80;
    return n;
}

// The rule as designed: every pending line against the whole processed text.
bool LiterallyProcessed(const std::string& line, const std::string& processed) {
    const std::size_t start = line.find("http");
    if (start == std::string::npos)
        return false;
    std::string url = line.substr(start);
    url = url.substr(0, url.find('#'));
    return Utf8Length(url) > 16 && processed.find(url) != std::string::npos;
}

struct FilterCase {
    const char* name;
    std::string pendingLine;
    std::string processed;
    bool dropped;
};

class ProcessedRuleTest : public ::testing::TestWithParam<FilterCase> {};

TEST_P(ProcessedRuleTest, FollowsTheSubstringRule) {
    const FilterCase& c = GetParam();
    const CLProcessedLinkFilter filter(c.processed);
    EXPECT_EQ(filter.IsProcessed(c.pendingLine), c.dropped);
    EXPECT_EQ(LiterallyProcessed(c.pendingLine, c.processed), c.dropped) << "the case itself is wrong";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ProcessedRuleTest,
    ::testing::Values(
        FilterCase{"SameUrl", "0#%1http://a.example/page#%21#%30", "http://a.example/page\r\n", true},
        // "http://a.example" has 16 characters: never dropped, even inside a processed line.
        FilterCase{"SixteenCharactersKept", "0#%1http://a.example#%20#%30", "http://a.example/x\r\n", false},
        FilterCase{"SeventeenCharactersDropped", "0#%1http://a.example/#%20#%30", "http://a.example/x\r\n",
                   true},
        FilterCase{"SixteenCharactersWithAccentKept", "0#%1http://é.example#%20#%30", "http://é.example/\r\n",
                   false},
        FilterCase{"PrefixOfAProcessedUrl", "0#%1http://a.example/dir#%21#%30",
                   "http://z.example/\r\nhttp://a.example/dir/page.html\r\n", true},
        FilterCase{"InsideAProcessedLine", "0#%1http://b.example/abc#%21#%31",
                   "http://r.example/?u=http://b.example/abc&z=1\r\n", true},
        FilterCase{"ComparedBeforeTheHash", "0#%1http://c.example/page#frag#%21#%30",
                   "http://c.example/page\r\n", true},
        FilterCase{"NoHttpNeverDropped", "0#%1www.example.com/abcdefghij#%20#%30",
                   "www.example.com/abcdefghij\r\n", false},
        FilterCase{"UpperCaseHttpNeverDropped", "0#%1HTTP://A.EXAMPLE/PAGE#%20#%30",
                   "HTTP://A.EXAMPLE/PAGE\r\n", false},
        FilterCase{"CaseMatters", "0#%1http://a.example/Page#%20#%30", "http://a.example/page\r\n", false},
        FilterCase{"NotAcrossLineEnds", "0#%1http://d.example/abc#%21#%30", "http://d.example/a\r\nbc\r\n",
                   false},
        FilterCase{"LongerThanTheProcessedUrl", "0#%1http://a.example/page2#%21#%30",
                   "http://a.example/page\r\n", false},
        FilterCase{"EmptyProcessedText", "0#%1http://a.example/page#%21#%30", "", false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CLProcessedLinkFilterTest, CountsProcessedLinesLikeTheFileShowsThem) {
    EXPECT_EQ(CLProcessedLinkFilter("a\r\nb\r\n").ProcessedLineCount(), 2u);
    EXPECT_EQ(CLProcessedLinkFilter("a\r\n\r\nb").ProcessedLineCount(), 3u);
    EXPECT_EQ(CLProcessedLinkFilter("").ProcessedLineCount(), 0u);
}

// Random URLs over a tiny alphabet, so prefixes, inner occurrences, repeated "http", "#" and
// the 16-character edge all occur often.
class RandomUrls {
public:
    explicit RandomUrls(unsigned seed)
        : m_random(seed) {}

    std::string Url() {
        static const std::vector<std::string> hosts = {"http://a.ex", "http://ab.ex", "https://a.ex",
                                                       "HTTP://a.ex", "http://é.ex",  "www.a.ex",
                                                       "ftp://a.ex"};
        std::string url = hosts[m_random() % hosts.size()];
        const int segments = static_cast<int>(m_random() % 4);
        for (int s = 0; s < segments; ++s) {
            url += '/';
            const int length = static_cast<int>(m_random() % 4);
            for (int i = 0; i < length; ++i)
                url += "ab#h"[m_random() % 4];
        }
        if (m_random() % 6 == 0)
            url += "?u=http://a.ex/" + std::string(m_random() % 3, 'a');
        return url;
    }

    // A processed line: a URL, or a piece of one, or a URL with more after it.
    std::string ProcessedLine(const std::vector<std::string>& pendingUrls) {
        const unsigned choice = m_random() % 4;
        if (choice == 0 || pendingUrls.empty())
            return Url();
        const std::string& base = pendingUrls[m_random() % pendingUrls.size()];
        if (choice == 1)
            return base;
        if (choice == 2)
            return base.substr(0, m_random() % (base.size() + 1));
        return "x" + base + "/more";
    }

    unsigned Next() { return static_cast<unsigned>(m_random()); }

private:
    std::mt19937 m_random;
};

TEST(CLProcessedLinkFilterTest, AgreesWithTheLiteralRuleOnGeneratedFiles) {
    std::size_t droppedTotal = 0;
    std::size_t keptTotal = 0;
    for (unsigned seed = 1; seed <= 300; ++seed) {
        RandomUrls random(seed);
        std::vector<std::string> urls;
        std::string pending;
        const int pendingCount = 1 + static_cast<int>(random.Next() % 80);
        for (int i = 0; i < pendingCount; ++i) {
            urls.push_back(random.Url());
            pending += "0#%1" + urls.back() + "#%21#%30" + (random.Next() % 5 == 0 ? "\n" : "\r\n");
        }
        std::string processed;
        const int processedCount = static_cast<int>(random.Next() % 120);
        for (int i = 0; i < processedCount; ++i)
            processed += random.ProcessedLine(urls) + (random.Next() % 5 == 0 ? "\n" : "\r\n");

        const CLProcessedLinkFilter filter(processed);
        for (const std::string& line : SplitLines(pending)) {
            const bool expected = LiterallyProcessed(line, processed);
            ASSERT_EQ(filter.IsProcessed(line), expected) << "seed " << seed << " line " << line;
            (expected ? droppedTotal : keptTotal) += 1;
        }
    }
    // Both outcomes must be common, or the comparison proves little.
    EXPECT_GT(droppedTotal, 500u);
    EXPECT_GT(keptTotal, 500u);
}

} // namespace
} // namespace harvexa
