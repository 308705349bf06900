#include "data/NegData.h"

#include <gtest/gtest.h>

namespace harvexa {
namespace {

struct RowsCase {
    const char* name;
    EntPageData page;
    std::vector<EntData> expected;
};

EntData Row(std::string url, std::string email, std::string title = {}, std::string description = {},
            std::string keywords = {}, std::string fone = {}, std::string fax = {}) {
    EntData row;
    row.url = std::move(url);
    row.email = std::move(email);
    row.title = std::move(title);
    row.meta_tag_description = std::move(description);
    row.meta_tag_keywords = std::move(keywords);
    row.fone = std::move(fone);
    row.fax = std::move(fax);
    return row;
}

std::vector<RowsCase> Cases() {
    std::vector<RowsCase> cases;
    {
        EntPageData page;
        page.Url = "http://a.example/";
        page.Title = "Acme\r\n";
        page.Emails = {"x@a.example", "y@a.example"};
        cases.push_back({"TwoAddressesAndTitle",
                         page,
                         {Row("http://a.example/", "x@a.example", "Acme"),
                          Row("http://a.example/", "y@a.example", "Acme")}});
    }
    {
        EntPageData page;
        page.Url = "http://a.example/";
        page.ExternalLinks = {"http://b.example/", "http://c.example/"};
        cases.push_back(
            {"OnlyUrlStandsForItsExternalLinks",
             page,
             {Row("http://a.example/", ""), Row("http://b.example/", ""), Row("http://c.example/", "")}});
    }
    {
        EntPageData page;
        page.Url = "http://a.example/";
        page.Title = "Acme";
        page.ExternalLinks = {"http://b.example/"};
        cases.push_back({"UrlAndTitleGiveOneRow", page, {Row("http://a.example/", "", "Acme")}});
    }
    {
        EntPageData page;
        page.Phones = {"+351 21 000 0000"};
        page.Faxes = {"+351 21 000 0001"};
        cases.push_back({"OnlyPhonesWithoutUrlGiveNothing", page, {}});
    }
    {
        EntPageData page;
        page.Url = "http://a.example/";
        page.Phones = {"Tel 1", "Tel 2"};
        page.ExternalLinks = {"http://b.example/"};
        cases.push_back({"PhonesKeepExternalLinksOut",
                         page,
                         {Row("http://a.example/", "", "", "", "", "Tel 1\r\nTel 2")}});
    }
    {
        EntPageData page;
        page.Url = "http://a.example/";
        page.Faxes = {"Fax 1"};
        page.ExternalLinks = {"http://b.example/"};
        cases.push_back({"FaxIsNotLookedAtForExternalLinks",
                         page,
                         {Row("http://a.example/", "", "", "", "", "", "Fax 1"),
                          Row("http://b.example/", "", "", "", "", "", "Fax 1")}});
    }
    {
        EntPageData page;
        page.Emails = {"x@a.example"};
        cases.push_back({"AddressWithoutAnythingElse", page, {Row("", "x@a.example")}});
    }
    {
        EntPageData page;
        page.Url = " http://a.example/ ";
        page.Description = "\r\n  Hotels in Lisbon \r\n";
        page.Keywords = " hotel, lisbon\r\n";
        page.Emails = {"x@a.example"};
        cases.push_back(
            {"ValuesTrimmedExceptUrl",
             page,
             {Row(" http://a.example/ ", "x@a.example", "", "Hotels in Lisbon", "hotel, lisbon")}});
    }
    return cases;
}

class RowsOfPageTest : public ::testing::TestWithParam<RowsCase> {};

TEST_P(RowsOfPageTest, RowsMatch) {
    EXPECT_EQ(NegData::RowsOfPage(GetParam().page), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Pages, RowsOfPageTest, ::testing::ValuesIn(Cases()),
                         [](const ::testing::TestParamInfo<RowsCase>& info) { return info.param.name; });

} // namespace
} // namespace harvexa
