#include "analysis/PageDataJson.h"

#include <gtest/gtest.h>

namespace harvexa::test {
namespace {

TEST(PageDataJsonTest, EscapesWhatJsonCannotHoldAsItIs) {
    EXPECT_EQ(JsonString("a\"b\\c"), "\"a\\\"b\\\\c\"");
    EXPECT_EQ(JsonString("line\r\n\tend"), "\"line\\r\\n\\tend\"");
    EXPECT_EQ(JsonString(std::string("nul\0\x01\x7F", 6)), "\"nul\\u0000\\u0001\\u007f\"");
    EXPECT_EQ(JsonString("S\xC3\xA3o"), "\"S\xC3\xA3o\"");
    EXPECT_EQ(JsonString("bad\xFF"), "\"bad\xEF\xBF\xBD\"") << "not UTF-8: replaced";
}

TEST(PageDataJsonTest, WritesEveryField) {
    EntPageData page;
    page.Url = "http://h1/";
    page.Title = "T\r\n";
    page.Emails = {"a@b.com", "c@d.com"};
    page.InternalLinks = {"http://h1/x"};
    EXPECT_EQ(PageDataToJson(page), "{\n"
                                    "  \"url\": \"http://h1/\",\n"
                                    "  \"title\": \"T\\r\\n\",\n"
                                    "  \"description\": \"\",\n"
                                    "  \"keywords\": \"\",\n"
                                    "  \"emails\": [\n    \"a@b.com\",\n    \"c@d.com\"\n  ],\n"
                                    "  \"phones\": [],\n"
                                    "  \"faxes\": [],\n"
                                    "  \"internal_links\": [\n    \"http://h1/x\"\n  ],\n"
                                    "  \"external_links\": []\n"
                                    "}\n");
}

} // namespace
} // namespace harvexa::test
