#include "engines/CLSearchPageSeeder.h"

#include "analysis/TextScan.h"
#include "core/CLLang.h"
#include "engines/CLSearchQueryBuilder.h"
#include "engines/NegSearchEngine.h"

#include <charconv>
#include <unordered_set>

namespace harvexa {

namespace {

std::optional<int> ParseEngineId(std::string_view line) {
    int id = 0;
    const auto [end, error] = std::from_chars(line.data(), line.data() + line.size(), id);
    if (error != std::errc() || end != line.data() + line.size())
        return std::nullopt;
    return id;
}

// Remembers URLs ignoring letter case.
class SeenUrls final {
public:
    bool Insert(std::string_view url) { return m_urls.insert(analysis::LowerCopy(url)).second; }

private:
    std::unordered_set<std::string> m_urls;
};

} // namespace

CLSearchPageSeeder::CLSearchPageSeeder(NegSearchEngine& engines, CLLang& lang)
    : m_engines(engines)
    , m_lang(lang) {}

CollectedTemplates CLSearchPageSeeder::CollectQueryTemplates(std::string_view engineIds) {
    CollectedTemplates collected;
    for (const std::string& line : analysis::SplitLines(engineIds)) {
        const std::string_view trimmed = analysis::TrimBlanks(line);
        if (trimmed.empty())
            continue;
        const std::optional<int> id = ParseEngineId(trimmed);
        if (!id) {
            collected.invalidEngineLine = line;
            return collected;
        }
        const std::optional<EntSearchEngine> engine = m_engines.ReadEngine(*id);
        if (!engine)
            continue;
        for (const EntSearchQuery& query : engine->Queries) {
            if (!query.ativo)
                continue;
            for (const std::string& templateLine : analysis::SplitLines(query.search_query)) {
                if (!analysis::TrimBlanks(templateLine).empty())
                    collected.templates.push_back(templateLine);
            }
        }
    }
    return collected;
}

SearchSeedResult CLSearchPageSeeder::SeedSearchPages(const EntResearch& research) {
    SearchSeedResult result;
    const std::vector<std::string> keywords = analysis::SplitLines(research.keywords);
    const CollectedTemplates collected = CollectQueryTemplates(research.search_site_list);
    if (collected.invalidEngineLine) {
        // Nothing is built from a list that cannot be read whole.
        result.failure = "The search engine list of the research holds \"" + *collected.invalidEngineLine +
                         "\", which is not a search engine id.";
        return result;
    }

    SeenUrls seen;
    if (research.PendingLinks) {
        for (const EntLackSites& link : *research.PendingLinks)
            seen.Insert(link.lack_sites);
    }
    const CLSearchQueryBuilder builder(m_lang.ReadSetting("Search_Key_Name"));
    for (const std::string& queryTemplate : collected.templates) {
        // The engine that writes the keyword is the one the template's address names.
        const std::optional<EntSearchEngine> engine = m_engines.FindEngineByUrl(queryTemplate);
        if (!engine) {
            result.engineMissing = true;
            result.statusMessage = m_lang.ReadText(5000, 47);
            continue;
        }
        for (const std::string& keyword : keywords) {
            std::string url = builder.SearchUrl(queryTemplate, keyword, *engine);
            if (seen.Insert(url))
                result.links.emplace_back(0, research.id_research, kSearchResultLevel, kSearchResultPage,
                                          std::move(url));
        }
    }
    return result;
}

} // namespace harvexa
