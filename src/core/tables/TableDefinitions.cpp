#include "core/tables/TableDefinitions.h"

namespace harvexa {

namespace {

FieldDef Int(std::string name, bool required = false) {
    return {std::move(name), FieldType::Integer, 0, required, {}};
}
FieldDef Small(std::string name) {
    return {std::move(name), FieldType::SmallInt, 0, false, {}};
}
FieldDef Bool(std::string name, bool required = false) {
    return {std::move(name), FieldType::Boolean, 0, required, {}};
}
FieldDef Date(std::string name) {
    return {std::move(name), FieldType::DateTime, 0, false, {}};
}
FieldDef Memo(std::string name) {
    return {std::move(name), FieldType::Memo, 0, false, {}};
}
FieldDef Text(std::string name, int width, std::string label = {}) {
    return {std::move(name), FieldType::Text, width, false, std::move(label)};
}

// An ascending index named after the field and a descending one with `descSuffix` appended.
void AddIndexPair(std::vector<IndexDef>& indexes, const std::string& field, const std::string& descSuffix) {
    indexes.push_back({field, field, false});
    indexes.push_back({field + descSuffix, field, true});
}

TableDef MakeResearch() {
    std::vector<FieldDef> fields = {
        Int("id_research", true),
        Small("research_type"),
        Memo("search_site_list"),
        Memo("keywords"),
        Memo("capture_list"),
        Small("follow_indoor_links"),
        Small("follow_external_links"),
        Memo("url_must_have"),
        Memo("url_must_not_have"),
        Memo("email_must_not_have"),
        Memo("site_must_have"),
        Memo("site_must_not_have"),
        Memo("domains"),
        Text("short_name", 64),
        Text("research_description", 255),
        Memo("research_list_sites"),
        Date("creation_date"),
        Date("begin_date"),
        Date("end_date"),
        Small("research_step"),
        Memo("email_must_have"),
        Memo("research_summary"),
        Memo("binary_files"),
        Int("qtd_quebra"),
        Text("tipo_arquivo", 5),
        Bool("exigir_valid_domains"),
        Bool("parar_email"),
        Int("maximo_links"),
    };
    std::vector<IndexDef> indexes;
    for (const char* field : {"research_step", "creation_date", "short_name", "research_type", "end_date"})
        AddIndexPair(indexes, field, "Desc");
    return TableDef("tbResearch", "tbResearch.xml", std::move(fields), std::move(indexes));
}

TableDef MakeGenerator() {
    return TableDef("tbGenerator", "tbGenerator.xml", {Int("index")});
}

TableDef MakeSearchEngines() {
    return TableDef("tbSearchEngines", "tbSearchEngines.xml",
                    {
                        Int("id_search_engines", true),
                        Text("search_engine_name", 64),
                        Text("union_statement", 8),
                        Text("quote_statement", 8),
                        Text("begin_search_text", 128),
                        Text("end_search_text", 128),
                        Memo("must_not_have"),
                        Text("tag_busca_link", 32),
                        Text("texto_identificacao", 32),
                        Small("tipo_keyword_format"),
                    });
}

TableDef MakeData() {
    return TableDef("tbData", "tbData.xml",
                    {
                        Int("id_data", true),
                        Memo("url_internal"),
                        Memo("url_external"),
                        Memo("url"),
                        Memo("email"),
                        Text("title", 255),
                        Memo("meta_tag_description"),
                        Memo("meta_tag_keywords"),
                        Int("id_research"),
                    });
}

TableDef MakeSearchQuery() {
    return TableDef("tbSearchQuery", "tbSearchQuery.xml",
                    {
                        Int("id_search_query"),
                        Memo("search_query"),
                        Int("id_search_engines"),
                        Text("query_search_name", 32),
                        Bool("ativo", true),
                    });
}

TableDef MakeLackSites() {
    FieldDef kind = Int("tipo_lack_site");
    kind.displayLabel = "Tipo do Link";
    return TableDef("tbLackSites", "tbLackSites.xml",
                    {
                        Int("id_lack_sites"),
                        Memo("lack_sites"),
                        Int("id_research", true),
                        Int("nivel"),
                        std::move(kind),
                    });
}

TableDef MakeDataExport() {
    std::vector<FieldDef> fields = {
        Text("url", 1500, "URL"),
        Text("email", 128, "E-mail"),
        Text("title", 512, "Título"),
        Text("meta_tag_description", 1024, "Meta description"),
        Text("meta_tag_keywords", 1024, "Meta Keywords"),
        Text("fone", 255, "Fone"),
        Text("fax", 255, "Fax"),
        Int("id_data_export"),
        Memo("url_base"),
        Int("id_research"),
    };
    std::vector<IndexDef> indexes;
    for (const char* field : {"url", "email", "title", "meta_tag_description", "meta_tag_keywords", "fone"})
        AddIndexPair(indexes, field, "_desc");
    indexes.push_back({"fax_desc", "fax", true});
    indexes.push_back({"fax", "fax", false});
    return TableDef("tbDataExport", {}, std::move(fields), std::move(indexes));
}

std::string_view LastComponent(std::string_view path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

} // namespace

const TableDef& ResearchTableDef() {
    static const TableDef def = MakeResearch();
    return def;
}

const TableDef& GeneratorTableDef() {
    static const TableDef def = MakeGenerator();
    return def;
}

const TableDef& SearchEnginesTableDef() {
    static const TableDef def = MakeSearchEngines();
    return def;
}

const TableDef& DataTableDef() {
    static const TableDef def = MakeData();
    return def;
}

const TableDef& SearchQueryTableDef() {
    static const TableDef def = MakeSearchQuery();
    return def;
}

const TableDef& LackSitesTableDef() {
    static const TableDef def = MakeLackSites();
    return def;
}

const TableDef& DataExportTableDef() {
    static const TableDef def = MakeDataExport();
    return def;
}

const std::array<const TableDef*, 6>& PersistentTablesInCreationOrder() {
    static const std::array<const TableDef*, 6> order = {&ResearchTableDef(),      &GeneratorTableDef(),
                                                         &SearchEnginesTableDef(), &DataTableDef(),
                                                         &SearchQueryTableDef(),   &LackSitesTableDef()};
    return order;
}

const std::array<const TableDef*, 6>& PersistentTablesInBackupOrder() {
    static const std::array<const TableDef*, 6> order = {&DataTableDef(),          &GeneratorTableDef(),
                                                         &LackSitesTableDef(),     &ResearchTableDef(),
                                                         &SearchEnginesTableDef(), &SearchQueryTableDef()};
    return order;
}

const TableDef* PersistentTableForFile(std::string_view path) {
    const std::string_view name = LastComponent(path);
    for (const TableDef* def : PersistentTablesInCreationOrder()) {
        if (SameNameIgnoringCase(def->FileName(), name))
            return def;
    }
    return nullptr;
}

} // namespace harvexa
