#pragma once

#include <cstddef>
#include <string_view>

// Character stepping over UTF-8 text. The analysis counts windows and skips in characters, as it did
// when text was single-byte, so a multi-byte letter is never split. Every byte that is not a
// continuation byte starts a character; a lead byte absorbs at most the continuation bytes it
// declares, and a stray continuation byte is a character of its own. ASCII bytes are always
// characters of one byte, so ASCII markers found by a byte search are character positions.
namespace harvexa::analysis {

inline bool IsContinuationByte(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

// Start of the character after the one starting at pos (pos < text.size()).
inline std::size_t NextChar(std::string_view text, std::size_t pos) {
    const auto lead = static_cast<unsigned char>(text[pos]);
    if (lead < 0xC0)
        return pos + 1;
    const std::size_t declared = lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : lead < 0xF8 ? 4 : 1;
    std::size_t next = pos + 1;
    while (next < pos + declared && next < text.size() &&
           IsContinuationByte(static_cast<unsigned char>(text[next])))
        ++next;
    return next;
}

// Start of the character that ends at pos (0 < pos <= text.size(), pos a character boundary).
std::size_t PrevChar(std::string_view text, std::size_t pos);

std::size_t AdvanceCharsSlow(std::string_view text, std::size_t pos, std::size_t count);

// Moves count characters forward from pos; stops at the end of the text.
inline std::size_t AdvanceChars(std::string_view text, std::size_t pos, std::size_t count) {
    // Plain ASCII ahead: one byte per character.
    if (pos + count <= text.size()) {
        bool ascii = true;
        for (std::size_t i = pos; i < pos + count && ascii; ++i)
            ascii = static_cast<unsigned char>(text[i]) < 0x80;
        if (ascii)
            return pos + count;
    }
    return AdvanceCharsSlow(text, pos, count);
}

// Start of the last character of the window of `chars` characters that begins at pos
// (fewer at the end of the text). Requires pos < text.size() and chars > 0.
std::size_t WindowLast(std::string_view text, std::size_t pos, std::size_t chars);

// Number of characters in the text.
std::size_t CharCount(std::string_view text);

// The first `chars` characters of the text (all of it when shorter).
std::string_view FirstChars(std::string_view text, std::size_t chars);

} // namespace harvexa::analysis
