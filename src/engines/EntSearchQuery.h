#pragma once

#include <string>

namespace harvexa {

// One query template of a search engine: a URL holding the search-key placeholder.
struct EntSearchQuery final {
    bool ativo = true;
    int id_search_query = 0;
    std::string query_search_name;
    std::string search_query;
    int id_search_engines = 0;

    EntSearchQuery() = default;
    EntSearchQuery(int queryId, int engineId, std::string query, std::string name, bool active)
        : ativo(active)
        , id_search_query(queryId)
        , query_search_name(std::move(name))
        , search_query(std::move(query))
        , id_search_engines(engineId) {}

    bool operator==(const EntSearchQuery&) const = default;
};

} // namespace harvexa
