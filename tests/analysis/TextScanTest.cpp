#include "analysis/TextScan.h"

#include <gtest/gtest.h>
#include <random>

namespace harvexa::test {
namespace {

using namespace analysis;

TEST(TextScanTest, SplitsLinesAsAStringListDoes) {
    struct Case {
        std::string text;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"", {}},
        {"a", {"a"}},
        {"a\r\nb", {"a", "b"}},
        {"a\r\n", {"a"}},
        {"\r\n", {""}},
        {"a\rb\nc", {"a", "b", "c"}},
        {"a\n\rb", {"a", "", "b"}},
        {"a\r\rb", {"a", "", "b"}},
        {"a\r\n\r\nb", {"a", "", "b"}},
        {std::string("a\0b", 3), {std::string("a\0b", 3)}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SplitLines(c.text), c.lines) << c.text;
        EXPECT_EQ(NormaliseLineEnds(c.text), JoinLines(c.lines)) << c.text;
    }
}

TEST(TextScanTest, ReplacesLeftToRightWithoutRescanning) {
    EXPECT_EQ(ReplaceAll("aaa", "aa", "b"), "ba");
    EXPECT_EQ(ReplaceAll("///", "//", "/"), "//");
    EXPECT_EQ(ReplaceAllIgnoreCase("&AMP;amp;", "&amp;", "&"), "&amp;");
    EXPECT_EQ(ReplaceAllIgnoreCase("Target TARGET", "target", "#"), "# #");
    EXPECT_EQ(ReplaceAll("abc", "", "x"), "abc") << "an empty pattern is never found";
}

TEST(TextScanTest, FoldsAsciiLettersOnly) {
    EXPECT_EQ(UpperCopy("aé\xC3\xA9z"), "Aé\xC3\xA9Z");
    EXPECT_EQ(FindIgnoreCase("xxTÉL", "tél"), npos) << "É and é are different letters here";
    EXPECT_EQ(FindIgnoreCase("xxTéL", "tél"), 2u);
    EXPECT_EQ(TrimBlanks("  a b  "), "a b");
    EXPECT_EQ(TrimBlanks("\ta "), "\ta");
}

// The block searches against a plain loop, on texts long enough for every block width.
TEST(TextScanTest, FindIgnoreCaseAgreesWithAPlainSearch) {
    std::mt19937 random(11);
    const std::string alphabet = "aAbB<>@=hHrReEfF\xC3\xA9 ";
    for (int round = 0; round < 3000; ++round) {
        std::string text(random() % 400, ' ');
        for (char& c : text)
            c = alphabet[random() % alphabet.size()];
        std::string needle(1 + random() % 6, ' ');
        for (char& c : needle)
            c = alphabet[random() % alphabet.size()];
        const std::size_t from = text.empty() ? 0 : random() % (text.size() + 1);
        const std::size_t expected = UpperCopy(text).find(UpperCopy(needle), from);
        ASSERT_EQ(FindIgnoreCase(text, needle, from), expected == std::string::npos ? npos : expected)
            << "round " << round;
        ASSERT_EQ(Find(text, needle, from), text.find(needle, from)) << "round " << round;
    }
}

} // namespace
} // namespace harvexa::test
