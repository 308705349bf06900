#pragma once

#include "engines/RepSearchEngine.h"

#include <optional>
#include <string>
#include <vector>

namespace harvexa {

class NegGenerator;

// The search-engine operations offered to the editors, the search seeding and the capture workers;
// each forwards to the repository. Adds the two stores that draw new ids, which store nothing when
// no id can be drawn.
class NegSearchEngine final {
public:
    NegSearchEngine(TdtmInitialTables& tables, const CLConnection& connection, NegGenerator& generator,
                    CLLang& lang, UserMessages& messages);
    NegSearchEngine(const NegSearchEngine&) = delete;
    NegSearchEngine& operator=(const NegSearchEngine&) = delete;

    [[nodiscard]] std::optional<EntSearchEngine> ReadEngine(int id) { return m_repository.ReadEngine(id); }
    [[nodiscard]] std::vector<EntSearchEngine> ListEngines(int first, int maxCount) {
        return m_repository.ListEngines(first, maxCount);
    }
    [[nodiscard]] std::optional<EntSearchEngine> FindEngineByUrl(const std::string& url) {
        return m_repository.FindEngineByUrl(url);
    }
    // For capture workers: no message, any thread.
    [[nodiscard]] std::optional<EntSearchEngine> LookupEngineByUrl(const std::string& url) const {
        return m_repository.LookupEngineByUrl(url);
    }
    std::string NoEngineText(const std::string& url) const { return m_repository.NoEngineText(url); }
    [[nodiscard]] bool InsertEngine(const EntSearchEngine& engine) {
        return m_repository.InsertEngine(engine);
    }
    [[nodiscard]] bool UpdateEngine(const EntSearchEngine& engine) {
        return m_repository.UpdateEngine(engine);
    }
    [[nodiscard]] bool SaveEngine(const EntSearchEngine& engine) { return m_repository.SaveEngine(engine); }
    [[nodiscard]] bool DeleteEngine(int id) { return m_repository.DeleteEngine(id); }
    [[nodiscard]] RepSearchEngine::QueryRead ReadQuery(int id) { return m_repository.ReadQuery(id); }
    [[nodiscard]] bool UpdateQuery(const EntSearchQuery& query) { return m_repository.UpdateQuery(query); }
    [[nodiscard]] bool DeleteQuery(int id) { return m_repository.DeleteQuery(id); }
    [[nodiscard]] bool SetQueryActive(int id, int mode) { return m_repository.SetQueryActive(id, mode); }

    // Gives the engine and each of its queries a new id and stores them. On failure (no id could be
    // drawn, or storing failed) nothing is stored, the error box was shown and `engine` is unchanged.
    [[nodiscard]] bool InsertNewEngine(EntSearchEngine& engine);
    // Gives `query` a new id and the engine's id, appends it to the stored engine's queries and stores
    // the engine with SaveEngine. False when the engine does not exist or nothing could be stored;
    // `query` is then unchanged.
    [[nodiscard]] bool AddQuery(int engineId, EntSearchQuery& query);

private:
    std::optional<int> DrawId();

    RepSearchEngine m_repository;
    NegGenerator& m_generator;
    CLLang& m_lang;
    UserMessages& m_messages;
};

} // namespace harvexa
