#include "research/RepResearch.h"

#include "core/AtomicFile.h"
#include "core/CLLang.h"
#include "core/ProgressView.h"
#include "core/UserMessages.h"
#include "core/tables/CLConnection.h"
#include "core/tables/NegGenerator.h"
#include "core/tables/TableDefinitions.h"
#include "core/tables/TdtmInitialTables.h"
#include "research/IPendingLinkLoader.h"
#include "research/ResearchLinkFiles.h"

#include <filesystem>

namespace harvexa {

namespace {

constexpr const char* kIdField = "id_research";
constexpr const char* kShortNameField = "short_name";
// Matches no stored row: a new row is appended to an otherwise empty view.
constexpr int kNoResearch = -1;

EntResearch ReadResearch(const RowView& row) {
    EntResearch r;
    r.id_research = row.AsInteger("id_research");
    r.research_type = row.AsInteger("research_type");
    r.search_site_list = row.AsString("search_site_list");
    r.keywords = row.AsString("keywords");
    r.capture_list = row.AsString("capture_list");
    r.follow_indoor_links = row.AsInteger("follow_indoor_links");
    r.follow_external_links = row.AsInteger("follow_external_links");
    r.url_must_have = row.AsString("url_must_have");
    r.url_must_not_have = row.AsString("url_must_not_have");
    r.email_must_not_have = row.AsString("email_must_not_have");
    r.site_must_have = row.AsString("site_must_have");
    r.site_must_not_have = row.AsString("site_must_not_have");
    r.domains = row.AsString("domains");
    r.short_name = row.AsString("short_name");
    r.research_description = row.AsString("research_description");
    r.research_list_sites = row.AsString("research_list_sites");
    r.creation_date = row.AsDateTime("creation_date");
    r.begin_date = row.AsDateTime("begin_date");
    r.end_date = row.AsDateTime("end_date");
    r.research_step = row.AsInteger("research_step");
    r.email_must_have = row.AsString("email_must_have");
    r.research_summary = row.AsString("research_summary");
    r.binary_files = row.AsString("binary_files");
    r.qtd_quebra = row.AsInteger("qtd_quebra");
    r.tipo_arquivo = row.AsString("tipo_arquivo");
    r.exigir_valid_domains = row.AsBool("exigir_valid_domains");
    r.parar_email = row.AsBool("parar_email");
    r.maximo_links = row.AsInteger("maximo_links");
    return r;
}

// Assigns every stored field but the id to the row being appended or edited. A value that does not
// suit its field makes the following Post fail.
void WriteResearch(TableHandle& table, const EntResearch& r) {
    table.Field("research_type").SetInteger(r.research_type);
    table.Field("search_site_list").SetString(r.search_site_list);
    table.Field("keywords").SetString(r.keywords);
    table.Field("capture_list").SetString(r.capture_list);
    table.Field("follow_indoor_links").SetInteger(r.follow_indoor_links);
    table.Field("follow_external_links").SetInteger(r.follow_external_links);
    table.Field("url_must_have").SetString(r.url_must_have);
    table.Field("url_must_not_have").SetString(r.url_must_not_have);
    table.Field("email_must_not_have").SetString(r.email_must_not_have);
    table.Field("site_must_have").SetString(r.site_must_have);
    table.Field("site_must_not_have").SetString(r.site_must_not_have);
    table.Field("domains").SetString(r.domains);
    table.Field("short_name").SetString(r.short_name);
    table.Field("research_description").SetString(r.research_description);
    table.Field("research_list_sites").SetString(r.research_list_sites);
    table.Field("creation_date").SetDateTime(r.creation_date);
    table.Field("begin_date").SetDateTime(r.begin_date);
    table.Field("end_date").SetDateTime(r.end_date);
    table.Field("research_step").SetInteger(r.research_step);
    table.Field("email_must_have").SetString(r.email_must_have);
    table.Field("research_summary").SetString(r.research_summary);
    table.Field("binary_files").SetString(r.binary_files);
    table.Field("qtd_quebra").SetInteger(r.qtd_quebra);
    table.Field("tipo_arquivo").SetString(r.tipo_arquivo);
    table.Field("exigir_valid_domains").SetBool(r.exigir_valid_domains);
    table.Field("parar_email").SetBool(r.parar_email);
    table.Field("maximo_links").SetInteger(r.maximo_links);
}

} // namespace

RepResearch::RepResearch(TdtmInitialTables& tables, const CLConnection& connection, NegGenerator& generator,
                         CLLang& lang, UserMessages& messages, IProgressView& progress)
    : m_tables(tables)
    , m_connection(connection)
    , m_generator(generator)
    , m_lang(lang)
    , m_messages(messages)
    , m_progress(progress) {}

TableHandle RepResearch::NewTable() const {
    TableHandle table = m_connection.NewTable();
    table.BindFile(m_tables.PathOf(ResearchTableDef()), ResearchTableDef());
    return table;
}

bool RepResearch::Insert(const EntResearch& research) {
    if (research.id_research < 0)
        return false;
    TableHandle table = NewTable();
    if (!table.SetFilter(FilterEquals(kIdField, kNoResearch)) || !table.Open() || !table.Append())
        return false;
    table.Field(kIdField).SetInteger(research.id_research);
    WriteResearch(table, research);
    if (!table.Post())
        return false; // dropping the open handle discards the row
    return static_cast<bool>(table.Close());
}

bool RepResearch::InsertNew(EntResearch& research) {
    const std::optional<int> id = m_generator.NextId();
    if (!id)
        return false;
    const int previous = research.id_research;
    research.id_research = *id;
    if (Insert(research))
        return true;
    research.id_research = previous;
    return false;
}

bool RepResearch::Update(const EntResearch& research) {
    if (research.research_step == EntResearch::UnderWay && !m_savingRunState)
        return false;
    TableHandle table = NewTable();
    if (!table.SetFilter(FilterEquals(kIdField, research.id_research)) || !table.Open())
        return false;
    if (table.Eof() || !table.Edit())
        return false;
    WriteResearch(table, research);
    if (!table.Post())
        return false;
    TableHandle& lackSites = m_tables.tbLackSites();
    if (lackSites.IsOpen())
        (void)lackSites.Close();
    return static_cast<bool>(table.Close());
}

bool RepResearch::Delete(const std::vector<std::string>& ids) {
    TableHandle table = NewTable();
    const std::string status = m_lang.ReadText(6000, 99);
    std::vector<int> deleted;
    for (const std::string& id : ids) {
        TableResult selected = table.SetFilter(FilterEquals(kIdField, id));
        if (selected && !table.IsOpen())
            selected = table.Open();
        if (!selected) {
            m_messages.ShowError(selected.Message());
        } else {
            table.First();
            while (!table.Eof()) {
                const int rowId = table.CurrentRow().AsInteger(kIdField);
                if (!table.Delete())
                    break;
                deleted.push_back(rowId);
            }
        }
        m_progress.ProgressStepTotal(status);
    }
    if (!table.IsOpen())
        return false;
    table.Cancel();
    if (const TableResult written = table.Close(); !written) {
        // The rows stay, so their queues must stay too.
        m_messages.ShowError(written.Message());
        return false;
    }
    for (const int id : deleted)
        DeleteLinkFiles(id);
    return !deleted.empty();
}

std::optional<EntResearch> RepResearch::FindById(int id) {
    TableHandle table = NewTable();
    if (!table.SetFilter(FilterEquals(kIdField, id)) || !table.Open())
        return std::nullopt;
    table.First();
    if (table.Eof())
        return std::nullopt;
    return ReadResearch(table.CurrentRow());
}

std::optional<EntResearch> RepResearch::FindWithPendingLinks(int id) {
    std::optional<EntResearch> research = FindById(id);
    if (!research)
        return std::nullopt;
    if (!FileExists(PendingLinksFile(id))) {
        research->research_step = EntResearch::Finished;
        return research;
    }
    if (!m_pendingLinkLoader)
        return std::nullopt;
    m_pendingLinkLoader->LoadPendingLinks(*research);
    return research;
}

std::vector<EntResearch> RepResearch::ListAll() {
    std::vector<EntResearch> researches;
    TableHandle table = NewTable();
    if (!table.SetIndexName(m_tables.tbResearch().IndexName()) || !table.Open())
        return researches;
    researches.reserve(table.RecordCount());
    for (const RowView row : table)
        researches.push_back(ReadResearch(row));
    return researches;
}

std::optional<bool> RepResearch::ShortNameExists(const std::string& shortName) {
    TableHandle table = NewTable();
    if (!table.SetFilter(FilterEquals(kShortNameField, shortName)) || !table.Open())
        return std::nullopt;
    return table.RecordCount() > 0;
}

std::string RepResearch::PendingLinksFile(int researchId) const {
    return PendingLinksFileName(m_tables.Folder(), researchId);
}

std::string RepResearch::ProcessedLinksFile(int researchId) const {
    return ProcessedLinksFileName(m_tables.Folder(), researchId);
}

void RepResearch::DeleteLinkFiles(int researchId) const {
    std::error_code ignored;
    std::filesystem::remove(PendingLinksFile(researchId), ignored);
    std::filesystem::remove(ProcessedLinksFile(researchId), ignored);
}

} // namespace harvexa
