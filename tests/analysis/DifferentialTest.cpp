// The fast extractor against the literal delete-the-head procedures, on generated and random pages.
#include "analysis/CLPageExtractor.h"
#include "analysis/UrlHelpers.h"
#include "reference/LiteralExtractor.h"
#include "support/PageGenerator.h"

#include <gtest/gtest.h>
#include <iostream>

namespace harvexa::test {
namespace {

class FixedKeywords final : public PhoneKeywordSource {
public:
    explicit FixedKeywords(PhoneKeywordLists lists)
        : m_lists(std::move(lists)) {}
    std::optional<PhoneKeywordLists> Read() const override { return m_lists; }

private:
    PhoneKeywordLists m_lists;
};

struct RunSetup {
    std::string url;
    std::string repeatedEmails;
    PhoneKeywordLists keywords;
    bool resultPage = false;
    std::optional<ResultEngineMarkers> engine;
};

// Runs both extractors with every flag on and reports the first difference.
// What the random rounds found, to show that they exercise every step.
struct Found {
    std::size_t emails = 0, links = 0, phones = 0, titles = 0, metas = 0;
};

::testing::AssertionResult SameFacts(const std::string& page, const RunSetup& setup, Found* found = nullptr) {
    const FixedKeywords keywords(setup.keywords);
    CLPageExtractor fast;
    LiteralExtractor literal;
    fast.SetPageText(page);
    literal.SetPageText(page);
    if (fast.PageText() != literal.PageText())
        return ::testing::AssertionFailure() << "page texts differ";
    fast.SetRepeatedEmails(setup.repeatedEmails);
    literal.SetRepeatedEmails(setup.repeatedEmails);
    fast.SetPhoneKeywordSource(&keywords);
    literal.SetPhoneKeywordSource(&keywords);
    fast.SetResultPageMode(setup.resultPage);
    literal.SetResultPageMode(setup.resultPage);
    fast.SetResultEngine(setup.engine);
    literal.SetResultEngine(setup.engine);
    const auto expected = literal.Extract(setup.url, true, true, true, true, true);
    const auto actual = fast.Extract(setup.url, true, true, true, true, true);
    if (!expected || !actual)
        return ::testing::AssertionFailure() << "no record";
    if (found) {
        found->emails += expected->Emails.size();
        found->links += expected->InternalLinks.size() + expected->ExternalLinks.size();
        found->phones += expected->Phones.size() + expected->Faxes.size();
        found->titles += !expected->Title.empty();
        found->metas += !expected->Description.empty() + !expected->Keywords.empty();
    }
    const auto compareList = [](const char* name, const std::vector<std::string>& want,
                                const std::vector<std::string>& got) -> ::testing::AssertionResult {
        if (want == got)
            return ::testing::AssertionSuccess();
        auto failure = ::testing::AssertionFailure()
                       << name << " differ: literal " << want.size() << ", fast " << got.size();
        for (std::size_t i = 0; i < std::max(want.size(), got.size()); ++i) {
            const std::string w = i < want.size() ? want[i] : "<none>";
            const std::string g = i < got.size() ? got[i] : "<none>";
            if (w != g) {
                failure << "; first at " << i << ": [" << w << "] vs [" << g << "]";
                break;
            }
        }
        return failure;
    };
    for (auto result : {compareList("emails", expected->Emails, actual->Emails),
                        compareList("internal links", expected->InternalLinks, actual->InternalLinks),
                        compareList("external links", expected->ExternalLinks, actual->ExternalLinks),
                        compareList("phones", expected->Phones, actual->Phones),
                        compareList("faxes", expected->Faxes, actual->Faxes)})
        if (!result)
            return result;
    if (expected->Title != actual->Title)
        return ::testing::AssertionFailure()
               << "title [" << expected->Title << "] vs [" << actual->Title << "]";
    if (expected->Description != actual->Description)
        return ::testing::AssertionFailure()
               << "description [" << expected->Description << "] vs [" << actual->Description << "]";
    if (expected->Keywords != actual->Keywords)
        return ::testing::AssertionFailure()
               << "keywords [" << expected->Keywords << "] vs [" << actual->Keywords << "]";
    return ::testing::AssertionSuccess();
}

std::string Printable(const std::string& page) {
    std::string shown;
    for (const char c : page) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte < 0x7F && c != '\\') {
            shown.push_back(c);
        } else {
            static const char* hex = "0123456789ABCDEF";
            shown += "\\x";
            shown.push_back(hex[byte >> 4]);
            shown.push_back(hex[byte & 15]);
        }
    }
    return shown;
}

RunSetup RandomSetup(PageGenerator& generator) {
    RunSetup setup;
    setup.url = generator.RandomUrl();
    setup.repeatedEmails.assign(1, generator.Random()() % 2 ? '0' : '1');
    setup.keywords = generator.RandomKeywords();
    setup.resultPage = generator.Random()() % 4 == 0;
    if (generator.Random()() % 5 != 0)
        setup.engine = generator.RandomEngine();
    return setup;
}

TEST(DifferentialTest, RandomPagesGiveTheLiteralResults) {
    PageGenerator generator(20240611);
    Found found;
    for (int round = 0; round < 6000; ++round) {
        const std::string page = round % 5 == 0 ? generator.RandomBytes(600) : generator.RandomPage(2500);
        const RunSetup setup = RandomSetup(generator);
        ASSERT_TRUE(SameFacts(page, setup, &found))
            << "round " << round << " url " << setup.url << "\npage: " << Printable(page);
    }
    // The rounds must reach every step, or agreement would prove little.
    EXPECT_GT(found.emails, 2000u);
    EXPECT_GT(found.links, 10000u);
    EXPECT_GT(found.phones, 1000u);
    EXPECT_GT(found.titles, 300u);
    EXPECT_GT(found.metas, 300u);
    std::cout << "found " << found.emails << " e-mails, " << found.links << " links, " << found.phones
              << " phone texts, " << found.titles << " titles, " << found.metas << " meta values\n";
}

TEST(DifferentialTest, GeneratedPagesGiveTheLiteralResults) {
    PageGenerator generator(77);
    for (int round = 0; round < 300; ++round) {
        RunSetup setup;
        setup.url = round % 2 ? "http://www.acme.com/d/page.html" : "https://acme.com/";
        setup.repeatedEmails.assign(1, round % 3 == 0 ? '0' : '1');
        setup.keywords = PageGenerator::TypicalKeywords();
        std::string page;
        switch (round % 4) {
        case 0:
            page = generator.TypicalPage(4000 + (generator.Random()() % 30000));
            break;
        case 1:
            page = generator.PageWithoutCloseBracket(3000 + (generator.Random()() % 8000));
            break;
        case 2:
            page = generator.ResultPage(3000 + (generator.Random()() % 20000));
            setup.resultPage = true;
            setup.engine = PageGenerator::ResultEngine();
            break;
        default:
            page =
                PageGenerator::Repeated(round % 8 == 3 ? "href=" : "@", 1000 + (generator.Random()() % 3000));
        }
        ASSERT_TRUE(SameFacts(page, setup)) << "round " << round;
    }
}

TEST(DifferentialTest, MutatedTypicalPagesGiveTheLiteralResults) {
    PageGenerator generator(4242);
    for (int round = 0; round < 400; ++round) {
        std::string page = generator.TypicalPage(1500 + (generator.Random()() % 4000));
        // Splice random fragments into a realistic page.
        for (int cut = 0; cut < 12; ++cut) {
            const std::size_t at = generator.Random()() % (page.size() + 1);
            page.insert(at, generator.RandomFragmentText(3));
        }
        ASSERT_TRUE(SameFacts(page, RandomSetup(generator)))
            << "round " << round << "\npage: " << Printable(page);
    }
}

TEST(DifferentialTest, HelpersGiveTheLiteralResults) {
    PageGenerator generator(99);
    for (int round = 0; round < 30000; ++round) {
        const std::string text = generator.RandomFragmentText(10);
        ASSERT_EQ(LiteralExtractor::CleanLink(text), CleanLink(text)) << Printable(text);
        std::string literalCandidate = text, fastCandidate = text;
        const bool literalValid = LiteralExtractor::ValidateEmail(literalCandidate);
        const bool fastValid = CLPageExtractor::ValidateEmail(fastCandidate);
        ASSERT_EQ(literalValid, fastValid) << Printable(text);
        ASSERT_EQ(literalCandidate, fastCandidate) << Printable(text);
        ASSERT_EQ(LiteralExtractor::MetaContent(text), CLPageExtractor::MetaContent(text)) << Printable(text);
        ASSERT_EQ(LiteralExtractor::NormaliseLineEnds(text), [&] {
            CLPageExtractor extractor;
            extractor.SetPageText(text);
            return extractor.PageText();
        }()) << Printable(text);
    }
}

} // namespace
} // namespace harvexa::test
