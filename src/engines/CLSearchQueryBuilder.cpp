#include "engines/CLSearchQueryBuilder.h"

#include "analysis/TextScan.h"

#include <algorithm>
#include <array>
#include <utility>

namespace harvexa {

namespace {

// The accented letters of the keyword encodings, by their Latin-1 codes: small, then capital.
// á é í ó ú ä ë ï ö ü à è ì ò ù â ê î ô û ã õ ç and their capitals.
constexpr std::array<unsigned char, 46> kAccentedLetters = {
    0xE1, 0xE9, 0xED, 0xF3, 0xFA, 0xE4, 0xEB, 0xEF, 0xF6, 0xFC, 0xE0, 0xE8, 0xEC, 0xF2, 0xF9, 0xE2,
    0xEA, 0xEE, 0xF4, 0xFB, 0xE3, 0xF5, 0xE7, 0xC1, 0xC9, 0xCD, 0xD3, 0xDA, 0xC4, 0xCB, 0xCF, 0xD6,
    0xDC, 0xC0, 0xC8, 0xCC, 0xD2, 0xD9, 0xC2, 0xCA, 0xCE, 0xD4, 0xDB, 0xC3, 0xD5, 0xC7};

constexpr char kUpperHex[] = "0123456789ABCDEF";
constexpr char kLowerHex[] = "0123456789abcdef";

bool IsAccentedLetter(unsigned char latin1) {
    return std::find(kAccentedLetters.begin(), kAccentedLetters.end(), latin1) != kAccentedLetters.end();
}

void AppendPercent(std::string& out, unsigned char byte, const char* digits) {
    out += '%';
    out += digits[byte >> 4];
    out += digits[byte & 0x0F];
}

// Calls `letter(code)` for each accented letter of the table (a two-byte UTF-8 sequence C3 xx, code
// U+00C0..U+00FF) and `other(byte)` for every other byte; so multi-byte characters outside the
// table, and bytes that are not UTF-8, pass through whole.
template <typename Letter, typename Other>
std::string MapAccentedLetters(std::string_view text, Letter letter, Other other) {
    std::string out;
    out.reserve(text.size() + text.size() / 2);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte == 0xC3 && i + 1 < text.size()) {
            const auto next = static_cast<unsigned char>(text[i + 1]);
            if (next >= 0x80 && next <= 0xBF && IsAccentedLetter(static_cast<unsigned char>(next + 0x40))) {
                letter(out, static_cast<unsigned char>(next + 0x40));
                ++i;
                continue;
            }
        }
        other(out, text[i]);
    }
    return out;
}

// Strips blanks and control characters at both ends.
std::string_view TrimKeyword(std::string_view text) {
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && static_cast<unsigned char>(text[begin]) <= ' ')
        ++begin;
    while (end > begin && static_cast<unsigned char>(text[end - 1]) <= ' ')
        --end;
    return text.substr(begin, end - begin);
}

} // namespace

CLSearchQueryBuilder::CLSearchQueryBuilder(std::string placeholder)
    : m_placeholder(std::move(placeholder)) {}

std::string CLSearchQueryBuilder::EncodeUtf8Percent(std::string_view keyword) {
    return MapAccentedLetters(
        keyword,
        [](std::string& out, unsigned char code) {
            out += "%C3";
            AppendPercent(out, static_cast<unsigned char>(code - 0x40), kUpperHex);
        },
        [](std::string& out, char c) {
            if (c == '"')
                out += "%22";
            else
                out += c;
        });
}

std::string CLSearchQueryBuilder::EncodeLatin1Percent(std::string_view keyword) {
    return MapAccentedLetters(
        keyword, [](std::string& out, unsigned char code) { AppendPercent(out, code, kLowerHex); },
        [](std::string& out, char c) { out += c; });
}

std::string CLSearchQueryBuilder::EncodeKeyword(std::string_view keyword, int keywordFormat) {
    switch (keywordFormat) {
    case EntSearchEngine::Utf8Percent:
        return EncodeUtf8Percent(keyword);
    case EntSearchEngine::Latin1Percent:
        return EncodeLatin1Percent(keyword);
    default:
        return std::string(keyword);
    }
}

std::string CLSearchQueryBuilder::BuildSearchUrl(std::string_view queryTemplate,
                                                 std::string_view encodedKeyword,
                                                 const EntSearchEngine& engine) const {
    std::string keyword = analysis::ReplaceAll(TrimKeyword(encodedKeyword), " ", engine.union_statement);
    keyword = analysis::ReplaceAll(keyword, "\"", engine.quote_statement);
    std::string url = analysis::LowerCopy(queryTemplate);
    // Only the first placeholder is replaced; a template without one stays as it is.
    if (const std::size_t at = analysis::FindIgnoreCase(url, m_placeholder); at != analysis::npos)
        url.replace(at, m_placeholder.size(), keyword);
    return url;
}

std::string CLSearchQueryBuilder::SearchUrl(std::string_view queryTemplate, std::string_view keyword,
                                            const EntSearchEngine& engine) const {
    return BuildSearchUrl(queryTemplate, EncodeKeyword(keyword, engine.tipo_keyword_format), engine);
}

} // namespace harvexa
