// Bad input never crashes or hangs the analysis; results stay within their bounds.
#include "analysis/CLFilter.h"
#include "analysis/CLPageExtractor.h"
#include "analysis/PageDecoder.h"
#include "support/FixedKeywords.h"
#include "support/PageGenerator.h"

#include <gtest/gtest.h>

namespace harvexa::test {
namespace {

const PhoneKeywordLists kKeywords{{"TEL", "FONE"}, {"FAX"}};

EntPageData AnalyseAll(const std::string& page, bool resultPage = false) {
    const FixedKeywords keywords(kKeywords);
    CLPageExtractor extractor;
    extractor.SetPhoneKeywordSource(&keywords);
    extractor.SetPageText(PageDecoder::Decode(page));
    if (resultPage) {
        extractor.SetResultPageMode(true);
        extractor.SetResultEngine(ResultEngineMarkers{"<", ">", "HREF", "x"});
    }
    auto facts = extractor.Extract("http://h1/d/p.htm", true, true, true, true, true);
    EXPECT_TRUE(facts);
    return facts ? std::move(*facts) : EntPageData{};
}

// A link is cut from a window of 500 characters (at most 4 bytes each) plus the folder it is resolved in.
void ExpectBoundedLinks(const EntPageData& facts) {
    for (const auto* list : {&facts.InternalLinks, &facts.ExternalLinks})
        for (const std::string& link : *list)
            EXPECT_LE(link.size(), 2000u + std::string("http://h1/d/").size());
    for (const std::string& email : facts.Emails)
        EXPECT_LE(email.size(), CLPageExtractor::kMaxEmailLength);
    EXPECT_TRUE(PageDecoder::IsValidUtf8(facts.Title + facts.Description + facts.Keywords));
}

TEST(RobustnessTest, EmptyBinaryAndInvalidPages) {
    PageGenerator generator(3);
    const std::string pages[] = {
        "",
        std::string(1, '\0'),
        std::string(4096, '\0'),
        generator.RandomBytes(1 << 20),
        "\xFF\xFE\xFD<title>\xC3</title>\x80\x80@\xC3\xA7@",
        std::string(1, '@').append(generator.TypicalPage(20000)).append(1, '@'),
        "@",
        "@@@@",
        "href=",
        "<title>",
        "<meta",
    };
    for (const std::string& page : pages) {
        ExpectBoundedLinks(AnalyseAll(page));
        ExpectBoundedLinks(AnalyseAll(page, true));
    }
}

TEST(RobustnessTest, InvalidUtf8GivenDirectlyIsAnalysedAsBytes) {
    PageGenerator generator(4);
    for (int round = 0; round < 50; ++round) {
        const FixedKeywords keywords(kKeywords);
        CLPageExtractor extractor;
        extractor.SetPhoneKeywordSource(&keywords);
        extractor.SetPageText(generator.RandomBytes(20000)); // not decoded first
        EXPECT_TRUE(extractor.Extract("http://h1/", true, true, true, true, true));
    }
}

TEST(RobustnessTest, TenMegabytesWithoutAnyAngleBracket) {
    // Every value runs to its window's end; each block holds one address and one phone entry.
    const std::string block = "text href=page1.htm more john@x.com TEL 5555-1234 and so on ";
    const std::string page = PageGenerator::Repeated(block, 10 * 1024 * 1024 / block.size() * block.size());
    const EntPageData facts = AnalyseAll(page);
    const std::size_t blocks = page.size() / block.size();
    EXPECT_EQ(facts.Emails.size(), blocks);
    // All windows but the last few hold the same text, so the same link.
    EXPECT_GE(facts.InternalLinks.size(), 1u);
    EXPECT_LE(facts.InternalLinks.size(), 1u + 500 / block.size() + 1);
    ASSERT_EQ(facts.Phones.size(), 1u);
    EXPECT_EQ(facts.Phones[0].size(), blocks * std::string("TEL: 5555-1234 / ").size() - 2);
    ExpectBoundedLinks(facts);
}

TEST(RobustnessTest, WorstCasePagesOfTenMegabytes) {
    for (const std::string fragment : {"href=", "@", "<meta", "TEL", "\"", "=@", "<title>"}) {
        const EntPageData facts = AnalyseAll(PageGenerator::Repeated(fragment, 10 * 1024 * 1024));
        ExpectBoundedLinks(facts);
        if (std::string(fragment) == "@") {
            EXPECT_TRUE(facts.Emails.empty());
        }
    }
}

TEST(RobustnessTest, ALinkOfOneHundredKilobytes) {
    const std::string page = "<a href=\"http://h1/" + std::string(100 * 1024, 'x') + "\">x</a> me@" +
                             std::string(100 * 1024, 'y') + ".com";
    const EntPageData facts = AnalyseAll(page);
    ASSERT_EQ(facts.InternalLinks.size(), 1u);
    EXPECT_EQ(facts.InternalLinks[0].size(), 493u);
    EXPECT_TRUE(facts.Emails.empty()) << "a 100 KB candidate is no address";
    ExpectBoundedLinks(facts);
}

TEST(RobustnessTest, FiltersTakeAnyText) {
    PageGenerator generator(8);
    LoggedEntrySet urls, emails;
    ResearchFilterLists lists;
    lists.url_must_not_have = "\xFF\r\n\xC3";
    lists.site_must_have = "&amp;";
    lists.binary_files = "\xE4\xB8\xAD";
    lists.exigir_valid_domains = true;
    lists.domains = std::string(1, '\0');
    CLFilter filter(nullptr, urls, emails);
    filter.SetResearch(&lists);
    for (int round = 0; round < 200; ++round) {
        const std::string text = generator.RandomBytes(3000);
        (void)filter.FilterUrl(text);
        filter.SetContent(text);
        (void)filter.FilterContent();
        (void)filter.FilterEmails(text);
        EXPECT_LE(CLFilter::DecodeEntities(text).size(), text.size()) << "every replacement is shorter";
    }
}

} // namespace
} // namespace harvexa::test
