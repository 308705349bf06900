#pragma once

#include "core/tables/DateTime.h"
#include "research/EntLackSites.h"

#include <optional>
#include <string>

namespace harvexa {

// One research (extraction job). Stored fields come in the order of the table tbResearch; list fields
// hold one entry per line.
struct EntResearch final {
    enum Type : int { Keywords = 0, SiteList = 1 };
    enum Step : int { New = 0, UnderWay = 2, Finished = 3 };

    int id_research = 0;
    int research_type = Keywords;
    std::string search_site_list; // engine ids (keywords) or start addresses (site list)
    std::string keywords;
    std::string capture_list;
    int follow_indoor_links = 0;
    int follow_external_links = 0;
    std::string url_must_have;
    std::string url_must_not_have;
    std::string email_must_not_have;
    std::string site_must_have;
    std::string site_must_not_have;
    std::string domains;
    std::string short_name;
    std::string research_description;
    std::string research_list_sites;
    DateTime creation_date;
    DateTime begin_date;
    DateTime end_date;
    int research_step = New;
    std::string email_must_have;
    std::string research_summary;
    std::string binary_files;
    int qtd_quebra = 0;
    std::string tipo_arquivo;
    bool exigir_valid_domains = false;
    bool parar_email = false;
    int maximo_links = 0;

    // Run-time only, never stored.
    int ActiveWorkers = 0;
    // The queue of pending links, in order; absent until a run or a load with the queue creates it.
    std::optional<PendingLinkList> PendingLinks;

    bool operator==(const EntResearch&) const = default;
};

} // namespace harvexa
