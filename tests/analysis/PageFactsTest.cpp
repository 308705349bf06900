#include "analysis/CLPageExtractor.h"
#include "analysis/PhoneKeywordFiles.h"
#include "support/FixedKeywords.h"
#include "support/TempAppFolder.h"

#include <gtest/gtest.h>

namespace harvexa::test {
namespace {

using Lines = std::vector<std::string>;

std::string TitleOf(const std::string& page) {
    CLPageExtractor extractor;
    extractor.SetPageText(page);
    const auto facts = extractor.Extract("http://h1/", false, true, false, false, false);
    return facts ? facts->Title : "<none>";
}

TEST(ExtractTitleTest, TakesTheTextAfterTheFirstTitleTag) {
    struct Case {
        std::string page;
        std::string title;
    };
    const Case cases[] = {
        {"<TITLE>Acme Ltd</TITLE>", "Acme Ltd\r\n"},
        {"<title>Acme &amp; Co</title>", "Acme &amp; Co\r\n"},
        {"<title>Acme<b>x</b>", "Acme\r\n"},
        {"<title>No close\nmore<p>", "No close\r\nmore\r\n"},
        {"<title>first</title><title>second</title>", "first\r\n"},
        {"<html>no title</html>", ""},
        {"<title></title>", ""},
        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TitleOf(c.page), c.title) << c.page;
}

TEST(MetaContentTest, ReadsTheValueBetweenQuoteAndTagEnd) {
    struct Case {
        std::string tag;
        std::string value;
    };
    const Case cases[] = {
        {"<meta name=\"description\" content=\"Hello\">", "Hello"},
        {"<META NAME=\"Description\" CONTENT=\"Ol\xC3\xA1\">", "Ol\xC3\xA1"},
        {"<meta name=\"keywords\" content =\"k1, k2\">", "k1, k2"},
        {"<meta name=\"description\">", ""},
        {"<meta name=\"description\" content=\"x\" />", "x\" "},
        {"<meta content=\">", ""},
        {"<meta name=description content=Hello>", "ell"}, // the layout assumes quotes
        {"<meta content=\xC3\xA9\"x\">", "\"x"},          // the "quote" is one character
        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CLPageExtractor::MetaContent(c.tag), c.value) << c.tag;
}

TEST(ExtractMetaTest, TheLastMatchingTagWins) {
    struct Case {
        const char* name;
        std::string page;
        std::string description;
        std::string keywords;
    };
    const Case cases[] = {
        {"both kinds",
         "<meta name=\"description\" content=\"About us\"><meta name=\"keywords\" content=\"a, b\">",
         "About us\r\n", "a, b\r\n"},
        {"second description",
         "<meta name=\"description\" content=\"one\"><meta name=\"description\" content=\"two\">", "two\r\n",
         ""},
        {"later tag without content",
         "<meta name=\"description\" content=\"one\"><meta name=\"description\">", "", ""},
        {"description wins in one tag", "<meta name=\"description\" content=\"best keywords\">",
         "best keywords\r\n", ""},
        {"no closing bracket", "<meta name=\"description\" content=\"x\"", "", ""},
        {"line break in the value", "<meta name=\"description\" content=\"line1\nline2\">",
         "line1\r\nline2\r\n", ""},
        {"other meta tags", "<meta charset=\"utf-8\"><meta name=\"viewport\" content=\"w\">", "", ""},
    };
    for (const Case& c : cases) {
        CLPageExtractor extractor;
        extractor.SetPageText(c.page);
        const auto facts = extractor.Extract("http://h1/", false, false, false, true, false);
        ASSERT_TRUE(facts) << c.name;
        EXPECT_EQ(facts->Description, c.description) << c.name;
        EXPECT_EQ(facts->Keywords, c.keywords) << c.name;
    }
}

struct PhoneFacts {
    Lines phones;
    Lines faxes;
};

PhoneFacts PhonesOf(const std::string& page, PhoneKeywordLists keywords) {
    const FixedKeywords source(std::move(keywords));
    CLPageExtractor extractor;
    extractor.SetPhoneKeywordSource(&source);
    extractor.SetPageText(page);
    const auto facts = extractor.Extract("http://h1/", false, false, false, false, true);
    return facts ? PhoneFacts{facts->Phones, facts->Faxes} : PhoneFacts{{"<none>"}, {"<none>"}};
}

TEST(ExtractPhonesTest, TakesNumbersRightAfterTheLabels) {
    struct Case {
        const char* name;
        std::string page;
        PhoneKeywordLists keywords;
        Lines phones;
        Lines faxes;
    };
    const std::string digits(150, '7');
    const Case cases[] = {
        {"dot after the label", "Tel.: (11) 5555-1234 or ...", {{"TEL"}, {}}, {"TEL: .(11)5555-1234 "}, {}},
        {"letter after the label", "Telefone 5555-1234", {{"TEL"}, {}}, {}, {}},
        {"too short", "TEL 12-34 x", {{"TEL"}, {}}, {}, {}},
        {"two entries",
         "Tel: (11) 5555-1234 and Fone: 5555-4321 end",
         {{"TEL", "FONE"}, {}},
         {"TEL: (11)5555-1234 / FONE: 5555-4321 "},
         {}},
        {"listed in both files",
         "Fax: 5555-9999 x",
         {{"FAX"}, {"FAX"}},
         {},
         {"FAX: 5555-9999 / FAX: 5555-9999 "}},
        {"phone label holding a fax label",
         "Telefax 5555-0000 x",
         {{"TELEFAX"}, {"FAX"}},
         {},
         {"TELEFAX: 5555-0000 / FAX: 5555-0000 "}},
        {"empty lines change nothing", "Tel 5555-1234", {{"", "TEL", ""}, {""}}, {"TEL: 5555-1234 "}, {}},
        {"labels are upper-cased", "tel 5555-1234", {{"tel"}, {}}, {"TEL: 5555-1234 "}, {}},
        {"blanks belong to the label",
         "Tel:5555-1234 Tel 5555-9876",
         {{"TEL "}, {}},
         {"TEL : 5555-9876 "},
         {}},
        {"the window holds 100 characters",
         "TEL " + digits,
         {{"TEL"}, {}},
         {"TEL: " + digits.substr(0, 96) + " "},
         {}},
    };
    for (const Case& c : cases) {
        const PhoneFacts found = PhonesOf(c.page, c.keywords);
        EXPECT_EQ(found.phones, c.phones) << c.name;
        EXPECT_EQ(found.faxes, c.faxes) << c.name;
    }
}

TEST(ExtractPhonesTest, CleansAndClassifiesNumbers) {
    struct Case {
        const char* text;
        const char* number;
    };
    const Case cases[] = {
        {" 5555-1234 ", "5555-1234"},
        {"(11) 5555:1234", "(11)55551234"},
        {"12-34", ""},
        {"123456", "123456"},
        {"12345", ""},
        {" : . / ( ", ""},
        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CLPageExtractor::CleanPhoneNumber(c.text), c.number) << c.text;
    EXPECT_TRUE(CLPageExtractor::IsFaxKeyword("TELEFAX", {"FAX"}));
    EXPECT_TRUE(CLPageExtractor::IsFaxKeyword("FAX", {"  FAX  "}));
    EXPECT_FALSE(CLPageExtractor::IsFaxKeyword("TEL", {"FAX"}));
    EXPECT_FALSE(CLPageExtractor::IsFaxKeyword("TEL", {"", "   "}));
}

TEST(PhoneKeywordFilesTest, ReadsBothFilesOfTheFolder) {
    const TempAppFolder folder(TempAppFolder::Contents::Empty);
    folder.WriteFile("config/phones.txt", "Tel\r\n\r\nT\xC9L\nFone");
    folder.WriteFile("config/fax.txt", "Fax\r\n");
    const PhoneKeywordFiles files(folder.File("config"));
    const auto lists = files.Read();
    ASSERT_TRUE(lists);
    EXPECT_EQ(lists->Phones, (Lines{"Tel", "", "T\xC3\x89L", "Fone"})) << "Windows-1252 text becomes UTF-8";
    EXPECT_EQ(lists->Faxes, (Lines{"Fax"}));
}

TEST(PhoneKeywordFilesTest, AMissingFileMakesEveryPageYieldNoRecord) {
    const TempAppFolder folder(TempAppFolder::Contents::Empty);
    folder.WriteFile("config/phones.txt", "Tel\r\n");
    const PhoneKeywordFiles files(folder.File("config"));
    EXPECT_FALSE(files.Read());
    CLPageExtractor extractor;
    extractor.SetPhoneKeywordSource(&files);
    extractor.SetPageText("<title>x</title> Tel 5555-1234");
    EXPECT_FALSE(extractor.Extract("http://h1/", true, true, true, true, true));
    EXPECT_TRUE(extractor.Extract("http://h1/", true, true, true, true, false)) << "without phone capture";
}

} // namespace
} // namespace harvexa::test
