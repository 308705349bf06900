#include "core/tables/TableDefinitions.h"

#include <gtest/gtest.h>

namespace harvexa {
namespace {

// "name:type[width][!]" per field, "!" for required.
std::string Describe(const TableDef& table) {
    std::string out;
    for (const FieldDef& field : table.Fields()) {
        if (!out.empty())
            out += ' ';
        out += field.name + ':';
        switch (field.type) {
        case FieldType::Integer:
            out += "int";
            break;
        case FieldType::SmallInt:
            out += "small";
            break;
        case FieldType::Boolean:
            out += "bool";
            break;
        case FieldType::DateTime:
            out += "date";
            break;
        case FieldType::Text:
            out += "text" + std::to_string(field.width);
            break;
        case FieldType::Memo:
            out += "memo";
            break;
        }
        if (field.required)
            out += '!';
    }
    return out;
}

std::string DescribeIndexes(const TableDef& table) {
    std::string out;
    for (const IndexDef& index : table.Indexes())
        out += index.name + (index.descending ? "(" + index.field + " desc) " : "(" + index.field + ") ");
    return out;
}

TEST(TableDefinitions, PersistentTablesHaveTheirFieldsInStoredOrder) {
    struct Case {
        const TableDef& table;
        const char* file;
        const char* fields;
    };
    const Case cases[] = {
        {ResearchTableDef(), "tbResearch.xml",
         "id_research:int! research_type:small search_site_list:memo keywords:memo capture_list:memo "
         "follow_indoor_links:small follow_external_links:small url_must_have:memo url_must_not_have:memo "
         "email_must_not_have:memo site_must_have:memo site_must_not_have:memo domains:memo "
         "short_name:text64 "
         "research_description:text255 research_list_sites:memo creation_date:date begin_date:date "
         "end_date:date "
         "research_step:small email_must_have:memo research_summary:memo binary_files:memo qtd_quebra:int "
         "tipo_arquivo:text5 exigir_valid_domains:bool parar_email:bool maximo_links:int"},
        {GeneratorTableDef(), "tbGenerator.xml", "index:int"},
        {SearchEnginesTableDef(), "tbSearchEngines.xml",
         "id_search_engines:int! search_engine_name:text64 union_statement:text8 quote_statement:text8 "
         "begin_search_text:text128 end_search_text:text128 must_not_have:memo tag_busca_link:text32 "
         "texto_identificacao:text32 tipo_keyword_format:small"},
        {DataTableDef(), "tbData.xml",
         "id_data:int! url_internal:memo url_external:memo url:memo email:memo title:text255 "
         "meta_tag_description:memo meta_tag_keywords:memo id_research:int"},
        {SearchQueryTableDef(), "tbSearchQuery.xml",
         "id_search_query:int search_query:memo id_search_engines:int query_search_name:text32 ativo:bool!"},
        {LackSitesTableDef(), "tbLackSites.xml",
         "id_lack_sites:int lack_sites:memo id_research:int! nivel:int tipo_lack_site:int"},
        {DataExportTableDef(), "",
         "url:text1500 email:text128 title:text512 meta_tag_description:text1024 meta_tag_keywords:text1024 "
         "fone:text255 fax:text255 id_data_export:int url_base:memo id_research:int"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.table.Name());
        EXPECT_EQ(c.table.FileName(), c.file);
        EXPECT_EQ(Describe(c.table), c.fields);
    }
}

TEST(TableDefinitions, IndexesOfResearchAndWorkbenchTables) {
    EXPECT_EQ(
        DescribeIndexes(ResearchTableDef()),
        "research_step(research_step) research_stepDesc(research_step desc) creation_date(creation_date) "
        "creation_dateDesc(creation_date desc) short_name(short_name) short_nameDesc(short_name desc) "
        "research_type(research_type) research_typeDesc(research_type desc) end_date(end_date) "
        "end_dateDesc(end_date desc) ");
    EXPECT_EQ(
        DescribeIndexes(DataExportTableDef()),
        "url(url) url_desc(url desc) email(email) email_desc(email desc) title(title) title_desc(title desc) "
        "meta_tag_description(meta_tag_description) meta_tag_description_desc(meta_tag_description desc) "
        "meta_tag_keywords(meta_tag_keywords) meta_tag_keywords_desc(meta_tag_keywords desc) fone(fone) "
        "fone_desc(fone desc) fax_desc(fax desc) fax(fax) ");
}

TEST(TableDefinitions, DisplayLabels) {
    const char* labels[] = {"URL", "E-mail", "Título", "Meta description", "Meta Keywords", "Fone", "Fax",
                            "",    "",       ""};
    for (std::size_t i = 0; i < DataExportTableDef().FieldCount(); ++i)
        EXPECT_EQ(DataExportTableDef().Field(i).displayLabel, labels[i]) << i;
    EXPECT_EQ(LackSitesTableDef().Field(*LackSitesTableDef().FieldIndex("tipo_lack_site")).displayLabel,
              "Tipo do Link");
}

TEST(TableDefinitions, NamesMatchIgnoringCase) {
    EXPECT_EQ(ResearchTableDef().FieldIndex("ID_Research"), 0u);
    EXPECT_EQ(ResearchTableDef().FieldIndex("MAXIMO_LINKS"), 27u);
    EXPECT_FALSE(ResearchTableDef().FieldIndex("id_researc").has_value());
    ASSERT_NE(ResearchTableDef().FindIndex("SHORT_NAMEDESC"), nullptr);
    EXPECT_TRUE(ResearchTableDef().FindIndex("SHORT_NAMEDESC")->descending);
    EXPECT_EQ(PersistentTableForFile("/some/folder/TBRESEARCH.XML"), &ResearchTableDef());
    EXPECT_EQ(PersistentTableForFile("/some/folder/other.xml"), nullptr);
}

TEST(TableDefinitions, CreationAndBackupOrders) {
    std::string creation, backup;
    for (const TableDef* table : PersistentTablesInCreationOrder())
        creation += table->Name() + " ";
    for (const TableDef* table : PersistentTablesInBackupOrder())
        backup += table->Name() + " ";
    EXPECT_EQ(creation, "tbResearch tbGenerator tbSearchEngines tbData tbSearchQuery tbLackSites ");
    EXPECT_EQ(backup, "tbData tbGenerator tbLackSites tbResearch tbSearchEngines tbSearchQuery ");
}

} // namespace
} // namespace harvexa
