#pragma once

#include "engines/EntSearchEngine.h"

#include <string>
#include <string_view>

namespace harvexa {

// Turns a keyword and a query template into a search URL: the keyword is encoded by the engine's
// keyword format, its blanks and quotes are written the engine's way, and it replaces the first
// placeholder of the lower-cased template.
class CLSearchQueryBuilder final {
public:
    // `placeholder` is the setting "Search_Key_Name"; it is found in a template ignoring letter case.
    explicit CLSearchQueryBuilder(std::string placeholder);

    // The accented letters of the keyword encodings become "%C3%xx" (their UTF-8 bytes, capital hex
    // digits); every double quote becomes "%22".
    static std::string EncodeUtf8Percent(std::string_view keyword);
    // The accented letters become "%" and the two small hex digits of their Latin-1 code.
    static std::string EncodeLatin1Percent(std::string_view keyword);
    // By `tipo_keyword_format`: 1 EncodeUtf8Percent, 2 EncodeLatin1Percent, anything else unchanged.
    static std::string EncodeKeyword(std::string_view keyword, int keywordFormat);

    // The URL for an already encoded keyword. The keyword is trimmed, its blanks become the engine's
    // union_statement and its double quotes its quote_statement; the rest of the URL is lower case.
    std::string BuildSearchUrl(std::string_view queryTemplate, std::string_view encodedKeyword,
                               const EntSearchEngine& engine) const;
    // EncodeKeyword, then BuildSearchUrl.
    std::string SearchUrl(std::string_view queryTemplate, std::string_view keyword,
                          const EntSearchEngine& engine) const;

    const std::string& Placeholder() const { return m_placeholder; }

private:
    std::string m_placeholder;
};

} // namespace harvexa
