#include "analysis/CLPageExtractor.h"

#include <gtest/gtest.h>

namespace harvexa::test {
namespace {

using Links = std::vector<std::string>;

Links Harvest(const std::string& page, const ResultEngineMarkers& engine) {
    CLPageExtractor extractor;
    extractor.SetPageText(page);
    extractor.HarvestResultLinks(&engine);
    EXPECT_TRUE(extractor.ExternalLinkList().empty());
    return extractor.InternalLinkList();
}

ResultEngineMarkers Engine(std::string tag, std::string mustNotHave = {}, std::string begin = {},
                           std::string end = {}) {
    return ResultEngineMarkers{std::move(begin), std::move(end), std::move(tag), std::move(mustNotHave)};
}

TEST(ResultHarvestTest, CollectsTheValuesAfterTheTag) {
    struct Case {
        const char* name;
        std::string page;
        ResultEngineMarkers engine;
        Links expected;
    };
    const Case cases[] = {
        {"repeats in any letter case",
         "<a href=\"http://h1/\">1</a><a HREF=\"http://h1/\">2</a><a href=\"http://H1/\">3</a>",
         Engine("HREF"),
         {"http://h1/"}},
        {"must-not-have lines match exact case",
         "<a href=\"http://h9/x\">a</a><a href=\"http://H9/y\">b</a>",
         Engine("HREF", "h9\r\nzz"),
         {"http://H9/y"}},
        {"www values get a scheme",
         "<img alt=\"www.h3.com\"><img ALT=\"WWW.h4.com\">",
         Engine("ALT"),
         {"http://www.h3.com", "http://WWW.h4.com"}},
        {"mail, fragment and empty values",
         "<a href=\"mailto:a@b.c\">m</a><a href=\"#\">f</a><a href=\"\">e</a>",
         Engine("HREF"),
         {}},
        {"redirect keeps its parameters",
         "<a href=\"/url?q=http://h2/&amp;sa=U\">r</a>",
         Engine("HREF"),
         {"http://h2/&sa=U"}},
        {"links are not made absolute", "<a href=\"x.htm\">x</a>", Engine("HREF"), {"x.htm"}},
        {"an unquoted value stops at a blank", "<a href=http://h5/a b>", Engine("HREF"), {"http://h5/a"}},
        {"a blank after the tag yields nothing", "<a href =\"http://h6/\">", Engine("HREF"), {}},
        {"an empty tag finds nothing", "<a href=\"http://h1/\">", Engine(""), {}},
        {"section between begin and end",
         "<a href=\"http://before/\">0</a><div id=r><a href=\"http://in/\">1</a></div><a "
         "href=\"http://after/\">2</a>",
         Engine("HREF", "", "<div id=r>", "</div>"),
         {"http://in/"}},
        {"no begin text: the whole page",
         "<a href=\"http://a/\">a</a><a href=\"http://b/\">b</a>",
         Engine("HREF", "", "<div id=missing>"),
         {"http://a/", "http://b/"}},
        {"end text missing: the whole section",
         "<div id=r><a href=\"http://a/\">a</a>",
         Engine("HREF", "", "<div id=r>", "<!-- missing -->"),
         {"http://a/"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Harvest(c.page, c.engine), c.expected) << c.name;
}

TEST(ResultHarvestTest, BeginCutsFromTheCharacterBeforeTheBeginText) {
    // The tag "A" found in the character before the begin text.
    EXPECT_EQ(Harvest("xa=\"http://h1/\"<b>", Engine("A", "", "=")), Links{"http://h1/"});
    EXPECT_EQ(Harvest("xa=\"http://h1/\"<b>", Engine("A", "", "=\"")), Links{"http://h1/"});
    EXPECT_EQ(Harvest("xa=\"http://h1/\"<b>", Engine("A", "", "\"h")), Links{})
        << "the tag is before the section";
}

TEST(ResultHarvestTest, WithoutAnEngineNothingIsHarvested) {
    CLPageExtractor extractor;
    extractor.SetPageText("<a href=\"http://h1/\">");
    extractor.SetResultPageMode(true);
    const auto facts = extractor.Extract("http://search/?q=x", false, false, true, false, false);
    ASSERT_TRUE(facts);
    EXPECT_TRUE(facts->InternalLinks.empty());
    EXPECT_TRUE(facts->ExternalLinks.empty());
}

} // namespace
} // namespace harvexa::test
