#include "execution/PendingLinkLines.h"

#include <gtest/gtest.h>
#include <optional>

namespace harvexa {
namespace {

struct ParseCase {
    const char* line;
    std::optional<EntLackSites> expected;
};

class ParsePendingLineTest : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ParsePendingLineTest, ReadsTheFourFieldsOrRejectsTheLine) {
    const ParseCase& c = GetParam();
    EXPECT_EQ(ParsePendingLine(c.line, 17), c.expected) << c.line;
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ParsePendingLineTest,
    ::testing::Values(
        ParseCase{"0#%1http://a.example/x#%21#%30", EntLackSites(0, 17, 1, 0, "http://a.example/x")},
        ParseCase{"0#%1http://a.example/#%20#%30", EntLackSites(0, 17, 0, 0, "http://a.example/")},
        ParseCase{"0#%1http://b.example/#%21#%31", EntLackSites(0, 17, 1, 1, "http://b.example/")},
        ParseCase{"0#%1http://s.example/?q=a#%2-1#%32", EntLackSites(0, 17, -1, 2, "http://s.example/?q=a")},
        // A "#" inside the URL belongs to the URL.
        ParseCase{"0#%1http://a.example/p#b#%21#%30", EntLackSites(0, 17, 1, 0, "http://a.example/p#b")},
        // The id is taken over and the URL kept as written, blanks included.
        ParseCase{"42#%1 http://a.example/ #%23#%30", EntLackSites(42, 17, 3, 0, " http://a.example/ ")},
        ParseCase{"0#%1#%20#%30", EntLackSites(0, 17, 0, 0, "")}, ParseCase{"", std::nullopt},
        ParseCase{"garbage", std::nullopt}, ParseCase{"0#%1http://a.example/#%21", std::nullopt},
        ParseCase{"0#%1http://a.example/#%21#%3", std::nullopt},
        ParseCase{"x#%1http://a.example/#%21#%30", std::nullopt},
        ParseCase{"0#%1http://a.example/#%2one#%30", std::nullopt},
        ParseCase{"0#%1http://a.example/#%21#%30 ", std::nullopt},
        ParseCase{"0#%1http://a.example/#%21#%3++0", std::nullopt},
        ParseCase{"99999999999#%1http://a.example/#%21#%30", std::nullopt},
        ParseCase{"0#%3http://a.example/#%21#%10", std::nullopt}));

TEST(SplitTextLinesTest, EndsLinesAtCrLfCrOrLf) {
    using Lines = std::vector<std::string_view>;
    EXPECT_EQ(SplitTextLines("a\r\nb\nc\rd"), (Lines{"a", "b", "c", "d"}));
    EXPECT_EQ(SplitTextLines("a\r\n\r\nb\r\n"), (Lines{"a", "", "b"}));
    EXPECT_EQ(SplitTextLines("\r\n"), (Lines{""}));
    EXPECT_EQ(SplitTextLines(""), Lines{});
    EXPECT_EQ(SplitTextLines("\n\r"), (Lines{"", ""}));
}

TEST(PendingLineFormatTest, SavedLineKeepsTheUrlJournalLineTrimsIt) {
    const EntLackSites link(0, 17, 1, 1, "  http://a.example/x \t");
    std::string saved;
    AppendPendingLine(saved, link);
    EXPECT_EQ(saved, "0#%1  http://a.example/x \t#%21#%31");
    std::string journal;
    AppendJournalLine(journal, link);
    EXPECT_EQ(journal, "0#%1http://a.example/x#%21#%31");
    std::string page;
    AppendPendingLine(page,
                      EntLackSites(0, 17, kSearchResultLevel, kSearchResultPage, "http://s.example/?q=1"));
    EXPECT_EQ(page, "0#%1http://s.example/?q=1#%2-1#%32");
}

TEST(PendingLineFormatTest, CountsCharactersNotBytes) {
    EXPECT_EQ(CountCharacters("http://é.example"), 16u);
    EXPECT_EQ(CountCharacters(""), 0u);
    EXPECT_EQ(TrimBlanks(" \r\n x y\t "), "x y");
}

} // namespace
} // namespace harvexa
