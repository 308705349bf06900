#include "analysis/Utf8Chars.h"

#include <cstdint>
#include <cstring>

namespace harvexa::analysis {

std::size_t PrevChar(std::string_view text, std::size_t pos) {
    // The nearest byte that can start a character, at most four bytes back; when its character does
    // not end at pos, the byte before pos is a stray continuation byte.
    const std::size_t lowest = pos >= 4 ? pos - 4 : 0;
    std::size_t start = pos - 1;
    while (start > lowest && IsContinuationByte(static_cast<unsigned char>(text[start])))
        --start;
    if (!IsContinuationByte(static_cast<unsigned char>(text[start])) && NextChar(text, start) == pos)
        return start;
    return pos - 1;
}

std::size_t AdvanceCharsSlow(std::string_view text, std::size_t pos, std::size_t count) {
    while (count > 0 && pos < text.size()) {
        pos = NextChar(text, pos);
        --count;
    }
    return pos;
}

namespace {

bool AllAscii(const char* begin, std::size_t length) {
    std::size_t index = 0;
    for (; index + 8 <= length; index += 8) {
        std::uint64_t word;
        std::memcpy(&word, begin + index, 8);
        if (word & 0x8080808080808080ULL)
            return false;
    }
    for (; index < length; ++index)
        if (static_cast<unsigned char>(begin[index]) >= 0x80)
            return false;
    return true;
}

} // namespace

std::size_t WindowLast(std::string_view text, std::size_t pos, std::size_t chars) {
    const std::size_t asciiEnd = pos + chars < text.size() ? pos + chars : text.size();
    if (AllAscii(text.data() + pos, asciiEnd - pos)) {
        // Fewer than `chars` ASCII bytes remain only at the end of the text.
        if (asciiEnd - pos == chars || asciiEnd == text.size())
            return asciiEnd - 1;
    }
    std::size_t last = pos;
    std::size_t current = pos;
    for (std::size_t counted = 0; counted < chars && current < text.size(); ++counted) {
        last = current;
        current = NextChar(text, current);
    }
    return last;
}

std::size_t CharCount(std::string_view text) {
    std::size_t count = 0;
    for (std::size_t pos = 0; pos < text.size(); pos = NextChar(text, pos))
        ++count;
    return count;
}

std::string_view FirstChars(std::string_view text, std::size_t chars) {
    return text.substr(0, AdvanceChars(text, 0, chars));
}

} // namespace harvexa::analysis
