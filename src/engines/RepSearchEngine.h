#pragma once

#include "engines/EntSearchEngine.h"
#include "engines/EntSearchQuery.h"

#include <optional>
#include <string>
#include <vector>

namespace harvexa {

class CLConnection;
class CLLang;
class TableHandle;
class TableResult;
class TdtmInitialTables;
class UserMessages;

// Stores search engines in tbSearchEngines and their query templates in tbSearchQuery. Each
// operation reads the files through handles of its own and writes what it changed before returning;
// a change that fails part-way writes nothing of it. Engine operations show their failures in the
// error box; query operations report by their result only (the editor names the failure).
// Only LookupEngineByUrl may be called from a worker thread; everything else runs on the
// user-interface thread.
class RepSearchEngine final {
public:
    struct QueryRead {
        std::optional<EntSearchQuery> query;
        std::string failure; // why there is no query (text 5000/94 when the id has no row)
    };

    RepSearchEngine(TdtmInitialTables& tables, const CLConnection& connection, CLLang& lang,
                    UserMessages& messages);
    RepSearchEngine(const RepSearchEngine&) = delete;
    RepSearchEngine& operator=(const RepSearchEngine&) = delete;

    // The engine with its queries in table order; nothing when the id has no engine row or on failure.
    [[nodiscard]] std::optional<EntSearchEngine> ReadEngine(int id);
    // Engines in table order from row `first` (1 = the first row), at most `maxCount`, each once.
    [[nodiscard]] std::vector<EntSearchEngine> ListEngines(int first, int maxCount);
    // The first engine whose identification text occurs in the URL, ignoring letter case, without its
    // queries. Shows the error box when none matches.
    [[nodiscard]] std::optional<EntSearchEngine> FindEngineByUrl(const std::string& url);
    // The same lookup without any message: reads the engine file through its own handle and touches
    // nothing shared, so capture workers may call it.
    [[nodiscard]] std::optional<EntSearchEngine> LookupEngineByUrl(const std::string& url) const;
    // The message FindEngineByUrl shows when no engine matches (safe from any thread).
    std::string NoEngineText(const std::string& url) const;

    // Appends the engine row and a row per query, each carrying the engine's id. Negative ids are
    // refused: nothing is stored.
    [[nodiscard]] bool InsertEngine(const EntSearchEngine& engine);
    // Overwrites every field but the id of the engine's row; false when there is no such row.
    [[nodiscard]] bool UpdateEngine(const EntSearchEngine& engine);
    // Replaces the stored engine and all its queries by the object and its Queries (the engine row
    // moves to the end of the table). The old rows stay when the new ones cannot be stored.
    [[nodiscard]] bool SaveEngine(const EntSearchEngine& engine);
    // Deletes the engine and its queries; true when the engine row is gone from the file.
    [[nodiscard]] bool DeleteEngine(int id);

    [[nodiscard]] QueryRead ReadQuery(int id);
    // Replaces the query row of the query's id by the object (the row moves to the end of the table).
    // False when that id has no row or on failure; then nothing changes.
    [[nodiscard]] bool UpdateQuery(const EntSearchQuery& query);
    [[nodiscard]] bool DeleteQuery(int id);
    // Mode -1 inverts the active flag, 0 clears it, any other value sets it.
    [[nodiscard]] bool SetQueryActive(int id, int mode);

private:
    TableHandle EnginesTable() const;
    TableHandle QueriesTable() const;
    TableResult ScanForUrl(const std::string& url, std::optional<EntSearchEngine>& found) const;
    bool StoreEngine(const EntSearchEngine& engine, bool replaceStored);

    const CLConnection& m_connection;
    CLLang& m_lang;
    UserMessages& m_messages;
    const std::string m_enginesFile;
    const std::string m_queriesFile;
};

} // namespace harvexa
