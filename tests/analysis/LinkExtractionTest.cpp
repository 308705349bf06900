#include "analysis/CLPageExtractor.h"

#include <gtest/gtest.h>

namespace harvexa::test {
namespace {

using Links = std::vector<std::string>;

struct Found {
    Links internal;
    Links external;
};

Found LinksOf(const std::string& page, const std::string& url) {
    CLPageExtractor extractor;
    extractor.SetPageText(page);
    extractor.ExtractLinks(url, false);
    return {extractor.InternalLinkList(), extractor.ExternalLinkList()};
}

struct Case {
    const char* name;
    std::string page;
    std::string url;
    Links internal;
    Links external;
};

TEST(LinkExtractionTest, ResolvesAndClassifiesLinks) {
    const Case cases[] = {
        {"same site", "<a href=\"http://h1/x.htm\">", "http://h1/y.htm", {"http://h1/x.htm"}, {}},
        {"other site", "<a href=\"http://h1/x.htm\">", "http://h2/", {}, {"http://h1/x.htm"}},
        {"relative forms",
         "<img src=x><a href=\"/img/a.gif\">a</a><a href='b.htm'>b</a><A HREF=\"../b.htm\">c</A>",
         "http://h1/d/p.htm",
         {"http://h1/img/a.gif", "http://h1/d/b.htm", "http://h1/b.htm"},
         {}},
        {"unquoted with target",
         "<a href=page.htm TARGET=_blank>x</a>",
         "http://h1/d/p.htm",
         {"http://h1/d/page.htm"},
         {}},
        {"mail, fragment and empty values",
         "<a href=\"mailto:a@b.com\">m</a><a href=\"MAILTO:x@y.com\">n</a><a href=\"#top\">t</a><a "
         "href=\"\">e</a>",
         "http://h1/",
         {},
         {}},
        {"redirect", "<a href=\"http://h1/go?u=http://h2/\">r</a>", "http://h1/", {}, {"http://h2/"}},
        {"session suffix, fragment and trailing dot",
         "<a href=\"x.htm;jsessionid=1\">a</a><a href=\"x.htm#s\">b</a><a href=\"y.htm.\">c</a>",
         "http://h1/d/p.htm",
         {"http://h1/d/x.htm", "http://h1/d/y.htm"},
         {}},
        {"meta refresh and ordinary links",
         "<meta http-equiv=\"refresh\" content=\"0; URL=http://h2/\"><a href=\"a.htm\">a</a>",
         "http://h1/",
         {"http://h1/a.htm"},
         {"http://h2/"}},
        {"frameset gives only sources",
         "<frameset><frame src=\"top.htm\"><frame src=\"main.htm\"></frameset><img src=\"i.gif\">"
         "<a href=\"x.htm\">x</a>",
         "http://h1/",
         {"http://h1/top.htm", "http://h1/main.htm", "http://h1/i.gif"},
         {}},
        {"repeats in any letter case",
         "<a href=\"http://h1/A.htm\">1</a><a href=\"http://h1/a.htm\">2</a><a "
         "href=\"HTTP://H1/A.HTM\">3</a>",
         "http://h1/",
         {"http://h1/A.htm"},
         {}},
        {"no \"=\" within the window",
         "<a href" + std::string(600, ' ') + "=\"x.htm\">",
         "http://h1/",
         {},
         {}},
        {"words inside longer words",
         "<link hreflang=\"pt\" href=\"a.css\">",
         "http://h1/",
         {"http://h1/pt", "http://h1/a.css"},
         {}},
        {"scheme relative to https", "<a href=\"https://h1/s\">s</a>", "http://h1/", {}, {"https://h1/s"}},
        {"accented letters kept",
         "<a href=\"p\xC3\xA1gina.htm\">",
         "http://h1/",
         {"http://h1/p\xC3\xA1gina.htm"},
         {}},
    };
    for (const Case& c : cases) {
        const Found found = LinksOf(c.page, c.url);
        EXPECT_EQ(found.internal, c.internal) << c.name;
        EXPECT_EQ(found.external, c.external) << c.name;
    }
}

TEST(LinkExtractionTest, AValueEndsAtTheWindowOfFiveHundredCharacters) {
    // The window starts at "href"; the value runs from the "=" (4th character) up to the window's
    // last character, which is not taken: 495 characters, quote included.
    const std::string page = "<a href=\"http://h1/" + std::string(1000, 'a') + "\">";
    const Found found = LinksOf(page, "http://h1/");
    ASSERT_EQ(found.internal.size(), 1u);
    EXPECT_EQ(found.internal[0], "http://h1/" + std::string(483, 'a'));
}

TEST(LinkExtractionTest, TheAbortFlagStopsTheScan) {
    std::atomic<bool> abort{true};
    CLPageExtractor extractor;
    extractor.SetAbortFlag(&abort);
    extractor.SetPageText("<a href=\"a.htm\">a</a><a href=\"b.htm\">b</a>");
    extractor.ExtractLinks("http://h1/", false);
    EXPECT_TRUE(extractor.InternalLinkList().empty());
    abort = false;
    extractor.ExtractLinks("http://h1/", false);
    EXPECT_EQ(extractor.InternalLinkList(), (Links{"http://h1/a.htm", "http://h1/b.htm"}));
}

} // namespace
} // namespace harvexa::test
