#include "analysis/UrlHelpers.h"

#include <gtest/gtest.h>

namespace harvexa::test {
namespace {

struct Case {
    const char* input;
    const char* expected;
};

// Raw values as the link scan collects them: from the "=" up to, not including, the closing quote.
TEST(CleanLinkTest, CleansRawAttributeValues) {
    const Case cases[] = {
        {"=\"http://h1/x.htm", "http://h1/x.htm"},
        {"=page.htm TARGET=_blank", "page.htm"}, // a following attribute of an unquoted value
        {"=page.htm class=nav", "page.htm"},
        {"=\"mailto:john@x.com", ""},
        {"=\"MailTo:john@x.com", ""},
        {"=\"#top", ""},
        {"=\"", ""},
        {"=", ""},
        {"=\"http://h1/go?u=http://h2/", "http://h2/"}, // a redirect gives its inner address
        {"=\"x.htm;jsessionid=1", "x.htm"},
        {"=\"x.htm#s", "x.htm"},
        {"=\"page.", "page"},
        {"=\"...", ""},
        {"=\"../b.htm", "/b.htm"}, // a parent folder becomes the site root
        {"=\"/url?q=http://h2/&amp;sa=U", "http://h2/&sa=U"},
        {"=\"x.php?a=1&AMP;b=2", "x.php?a=1&b=2"},
        {"=HTTP%3A%2F%2Fh1%2Fx", "HTTP://h1/x"},
        {"=\"a//b//c", "a/b/c"},             // doubled slashes collapse without a scheme
        {"=\"http://h1//a", "http://h1//a"}, // ...but not in an absolute address
        {"= \"a b.htm", "ab.htm"},
        {"=\"http://h1/targets.htm", "http://h1/"}, // the words are found inside longer words
        {"=\"www.h3.com/x.", "www.h3.com/x"},
        {"=\"http://h1/p\xC3\xA1gina.htm", "http://h1/p\xC3\xA1gina.htm"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CleanLink(c.input), c.expected) << c.input;
}

TEST(SiteRootTest, TakesSchemeAndHostLowerCased) {
    const Case cases[] = {
        {"HTTP://H1/Dir", "http://h1/"},
        {"h1/x", "h1/x"},
        {"https://a.b:8080/x/y", "https://a.b:8080/"},
        {"http://h1", "http://h1/"},
        {"see https://H2/y?u=http://h3/z", "http://h3/"}, // "http://" is looked for first, anywhere
        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SiteRoot(c.input), c.expected) << c.input;
}

TEST(PageFolderTest, EndsWithTheFolderOfThePage) {
    const Case cases[] = {
        {"http://h1/d/page.htm", "http://h1/d/"},
        {"http://h1/d", "http://h1/d/"},
        {"http://h1", "http://h1/"},
        {"http://h1.com", "http://h1.com/"},
        {"http://h1/d/", "http://h1/d/"},
        {"http://h1/a.b/c", "http://h1/a.b/c/"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PageFolder(c.input), c.expected) << c.input;
}

TEST(TrimToLastSlashTest, RemovesUpToFiveHundredCharacters) {
    const Case cases[] = {
        {"http://h1/d/page.htm", "http://h1/d/"},
        {"http://h1/d/", "http://h1/d/"},
        {"c:\\x\\b.txt", "c:\\x\\"},
        {"abc", ""},
        {"/\xC3\xA9\xC3\xA9", "/"},
        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TrimToLastSlash(c.input), c.expected) << c.input;
    EXPECT_EQ(TrimToLastSlash(std::string(600, 'x')), std::string(100, 'x'));
    std::string accented = "z";
    for (int i = 0; i < 500; ++i)
        accented += "\xC3\xA9";
    EXPECT_EQ(TrimToLastSlash(accented), "z") << "characters, not bytes, are counted";
}

TEST(IsExternalLinkTest, ComparesSiteRoots) {
    struct External {
        const char* link;
        bool external;
    };
    const External cases[] = {
        {"http://h1/x.htm", false}, {"http://H1/x", false},   {"http://h2/", true}, {"https://h1/", true},
        {"http://h1:8080/", true},  {"http://www.h1/", true}, {"/x.htm", false},    {"x.htm", false},
    };
    for (const External& c : cases)
        EXPECT_EQ(IsExternalLink("http://h1/", c.link), c.external) << c.link;
    EXPECT_FALSE(IsExternalLink("h1/", "h1/x")) << "without a scheme nothing is external";
}

} // namespace
} // namespace harvexa::test
