#pragma once

#include "analysis/TextScan.h"

#include <array>
#include <cstring>
#include <string_view>

namespace harvexa::analysis {

// The first occurrence at or after a position, remembered: asked with positions that do not go back,
// all questions together cost one pass over the text. Any position may be asked; the answer is always exact.
class ScanCursor final {
public:
    // A cursor for one byte.
    ScanCursor(std::string_view text, char byte)
        : m_text(text)
        , m_byte(byte) {}
    // A cursor for a substring, ignoring ASCII letter case.
    ScanCursor(std::string_view text, std::string_view needle)
        : m_text(text)
        , m_needle(needle) {}
    // A cursor for any byte of a set.
    static ScanCursor AnyOf(std::string_view text, std::string_view bytes) {
        ScanCursor cursor(text, '\0');
        cursor.m_useSet = true;
        cursor.m_set.fill(false);
        for (const char c : bytes)
            cursor.m_set[static_cast<unsigned char>(c)] = true;
        return cursor;
    }

    std::size_t operator()(std::size_t from) {
        if (m_known && from >= m_from && from <= m_found)
            return m_found; // m_found == npos: nothing from m_from on
        m_known = true;
        m_from = from;
        m_found = Search(from);
        return m_found;
    }

private:
    std::size_t Search(std::size_t from) const {
        if (from >= m_text.size())
            return npos;
        if (m_useSet) {
            for (std::size_t pos = from; pos < m_text.size(); ++pos)
                if (m_set[static_cast<unsigned char>(m_text[pos])])
                    return pos;
            return npos;
        }
        if (!m_needle.empty())
            return FindIgnoreCase(m_text, m_needle, from);
        const void* hit = std::memchr(m_text.data() + from, m_byte, m_text.size() - from);
        return hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - m_text.data()) : npos;
    }

    std::string_view m_text;
    char m_byte = '\0';
    std::string_view m_needle;
    bool m_useSet = false;
    std::array<bool, 256> m_set{};
    bool m_known = false;
    std::size_t m_from = 0;
    std::size_t m_found = npos;
};

} // namespace harvexa::analysis
