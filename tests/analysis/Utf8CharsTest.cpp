#include "analysis/Utf8Chars.h"

#include <gtest/gtest.h>
#include <random>
#include <string>

namespace harvexa::test {
namespace {

using namespace analysis;

TEST(Utf8CharsTest, StepsOverWholeCharacters) {
    const std::string text = "a\xC3\xA9\xE4\xB8\xAD\xF0\x9F\x98\x80z"; // a é 中 😀 z
    EXPECT_EQ(NextChar(text, 0), 1u);
    EXPECT_EQ(NextChar(text, 1), 3u);
    EXPECT_EQ(NextChar(text, 3), 6u);
    EXPECT_EQ(NextChar(text, 6), 10u);
    EXPECT_EQ(CharCount(text), 5u);
    EXPECT_EQ(AdvanceChars(text, 0, 3), 6u);
    EXPECT_EQ(AdvanceChars(text, 0, 99), text.size());
    EXPECT_EQ(PrevChar(text, 10), 6u);
    EXPECT_EQ(PrevChar(text, 6), 3u);
    EXPECT_EQ(FirstChars(text, 2), "a\xC3\xA9");
}

TEST(Utf8CharsTest, InvalidBytesAreCharactersOfTheirOwn) {
    // A stray continuation byte, a lead byte cut short by ASCII, a lead byte at the end.
    const std::string text = "\x80"
                             "a\xC3"
                             "b\xE4\xB8";
    EXPECT_EQ(NextChar(text, 0), 1u);
    EXPECT_EQ(NextChar(text, 2), 3u) << "a lead byte absorbs continuation bytes only";
    EXPECT_EQ(NextChar(text, 4), 6u) << "a truncated sequence ends with the text";
    EXPECT_EQ(CharCount(text), 5u);
    // Three continuation bytes after a two-byte lead: the lead takes one, the others stand alone.
    const std::string extra = "\xC3\x87\x87\x87";
    EXPECT_EQ(NextChar(extra, 0), 2u);
    EXPECT_EQ(CharCount(extra), 3u);
    EXPECT_EQ(PrevChar(extra, 4), 3u);
    EXPECT_EQ(PrevChar(extra, 2), 0u);
}

TEST(Utf8CharsTest, PrevCharUndoesNextCharOnAnyBytes) {
    std::mt19937 random(5);
    for (int round = 0; round < 2000; ++round) {
        std::string bytes(1 + random() % 40, '\0');
        for (char& c : bytes)
            c = static_cast<char>(random() % 4 == 0 ? 0x80 + random() % 64 : random() % 256);
        for (std::size_t pos = 0; pos < bytes.size(); pos = NextChar(bytes, pos))
            ASSERT_EQ(PrevChar(bytes, NextChar(bytes, pos)), pos) << round;
    }
}

TEST(Utf8CharsTest, WindowLastIsTheStartOfTheWindowsLastCharacter) {
    const std::string ascii(1000, 'x');
    EXPECT_EQ(WindowLast(ascii, 0, 500), 499u);
    EXPECT_EQ(WindowLast(ascii, 700, 500), 999u) << "fewer characters at the end of the text";
    std::string accented;
    for (int i = 0; i < 600; ++i)
        accented += "\xC3\xA9";
    EXPECT_EQ(WindowLast(accented, 0, 500), 998u);
    EXPECT_EQ(WindowLast(accented, 2, 1), 2u);
    const std::string mixed = std::string(499, 'x') + "\xE4\xB8\xAD" + "yz";
    EXPECT_EQ(WindowLast(mixed, 0, 500), 499u);
    EXPECT_EQ(WindowLast(mixed, 1, 500), 502u);
}

} // namespace
} // namespace harvexa::test
