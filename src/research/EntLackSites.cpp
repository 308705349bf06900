#include "research/EntLackSites.h"

#include <utility>

namespace harvexa {

EntLackSites::EntLackSites(int idLackSites, int idResearch, int level, int kind, std::string url)
    : id_lack_sites(idLackSites)
    , id_research(idResearch)
    , lack_sites(std::move(url))
    , nivel(level)
    , tipo_lack_site(kind) {}

} // namespace harvexa
