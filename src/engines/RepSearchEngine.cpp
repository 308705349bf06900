#include "engines/RepSearchEngine.h"

#include "core/AppPaths.h"
#include "core/CLLang.h"
#include "core/UserMessages.h"
#include "core/tables/CLConnection.h"
#include "core/tables/TableDefinitions.h"
#include "core/tables/TdtmInitialTables.h"

#include <numeric>
#include <unordered_map>

namespace harvexa {

namespace {

constexpr const char* kEngineId = "id_search_engines";
constexpr const char* kQueryId = "id_search_query";

EntSearchEngine ReadEngineRow(const RowView& row) {
    return EntSearchEngine(row.AsInteger("id_search_engines"), row.AsInteger("tipo_keyword_format"),
                           row.AsString("search_engine_name"), row.AsString("union_statement"),
                           row.AsString("quote_statement"), row.AsString("begin_search_text"),
                           row.AsString("end_search_text"), row.AsString("texto_identificacao"),
                           row.AsString("tag_busca_link"), row.AsString("must_not_have"));
}

EntSearchQuery ReadQueryRow(const RowView& row) {
    return EntSearchQuery(row.AsInteger("id_search_query"), row.AsInteger("id_search_engines"),
                          row.AsString("search_query"), row.AsString("query_search_name"),
                          row.AsBool("ativo"));
}

// Every field but the id; a value that does not suit its field makes the following Post fail.
void WriteEngineFields(TableHandle& table, const EntSearchEngine& engine) {
    table.Field("search_engine_name").SetString(engine.search_engine_name);
    table.Field("union_statement").SetString(engine.union_statement);
    table.Field("quote_statement").SetString(engine.quote_statement);
    table.Field("begin_search_text").SetString(engine.begin_search_text);
    table.Field("end_search_text").SetString(engine.end_search_text);
    table.Field("must_not_have").SetString(engine.must_not_have);
    table.Field("tag_busca_link").SetString(engine.tag_busca_link);
    table.Field("texto_identificacao").SetString(engine.texto_identificacao);
    table.Field("tipo_keyword_format").SetInteger(engine.tipo_keyword_format);
}

TableResult AppendEngine(TableHandle& table, const EntSearchEngine& engine) {
    if (TableResult started = table.Append(); !started)
        return started;
    table.Field(kEngineId).SetInteger(engine.id_search_engines);
    WriteEngineFields(table, engine);
    return table.Post();
}

TableResult AppendQuery(TableHandle& table, const EntSearchQuery& query) {
    if (TableResult started = table.Append(); !started)
        return started;
    table.Field(kQueryId).SetInteger(query.id_search_query);
    table.Field("search_query").SetString(query.search_query);
    table.Field(kEngineId).SetInteger(query.id_search_engines);
    table.Field("query_search_name").SetString(query.query_search_name);
    table.Field("ativo").SetBool(query.ativo);
    return table.Post();
}

// Opens the table and deletes the rows passing `filter`; the filter stays set. `deleted` counts them.
TableResult OpenAndDeleteWhere(TableHandle& table, TableFilter filter, std::size_t* deleted = nullptr) {
    TableResult result = table.SetFilter(std::move(filter));
    if (result)
        result = table.Open();
    if (!result)
        return result;
    std::vector<std::size_t> positions(table.RecordCount());
    std::iota(positions.begin(), positions.end(), std::size_t{0});
    if (deleted)
        *deleted = positions.size();
    return table.DeleteRows(std::move(positions));
}

TableResult OpenFiltered(TableHandle& table, TableFilter filter) {
    TableResult result = table.SetFilter(std::move(filter));
    return result ? table.Open() : result;
}

} // namespace

RepSearchEngine::RepSearchEngine(TdtmInitialTables& tables, const CLConnection& connection, CLLang& lang,
                                 UserMessages& messages)
    : m_connection(connection)
    , m_lang(lang)
    , m_messages(messages)
    , m_enginesFile(tables.PathOf(SearchEnginesTableDef()))
    , m_queriesFile(tables.PathOf(SearchQueryTableDef())) {}

TableHandle RepSearchEngine::EnginesTable() const {
    TableHandle table = m_connection.NewTable();
    table.BindFile(m_enginesFile, SearchEnginesTableDef());
    return table;
}

TableHandle RepSearchEngine::QueriesTable() const {
    TableHandle table = m_connection.NewTable();
    table.BindFile(m_queriesFile, SearchQueryTableDef());
    return table;
}

std::optional<EntSearchEngine> RepSearchEngine::ReadEngine(int id) {
    std::vector<EntSearchQuery> queries;
    TableHandle queryTable = QueriesTable();
    if (const TableResult opened = OpenFiltered(queryTable, FilterEquals(kEngineId, id)); !opened) {
        m_messages.ShowError(opened.Message());
    } else {
        for (const RowView row : queryTable)
            queries.push_back(ReadQueryRow(row));
    }

    TableHandle engineTable = EnginesTable();
    if (const TableResult opened = OpenFiltered(engineTable, FilterEquals(kEngineId, id)); !opened) {
        m_messages.ShowError(opened.Message());
        return std::nullopt;
    }
    engineTable.First();
    if (engineTable.Eof())
        return std::nullopt;
    EntSearchEngine engine = ReadEngineRow(engineTable.CurrentRow());
    engine.Queries = std::move(queries);
    return engine;
}

std::vector<EntSearchEngine> RepSearchEngine::ListEngines(int first, int maxCount) {
    std::vector<EntSearchEngine> engines;
    TableHandle engineTable = EnginesTable();
    if (const TableResult opened = engineTable.Open(); !opened) {
        m_messages.ShowError(opened.Message());
        return engines;
    }
    std::unordered_map<int, std::vector<EntSearchQuery>> queriesByEngine;
    TableHandle queryTable = QueriesTable();
    if (const TableResult opened = queryTable.Open(); !opened) {
        m_messages.ShowError(opened.Message());
    } else {
        for (const RowView row : queryTable) {
            EntSearchQuery query = ReadQueryRow(row);
            queriesByEngine[query.id_search_engines].push_back(std::move(query));
        }
    }

    const std::size_t start = first > 1 ? static_cast<std::size_t>(first) - 1 : 0;
    const std::size_t limit = maxCount > 0 ? static_cast<std::size_t>(maxCount) : 0;
    for (std::size_t position = start; position < engineTable.RecordCount() && engines.size() < limit;
         ++position) {
        EntSearchEngine engine = ReadEngineRow(engineTable.Row(position));
        if (const auto found = queriesByEngine.find(engine.id_search_engines); found != queriesByEngine.end())
            engine.Queries = found->second;
        engines.push_back(std::move(engine));
    }
    return engines;
}

TableResult RepSearchEngine::ScanForUrl(const std::string& url, std::optional<EntSearchEngine>& found) const {
    found.reset();
    TableHandle table = EnginesTable();
    if (TableResult opened = table.Open(); !opened)
        return opened;
    const std::string lowerUrl = ToLowerAscii(url);
    for (const RowView row : table) {
        const std::string identification = ToLowerAscii(row.AsString("texto_identificacao"));
        if (!identification.empty() && lowerUrl.find(identification) != std::string::npos) {
            found = ReadEngineRow(row);
            break;
        }
    }
    return TableResult::Ok();
}

std::optional<EntSearchEngine> RepSearchEngine::FindEngineByUrl(const std::string& url) {
    std::optional<EntSearchEngine> found;
    if (const TableResult scanned = ScanForUrl(url, found); !scanned)
        m_messages.ShowError(scanned.Message());
    else if (!found)
        m_messages.ShowError(NoEngineText(url));
    return found;
}

std::optional<EntSearchEngine> RepSearchEngine::LookupEngineByUrl(const std::string& url) const {
    std::optional<EntSearchEngine> found;
    (void)ScanForUrl(url, found);
    return found;
}

std::string RepSearchEngine::NoEngineText(const std::string& url) const {
    return m_lang.ReadText(6000, 117) + " " + url + " " + m_lang.ReadText(6000, 118);
}

bool RepSearchEngine::StoreEngine(const EntSearchEngine& engine, bool replaceStored) {
    const int id = engine.id_search_engines;
    bool idsUsable = id >= 0;
    for (const EntSearchQuery& query : engine.Queries)
        idsUsable = idsUsable && query.id_search_query >= 0;
    if (!idsUsable) {
        m_messages.ShowError(m_lang.ReadText(5000, 9));
        return false;
    }

    // Both tables are changed in memory first; the engine file is written before the query file, so a
    // failure can leave an engine without its new queries but never queries without their engine.
    TableHandle engineTable = EnginesTable();
    TableHandle queryTable = QueriesTable();
    TableResult result =
        replaceStored ? OpenAndDeleteWhere(engineTable, FilterEquals(kEngineId, id)) : engineTable.Open();
    if (result)
        result = AppendEngine(engineTable, engine);
    if (result)
        result =
            replaceStored ? OpenAndDeleteWhere(queryTable, FilterEquals(kEngineId, id)) : queryTable.Open();
    for (const EntSearchQuery& query : engine.Queries) {
        if (!result)
            break;
        EntSearchQuery stored = query;
        stored.id_search_engines = id;
        result = AppendQuery(queryTable, stored);
    }
    if (result)
        result = engineTable.Close();
    if (result)
        result = queryTable.Close();
    if (!result) {
        m_messages.ShowError(result.Message());
        return false;
    }
    return true;
}

bool RepSearchEngine::InsertEngine(const EntSearchEngine& engine) {
    return StoreEngine(engine, false);
}

bool RepSearchEngine::SaveEngine(const EntSearchEngine& engine) {
    return StoreEngine(engine, true);
}

bool RepSearchEngine::UpdateEngine(const EntSearchEngine& engine) {
    TableHandle table = EnginesTable();
    TableResult result = OpenFiltered(table, FilterEquals(kEngineId, engine.id_search_engines));
    if (result) {
        table.First();
        if (table.Eof())
            return false;
        result = table.Edit();
    }
    if (result) {
        WriteEngineFields(table, engine);
        result = table.Post();
    }
    if (result)
        result = table.Close();
    if (!result) {
        table.Cancel();
        m_messages.ShowError(result.Message());
        return false;
    }
    return true;
}

bool RepSearchEngine::DeleteEngine(int id) {
    if (!ReadEngine(id))
        return false;
    TableHandle queryTable = QueriesTable();
    TableResult queriesDeleted = OpenAndDeleteWhere(queryTable, FilterEquals(kEngineId, id));
    if (!queriesDeleted)
        m_messages.ShowError(queriesDeleted.Message());

    TableHandle engineTable = EnginesTable();
    TableResult engineDeleted = OpenAndDeleteWhere(engineTable, FilterEquals(kEngineId, id));
    if (engineDeleted)
        engineDeleted = engineTable.Close();
    if (!engineDeleted) {
        // The engine stays, so its queries stay too: queryTable is dropped unwritten.
        m_messages.ShowError(engineDeleted.Message());
        return false;
    }
    if (queriesDeleted)
        queriesDeleted = queryTable.Close();
    if (!queriesDeleted)
        m_messages.ShowError(queriesDeleted.Message());
    return true;
}

RepSearchEngine::QueryRead RepSearchEngine::ReadQuery(int id) {
    TableHandle table = QueriesTable();
    if (const TableResult opened = OpenFiltered(table, FilterEquals(kQueryId, id)); !opened)
        return {std::nullopt, opened.Message()};
    table.First();
    if (table.Eof())
        return {std::nullopt, m_lang.ReadText(5000, 94)};
    return {ReadQueryRow(table.CurrentRow()), {}};
}

bool RepSearchEngine::UpdateQuery(const EntSearchQuery& query) {
    TableHandle table = QueriesTable();
    std::size_t deleted = 0;
    TableResult result = OpenAndDeleteWhere(table, FilterEquals(kQueryId, query.id_search_query), &deleted);
    if (!result || deleted == 0)
        return false;
    return AppendQuery(table, query) && table.Close();
}

bool RepSearchEngine::DeleteQuery(int id) {
    TableHandle table = QueriesTable();
    std::size_t deleted = 0;
    TableResult result = OpenAndDeleteWhere(table, FilterEquals(kQueryId, id), &deleted);
    return result && deleted > 0 && table.Close();
}

bool RepSearchEngine::SetQueryActive(int id, int mode) {
    TableHandle table = QueriesTable();
    if (!OpenFiltered(table, FilterEquals(kQueryId, id)) || table.RecordCount() == 0)
        return false;
    for (std::size_t position = 0; position < table.RecordCount(); ++position) {
        if (!table.MoveTo(position) || !table.Edit())
            return false;
        const bool active = mode == -1 ? !table.Field("ativo").AsBool() : mode != 0;
        table.Field("ativo").SetBool(active);
        if (!table.Post())
            return false;
    }
    return static_cast<bool>(table.Close());
}

} // namespace harvexa
