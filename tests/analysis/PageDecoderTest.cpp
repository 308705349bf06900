#include "analysis/PageDecoder.h"

#include <gtest/gtest.h>

namespace harvexa::test {
namespace {

TEST(PageDecoderTest, DecodesByTheFirstCharsetFound) {
    struct Case {
        const char* name;
        std::string bytes;
        std::string contentType;
        std::string text;
    };
    const std::string latin1Meta =
        "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=iso-8859-1\">";
    const Case cases[] = {
        {"undeclared UTF-8", "caf\xC3\xA9", "", "caf\xC3\xA9"},
        {"undeclared Windows-1252", "caf\xE9 \x80", "text/html", "caf\xC3\xA9 \xE2\x82\xAC"},
        {"header charset, Latin-1 read as Windows-1252", "\x80 \xE9", "text/html; charset=ISO-8859-1",
         "\xE2\x82\xAC \xC3\xA9"},
        {"quoted header charset", "\xE9", "text/html;charset=\"windows-1252\"", "\xC3\xA9"},
        {"meta charset", "<meta charset=\"iso-8859-1\"><p>\xE9", "",
         "<meta charset=\"iso-8859-1\"><p>\xC3\xA9"},
        {"http-equiv declaration", latin1Meta + "\xE9", "", latin1Meta + "\xC3\xA9"},
        {"header wins over markup", "<meta charset=\"iso-8859-1\">\xC3\xA9", "text/html; charset=utf-8",
         "<meta charset=\"iso-8859-1\">\xC3\xA9"},
        {"declared UTF-8 with a bad byte",
         "a\xFF"
         "b",
         "text/html; charset=utf-8",
         "a\xEF\xBF\xBD"
         "b"},
        {"other charsets through iconv", "\x82\xA0", "text/html; charset=Shift_JIS", "\xE3\x81\x82"},
        {"unknown charset falls back", "caf\xE9", "text/html; charset=x-no-such-thing", "caf\xC3\xA9"},
        {"UTF-8 byte-order mark", "\xEF\xBB\xBFok", "text/html; charset=iso-8859-1", "ok"},
        {"UTF-16 byte-order mark", std::string("\xFF\xFEo\0k\0", 6), "", "ok"},
        {"meta claiming UTF-16", "<meta charset=\"utf-16\">\xC3\xA9", "",
         "<meta charset=\"utf-16\">\xC3\xA9"},
        {"NUL bytes stay", std::string("a\0b", 3), "", std::string("a\0b", 3)},
        {"empty page", "", "", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PageDecoder::Decode(c.bytes, c.contentType), c.text) << c.name;
}

TEST(PageDecoderTest, ReadsDeclarationsOnlyInTheFirst2KiB) {
    const std::string late = std::string(2100, ' ') + "<meta charset=\"utf-8\">\xE9";
    EXPECT_EQ(PageDecoder::CharsetFromMarkup(late), "");
    EXPECT_EQ(PageDecoder::Decode(late).back(), '\xA9') << "sniffed as Windows-1252";
}

TEST(PageDecoderTest, RecognisesOnlyValidUtf8) {
    struct Case {
        std::string bytes;
        bool valid;
    };
    const Case cases[] = {
        {"plain", true},
        {"\xF0\x9F\x98\x80", true},
        {"\xC0\xAF", false},         // overlong
        {"\xED\xA0\x80", false},     // surrogate
        {"\xF4\x90\x80\x80", false}, // beyond U+10FFFF
        {"\xE4\xB8", false},         // cut short
        {"\x80", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PageDecoder::IsValidUtf8(c.bytes), c.valid) << c.bytes;
}

} // namespace
} // namespace harvexa::test
