#include "analysis/CLPageExtractor.h"

#include <gtest/gtest.h>

namespace harvexa::test {
namespace {

using Emails = std::vector<std::string>;

TEST(ValidateEmailTest, CleansAndJudgesCandidates) {
    struct Case {
        std::string candidate;
        std::string cleaned;
        bool valid;
    };
    const Case cases[] = {
        {"john@x.com", "john@x.com", true},
        {"john@x.com.", "john@x.com", true},
        {"john@x.com:", "john@x.com", true},
        {"john@x.com;", "john@x.com", true},
        {"a=john@x.com", "john@x.com", true},
        {"a=b=john@x.com", "bjohn@x.com", true}, // what follows the first "=", every other "=" removed
        {"\"john\" @x.com", "john@x.com", true},
        {"john..doe@x.com", "john..doe@x.com", false},
        {"john.@x.com", "john.@x.com", false},
        {"john@.x.com", "john@.x.com", false},
        {"john@@x.com", "john@@x.com", false},
        {"john@x", "john@x", false},
        {"john.doe@x", "john.doe@x", false},
        {".john@x.com", ".john@x.com", false},
        {"@x.com", "@x.com", false},
        {"john@", "john@", false},
        {"@", "@", false},
        {"jo\x7Fn@x.com", "jo\x7Fn@x.com", false},
        {"a@b.c", "a@b.c", true},
        {"a@b.", "a@b", false},
        {"ab@c", "ab@c", false},
        {"\xC3\xA9@b.c", "\xC3\xA9@b.c", true}, // five characters, six bytes
        {"\xC3\xA9@b", "\xC3\xA9@b", false},
        {"john@x.com\tnext", "john@x.com\tnext", true}, // a tab stays
        {"x=abc.com", "abc.com", true},                 // no test that an "@" is left
        {"", "", false},
    };
    for (const Case& c : cases) {
        std::string candidate = c.candidate;
        EXPECT_EQ(CLPageExtractor::ValidateEmail(candidate), c.valid) << c.candidate;
        EXPECT_EQ(candidate, c.cleaned) << c.candidate;
    }
}

TEST(ValidateEmailTest, RefusesAddressesLongerThan254Bytes) {
    std::string longest = std::string(246, 'a') + "@x.com.br"; // 255 bytes
    std::string fits = longest.substr(1);
    EXPECT_FALSE(CLPageExtractor::ValidateEmail(longest));
    EXPECT_TRUE(CLPageExtractor::ValidateEmail(fits));
}

Emails EmailsOf(const std::string& page, const std::string& repeated = "1") {
    CLPageExtractor extractor;
    extractor.SetRepeatedEmails(repeated);
    extractor.SetPageText(page);
    extractor.ExtractEmails();
    return extractor.EmailList();
}

TEST(EmailExtractionTest, FindsAddressesBetweenDelimiters) {
    struct Case {
        const char* name;
        std::string page;
        Emails expected;
    };
    const Case cases[] = {
        {"only @ first", "@x.com is not an address", {}},
        {"mail link", "<a href=\"mailto:john@x.com\">write</a>", {"john@x.com"}},
        {"sentence end", "Write to john@x.com. Thanks", {"john@x.com"}},
        {"colon and semicolon", "a john@x.com: b ann@y.org;", {"john@x.com", "ann@y.org"}},
        {"query string", "http://h/p?email=john@x.com&x=1", {"john@x.com"}},
        {"cedilla ends",
         "fa\xC3\xA7"
         "ade@x.com and \xC3\x87"
         "x@y.com",
         {"ade@x.com", "x@y.com"}},
        {"acute accent ends", "x\xC2\xB4john@x.com", {"john@x.com"}},
        {"other accents do not", "jos\xC3\xA9@x.com", {"jos\xC3\xA9@x.com"}},
        {"tab does not", "john@x.com\tnext", {"john@x.com\tnext"}},
        {"@ at both ends", "@abc@", {}},
        // The head up to two characters after each "@" goes, so the next candidate starts there.
        {"two @ in one run", "a@b.cd@e.fg", {"a@b.cd@e.fg", "cd@e.fg"}},
        {"second @ right after the first", "ab@@cd@e.fg", {"d@e.fg"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(EmailsOf(c.page), c.expected) << c.name;
}

TEST(EmailExtractionTest, RepeatedEmailsSettingDecidesRepeatsAndOrder) {
    const std::string page = "B@x.com a@x.com A@X.COM b@x.com";
    EXPECT_EQ(EmailsOf(page, "1"), (Emails{"B@x.com", "a@x.com", "A@X.COM", "b@x.com"}));
    EXPECT_EQ(EmailsOf(page, "0"), (Emails{"a@x.com", "B@x.com"})) << "sorted, the first of each kept";
    EXPECT_EQ(EmailsOf(page, ""), EmailsOf(page, "1")) << "only \"0\" switches repeats off";
}

TEST(EmailExtractionTest, TheAbortFlagStopsTheStep) {
    std::atomic<bool> abort{true};
    CLPageExtractor extractor;
    extractor.SetAbortFlag(&abort);
    extractor.SetPageText("john@x.com");
    extractor.ExtractEmails();
    EXPECT_TRUE(extractor.EmailList().empty());
}

} // namespace
} // namespace harvexa::test
