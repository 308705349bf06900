#pragma once

#include <string>
#include <vector>

namespace harvexa {

// tipo_lack_site values.
inline constexpr int kInternalLink = 0;
inline constexpr int kExternalLink = 1;
inline constexpr int kSearchResultPage = 2;

// Level of a search-result page; the sites it lists are queued one level deeper, at 0.
inline constexpr int kSearchResultLevel = -1;

// One pending link of a research's queue.
struct EntLackSites final {
    EntLackSites() = default;
    // The designed order of the values: id, research, level, kind, URL.
    EntLackSites(int idLackSites, int idResearch, int level, int kind, std::string url);

    int id_lack_sites = 0;
    int id_research = 0;
    std::string lack_sites; // the URL as found, not trimmed
    int nivel = 0;
    int tipo_lack_site = kInternalLink;

    bool operator==(const EntLackSites&) const = default;
};

using PendingLinkList = std::vector<EntLackSites>;

} // namespace harvexa
