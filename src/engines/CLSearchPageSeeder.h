#pragma once

#include "engines/CollectedTemplates.h"
#include "engines/SearchSeedResult.h"
#include "research/EntResearch.h"

#include <string_view>

namespace harvexa {

class CLLang;
class NegSearchEngine;

// Builds the search-result pages a keyword research starts from: one search URL per keyword for
// every active query template of every engine chosen for the research. Runs on the user-interface
// thread (the engine lookups may show error boxes).
class CLSearchPageSeeder final {
public:
    CLSearchPageSeeder(NegSearchEngine& engines, CLLang& lang);

    // The pending links for `research` (its keywords and engine ids in search_site_list). The
    // research is not changed: the controller appends the links to its queue, empties
    // research_list_sites and saves the research.
    [[nodiscard]] SearchSeedResult SeedSearchPages(const EntResearch& research);

    // The templates of the engines whose ids `engineIds` lists one per line, engine by engine in that
    // order and each engine's queries in stored order, active queries only. A template holding line
    // breaks gives one template per line; blank lines are passed over. An id without an engine gives
    // nothing.
    [[nodiscard]] CollectedTemplates CollectQueryTemplates(std::string_view engineIds);

private:
    NegSearchEngine& m_engines;
    CLLang& m_lang;
};

} // namespace harvexa
