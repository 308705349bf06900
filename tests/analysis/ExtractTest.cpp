#include "analysis/CLPageExtractor.h"
#include "support/FixedKeywords.h"

#include <gtest/gtest.h>

namespace harvexa::test {
namespace {

const char* const kPage =
    "<html><head><title>Acme</title>\n"
    "<meta name=\"description\" content=\"Tools\"><meta name=\"keywords\" content=\"saw, drill\">"
    "</head><body><a href=\"/about.htm\">About</a> <a href=\"http://h2/\">Partner</a>\n"
    "Mail sales@acme.com. Tel: (11) 5555-1234 Fax: (11) 5555-9999\n</body></html>";

const PhoneKeywordLists kKeywords{{"TEL"}, {"FAX"}};

TEST(ExtractTest, FillsTheRecordFromEveryStep) {
    const FixedKeywords keywords(kKeywords);
    CLPageExtractor extractor;
    extractor.SetPhoneKeywordSource(&keywords);
    extractor.SetPageText(kPage);
    const auto facts = extractor.Extract("http://h1/index.htm", true, true, true, true, true);
    ASSERT_TRUE(facts);
    EntPageData expected;
    expected.Url = "http://h1/index.htm";
    expected.Title = "Acme\r\n";
    expected.Description = "Tools\r\n";
    expected.Keywords = "saw, drill\r\n";
    expected.Emails = {"sales@acme.com"};
    expected.InternalLinks = {"http://h1/about.htm"};
    expected.ExternalLinks = {"http://h2/"};
    expected.Phones = {"TEL: (11)5555-1234 "};
    expected.Faxes = {"FAX: (11)5555-9999 "};
    EXPECT_EQ(*facts, expected);
}

TEST(ExtractTest, RunsOnlyTheStepsAskedFor) {
    CLPageExtractor extractor;
    extractor.SetPageText(kPage);
    const auto facts = extractor.Extract("http://h1/", false, false, true, false, false);
    ASSERT_TRUE(facts);
    EXPECT_EQ(facts->InternalLinks.size(), 1u);
    EXPECT_TRUE(facts->Emails.empty());
    EXPECT_TRUE(facts->Title.empty());
    EXPECT_TRUE(facts->Description.empty());
    EXPECT_TRUE(facts->Phones.empty());
}

TEST(ExtractTest, UnreadableLabelsDiscardTheRecord) {
    CLPageExtractor extractor; // no label source at all
    extractor.SetPageText(kPage);
    EXPECT_FALSE(extractor.Extract("http://h1/", true, true, true, true, true));
}

TEST(ExtractTest, EachExtractStartsAfresh) {
    const FixedKeywords keywords(kKeywords);
    CLPageExtractor extractor;
    extractor.SetPhoneKeywordSource(&keywords);
    extractor.SetPageText(kPage);
    const auto first = extractor.Extract("http://h1/", true, true, true, true, true);
    const auto second = extractor.Extract("http://h1/", true, true, true, true, true);
    ASSERT_TRUE(first && second);
    EXPECT_EQ(*first, *second);
}

TEST(ExtractTest, AnAbortedRunKeepsWhatWasFound) {
    const FixedKeywords keywords(kKeywords);
    std::atomic<bool> abort{true};
    CLPageExtractor extractor;
    extractor.SetPhoneKeywordSource(&keywords);
    extractor.SetAbortFlag(&abort);
    extractor.SetPageText(kPage);
    const auto facts = extractor.Extract("http://h1/", true, true, true, true, true);
    ASSERT_TRUE(facts) << "an abort is not a failure";
    EXPECT_TRUE(facts->Emails.empty());
    EXPECT_TRUE(facts->InternalLinks.empty());
    EXPECT_TRUE(facts->Phones.empty());
    EXPECT_EQ(facts->Title, "Acme\r\n") << "the title and meta steps have no loop to stop";
}

TEST(ExtractTest, ResultPagesAreHarvestedInsteadOfScanned) {
    CLPageExtractor extractor;
    extractor.SetPageText("<a href=\"/prefs\">p</a><div id=res><a href=\"/url?q=http://h3/x\">r</a></div>");
    extractor.SetResultPageMode(true);
    extractor.SetResultEngine(ResultEngineMarkers{"<div id=res>", "</div>", "HREF", ""});
    const auto facts = extractor.Extract("http://search/?q=a", false, false, true, false, false);
    ASSERT_TRUE(facts);
    EXPECT_EQ(facts->InternalLinks, std::vector<std::string>{"http://h3/x"});
    EXPECT_TRUE(facts->ExternalLinks.empty());
}

TEST(ExtractTest, PageTextEndsEveryLineWithCrLf) {
    CLPageExtractor extractor;
    extractor.SetPageText("a\rb\nc\r\nd");
    EXPECT_EQ(extractor.PageText(), "a\r\nb\r\nc\r\nd\r\n");
    extractor.SetPageText("");
    EXPECT_EQ(extractor.PageText(), "");
}

} // namespace
} // namespace harvexa::test
