#include "core/TextEncoding.h"

#include <gtest/gtest.h>

namespace harvexa {
namespace {

TEST(TextEncoding, Utf8Validation) {
    struct Case {
        std::string bytes;
        bool valid;
    };
    for (const Case& c : {Case{"plain", true}, Case{"S\xc3\xa3o Paulo", true}, Case{"\xe2\x82\xac", true},
                          Case{"\xf0\x9f\x98\x80", true}, Case{"S\xe3o", false}, Case{"\xc0\xaf", false},
                          Case{"\xed\xa0\x80", false}, Case{"\xe2\x82", false}, Case{std::string("a\0b", 3), true}}) {
        EXPECT_EQ(IsValidUtf8(c.bytes), c.valid) << c.bytes;
    }
}

TEST(TextEncoding, Windows1252IsConverted) {
    EXPECT_EQ(Windows1252ToUtf8("S\xe3o \x80 \x93x\x94 \x81"), "S\xc3\xa3o \xe2\x82\xac \xe2\x80\x9cx\xe2\x80\x9d \xef\xbf\xbd");
    EXPECT_EQ(FileTextToUtf8("S\xc3\xa3o"), "S\xc3\xa3o");
    EXPECT_EQ(FileTextToUtf8("S\xe3o"), "S\xc3\xa3o");
}

} // namespace
} // namespace harvexa
