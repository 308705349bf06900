#include "analysis/CLFilter.h"

#include "analysis/FlattenText.h"

#include <gtest/gtest.h>
#include <map>
#include <mutex>
#include <thread>

namespace harvexa::test {
namespace {

struct Entry {
    std::string message, subject;
    int kind;
    std::string caption;
    bool operator==(const Entry&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Entry& entry) {
    return out << "{" << entry.message << " | " << entry.subject << " | " << entry.kind << " | "
               << entry.caption << "}";
}

// Catalogue texts are "T<key>:"; switches default on.
class RecordingSink final : public FilterLogSink {
public:
    bool IsOn(FilterLogSwitch which) const override {
        const auto it = switches.find(which);
        return it == switches.end() || it->second;
    }
    std::string Text(int key) const override { return "T" + std::to_string(key) + ":"; }
    void PostLogEntry(const std::string& message, const std::string& subject, int kind,
                      const std::string& caption) override {
        const std::lock_guard lock(mutex);
        entries.push_back({message, subject, kind, caption});
    }

    std::map<FilterLogSwitch, bool> switches;
    std::vector<Entry> entries;
    std::mutex mutex;
};

class CLFilterTest : public ::testing::Test {
protected:
    CLFilter MakeFilter() {
        CLFilter filter(&sink, loggedUrls, loggedEmails);
        filter.SetResearch(&research);
        return filter;
    }

    RecordingSink sink;
    LoggedEntrySet loggedUrls, loggedEmails;
    ResearchFilterLists research;
};

TEST_F(CLFilterTest, EmptyListsAcceptEverythingAndLogNothing) {
    CLFilter filter = MakeFilter();
    EXPECT_TRUE(filter.FilterUrl("http://h1/a.pdf"));
    filter.SetContent("<p>anything</p>");
    EXPECT_EQ(filter.FilterContent(), "");
    EXPECT_TRUE(filter.FilterEmail("a@b.com"));
    EXPECT_TRUE(sink.entries.empty());
}

TEST_F(CLFilterTest, UrlFilterDecidesInItsOrder) {
    struct Case {
        const char* name;
        ResearchFilterLists lists;
        std::string url;
        bool accepted;
        std::vector<Entry> log;
    };
    const std::string caption = "T133:";
    const Case cases[] = {
        {"must-have word",
         {.url_must_have = "Shop\r\nstore"},
         "http://h1/SHOP/a",
         true,
         {{"T128:shop)", "http://h1/SHOP/a", 0, caption}}},
        {"no must-have word",
         {.url_must_have = "shop\r\nstore\r\nmarket"},
         "http://h1/a",
         false,
         {{"T129:shop store ma...)", "http://h1/a", 2, caption}}}, // first 15 characters, made one line
        {"must-not-have word",
         {.url_must_not_have = "login"},
         "http://h1/Login.php",
         false,
         {{"T130:login)", "http://h1/Login.php", 2, caption}}},
        {"must-not-have wins over must-have",
         {.url_must_have = "h1", .url_must_not_have = "cart"},
         "http://h1/cart",
         false,
         {{"T130:cart)", "http://h1/cart", 2, caption}}},
        {"outside the domains",
         {.domains = ".br\r\n.pt", .exigir_valid_domains = true},
         "http://h1.com/",
         false,
         {{"T131:.br .pt...)", "http://h1.com/", 2, caption}}},
        {"inside the domains: message cleared",
         {.url_must_have = "h1", .domains = ".br", .exigir_valid_domains = true},
         "http://h1.com.br/",
         true,
         {}},
        {"domains not required", {.domains = ".br"}, "http://h1.com/", true, {}},
        {"no domains listed", {.exigir_valid_domains = true}, "http://h1.com/", true, {}},
        {"binary ending",
         {.binary_files = ".zip\r\n.pdf"},
         "http://h1/a.PDF",
         false,
         {{"T132:.pdf)", "http://h1/a.PDF", 2, caption}}},
        {"endings have four characters", {.binary_files = "pdf"}, "http://h1/a.pdf", true, {}},
        {"blank lines do not count as words", {.url_must_have = "\r\n\r\n"}, "http://h1/", true, {}},
    };
    for (const Case& c : cases) {
        sink.entries.clear();
        research = c.lists;
        LoggedEntrySet freshUrls, freshEmails;
        CLFilter filter(&sink, freshUrls, freshEmails);
        filter.SetResearch(&research);
        EXPECT_EQ(filter.FilterUrl(c.url), c.accepted) << c.name;
        EXPECT_EQ(sink.entries, c.log) << c.name;
    }
}

TEST_F(CLFilterTest, EachUrlIsLoggedOnceWhileTheProgramRuns) {
    research.url_must_not_have = "login";
    EXPECT_FALSE(MakeFilter().FilterUrl("http://h1/login"));
    ResearchFilterLists other;
    other.url_must_not_have = "LOGIN";
    CLFilter second(&sink, loggedUrls, loggedEmails); // another research, same program run
    second.SetResearch(&other);
    EXPECT_FALSE(second.FilterUrl("http://H1/login"));
    EXPECT_EQ(sink.entries.size(), 1u);
}

TEST_F(CLFilterTest, SwitchesSilenceTheirEntries) {
    research.url_must_have = "shop";
    research.url_must_not_have = "cart";
    sink.switches[FilterLogSwitch::UrlPositive] = false;
    EXPECT_TRUE(MakeFilter().FilterUrl("http://h1/shop"));
    EXPECT_TRUE(sink.entries.empty());
    sink.switches[FilterLogSwitch::UrlNegative] = false;
    EXPECT_FALSE(MakeFilter().FilterUrl("http://h1/shop/cart"));
    EXPECT_TRUE(sink.entries.empty());
    sink.switches[FilterLogSwitch::UrlNegative] = true;
    EXPECT_FALSE(MakeFilter().FilterUrl("http://h1/shop/cart"));
    EXPECT_EQ(sink.entries.size(), 1u);
}

TEST_F(CLFilterTest, ContentFilterMatchesNormalisedText) {
    struct Case {
        const char* name;
        ResearchFilterLists lists;
        std::string content;
        std::string result;
        int kind;
    };
    const Case cases[] = {
        {"word in any letter case",
         {.site_must_have = "Hotel"},
         "<h1>HOTEL Central</h1>",
         "#OK# T121:hotel\")",
         0},
        {"entity decoded",
         {.site_must_have = "s\xC3\xA3o"},
         "S&atilde;o Paulo",
         "#OK# T121:s\xC3\xA3o\")",
         0},
        {"&amp; decoded last", {.site_must_have = "r&d"}, "R&amp;D lab", "#OK# T121:r&d\")", 0},
        {"no must-have word",
         {.site_must_have = "hotel\r\npousada\r\ninn"},
         "a shop",
         "T122:hotel\r\npousada\r...\")",
         2},
        {"must-not-have wins",
         {.site_must_have = "hotel", .site_must_not_have = "closed"},
         "Hotel closed",
         "T123:closed\")",
         2},
        {"only must-not-have", {.site_must_not_have = "casino"}, "a hotel", "", 0},
    };
    for (const Case& c : cases) {
        sink.entries.clear();
        research = c.lists;
        CLFilter filter = MakeFilter();
        filter.SetContent(c.content);
        EXPECT_EQ(filter.FilterContent(), c.result) << c.name;
        if (c.result.empty()) {
            EXPECT_TRUE(sink.entries.empty()) << c.name;
        } else {
            ASSERT_EQ(sink.entries.size(), 1u) << c.name;
            EXPECT_EQ(sink.entries[0], (Entry{c.result, "T124:", c.kind, "T125:"})) << c.name;
        }
    }
}

TEST_F(CLFilterTest, ContentDecisionsAreLoggedEveryTime) {
    research.site_must_not_have = "casino";
    for (int i = 0; i < 2; ++i) {
        CLFilter filter = MakeFilter();
        filter.SetContent("Casino!");
        EXPECT_EQ(filter.FilterContent(), "T123:casino\")");
    }
    EXPECT_EQ(sink.entries.size(), 2u);
}

TEST_F(CLFilterTest, EmailFilterLogsOnlyDecisionsWithAMessage) {
    research.email_must_have = "acme";
    research.email_must_not_have = "noreply-department-of-things";
    CLFilter filter = MakeFilter();
    EXPECT_FALSE(filter.FilterEmail("john@other.com")) << "refused by must-have";
    EXPECT_TRUE(sink.entries.empty()) << "...without a message, so never logged";
    EXPECT_TRUE(filter.FilterEmail("Sales@ACME.com"));
    EXPECT_FALSE(filter.FilterEmail("noreply-department-of-things@acme.com"));
    EXPECT_TRUE(filter.FilterEmail("sales@acme.com")) << "accepted again";
    const std::vector<Entry> expected = {
        {"sales@acme.comT126:acme\")", "sales@acme.com", 0, "T127:"},
        {"noreply-department-of-things@acme.com (\"noreply-departm\")",
         "noreply-department-of-things@acme.com", 2, "T127:"},
    };
    EXPECT_EQ(sink.entries, expected) << "each address logged once";
}

TEST_F(CLFilterTest, FilterEmailsKeepsAcceptedLinesOnce) {
    research.email_must_not_have = "spam";
    CLFilter filter = MakeFilter();
    EXPECT_EQ(filter.FilterEmails("John@X.com\r\njohn@x.com\r\nspam@x.com\r\nann@y.org"),
              "john@x.com\r\nann@y.org\r\n");
    EXPECT_EQ(filter.FilterEmails(std::vector<std::string>{"B@x.com", "b@X.com"}),
              std::vector<std::string>{"b@x.com"});
}

TEST_F(CLFilterTest, LoggedSetsAreSafeForConcurrentWorkers) {
    LoggedEntrySet shared;
    std::atomic<int> inserted{0};
    std::vector<std::thread> workers;
    for (int t = 0; t < 8; ++t)
        workers.emplace_back([&, t] {
            for (int i = 0; i < 1000; ++i) {
                std::string url = "http://h" + std::to_string(i) + "/";
                if (t % 2)
                    url[0] = 'H';
                if (shared.InsertIfAbsent(url))
                    ++inserted;
            }
        });
    for (auto& worker : workers)
        worker.join();
    EXPECT_EQ(inserted.load(), 1000);
    EXPECT_EQ(shared.Size(), 1000u);
    EXPECT_TRUE(shared.Contains("HTTP://H7/"));
}

TEST(DecodeEntitiesTest, ReplacesTheTableIgnoringCase) {
    struct Case {
        const char* text;
        const char* decoded;
    };
    const Case cases[] = {
        {"&amp;lt;", "<"},              // "&amp;" goes before "&lt;"
        {"&Aacute;gua", "\xC3\xA1gua"}, // a capital entity yields the small letter
        {"caf&eacute caf&eacute;", "caf\xC3\xA9 caf\xC3\xA9"},
        {"a&nbsp;b", "a b"},
        {"&uml;", "\xC2\xA8"},
        {"&auml;", "\xC3\xA4"},
        {"&AMP; &gt &LT;", "& > <"},
        {"&ccedil;&atilde;o", "\xC3\xA7\xC3\xA3o"},
        {"&copy; &#233;", "&copy; &#233;"}, // outside the table
    };
    for (const Case& c : cases)
        EXPECT_EQ(CLFilter::DecodeEntities(c.text), c.decoded) << c.text;
}

TEST(FlattenTextTest, MakesOneLine) {
    EXPECT_EQ(FlattenText("a\r\nb\rc\nd\te\"f"), "a b c d ef");
    EXPECT_EQ(FlattenText("\r\n\r\n"), "  ");
    EXPECT_EQ(FlattenText(""), "");
}

} // namespace
} // namespace harvexa::test
