#include "engines/EntSearchEngine.h"

namespace harvexa {

EntSearchEngine::EntSearchEngine(int id, int keywordFormat, std::string name, std::string unionText,
                                 std::string quoteText, std::string beginText, std::string endText,
                                 std::string identificationText, std::string linkTag, std::string mustNotHave,
                                 std::vector<EntSearchQuery> queries)
    : id_search_engines(id)
    , union_statement(std::move(unionText))
    , begin_search_text(std::move(beginText))
    , quote_statement(std::move(quoteText))
    , search_engine_name(std::move(name))
    , end_search_text(std::move(endText))
    , Queries(std::move(queries))
    , texto_identificacao(std::move(identificationText))
    , must_not_have(std::move(mustNotHave))
    , tag_busca_link(std::move(linkTag))
    , tipo_keyword_format(keywordFormat) {}

} // namespace harvexa
