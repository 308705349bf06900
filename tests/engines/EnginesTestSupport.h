#pragma once

#include "core/tables/TableHandle.h"
#include "engines/NegSearchEngine.h"
#include "support/FailingTableWrites.h"
#include "support/InstalledTableStore.h"

#include <string>
#include <utility>
#include <vector>

namespace harvexa::test {

// The installed tables with the search-engine objects over them.
struct EngineStore : InstalledTableStore {
    RepSearchEngine repository{tables, connection, lang, messages};
    NegSearchEngine engines{tables, connection, generator, lang, messages};

    // Query rows as "id:engine:name:active", read straight from the file in stored order.
    std::vector<std::string> StoredQueries() const {
        TableHandle table;
        table.BindFile(app.File("tbSearchQuery.xml"));
        std::vector<std::string> rows;
        if (!table.Open())
            return rows;
        for (const RowView row : table) {
            rows.push_back(std::to_string(row.AsInteger("id_search_query")) + ":" +
                           std::to_string(row.AsInteger("id_search_engines")) + ":" +
                           row.AsString("query_search_name") + ":" + (row.AsBool("ativo") ? "on" : "off"));
        }
        return rows;
    }
};

inline EntSearchEngine MakeEngine(int id, const std::string& name, const std::string& identification,
                                  std::vector<EntSearchQuery> queries = {}) {
    return EntSearchEngine(id, EntSearchEngine::Utf8Percent, name, "+", "%22", "<div id=\"results\">",
                           "</div>", identification, "HREF", "cache\r\ntranslate", std::move(queries));
}

inline EntSearchQuery MakeQuery(int id, int engineId, const std::string& name, bool active = true) {
    return EntSearchQuery(id, engineId, "http://search.example/?q=HARVEXA_KEY&n=" + name, name, active);
}

} // namespace harvexa::test
