#pragma once

#include <string>

namespace harvexa {

// The fields of a search engine that result-page harvesting reads; named as the engine record's fields.
struct ResultEngineMarkers final {
    std::string begin_search_text;
    std::string end_search_text;
    std::string tag_busca_link;
    std::string must_not_have; // text of lines
};

} // namespace harvexa
