#pragma once

#include "engines/EntSearchQuery.h"

#include <string>
#include <vector>

namespace harvexa {

// A search engine: how search URLs are written for it, how its result pages are read, and its query
// templates (owned).
struct EntSearchEngine final {
    enum KeywordFormat : int { NoEncoding = 0, Utf8Percent = 1, Latin1Percent = 2 };

    int id_search_engines = 0;
    std::string union_statement;   // replaces each blank between the words of a keyword
    std::string begin_search_text; // where the result section of a result page begins
    std::string quote_statement;   // replaces each double quote of a keyword
    std::string search_engine_name;
    std::string end_search_text; // where the result section ends
    std::vector<EntSearchQuery> Queries;
    std::string texto_identificacao; // identifies the engine inside a URL
    std::string must_not_have;       // lines; a result link containing one is dropped
    std::string tag_busca_link;      // a result link follows this text
    int tipo_keyword_format = NoEncoding;

    EntSearchEngine() = default;
    EntSearchEngine(int id, int keywordFormat, std::string name, std::string unionText, std::string quoteText,
                    std::string beginText, std::string endText, std::string identificationText,
                    std::string linkTag, std::string mustNotHave, std::vector<EntSearchQuery> queries = {});

    bool operator==(const EntSearchEngine&) const = default;
};

} // namespace harvexa
