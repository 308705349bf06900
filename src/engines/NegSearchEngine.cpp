#include "engines/NegSearchEngine.h"

#include "core/CLLang.h"
#include "core/UserMessages.h"
#include "core/tables/NegGenerator.h"

namespace harvexa {

NegSearchEngine::NegSearchEngine(TdtmInitialTables& tables, const CLConnection& connection,
                                 NegGenerator& generator, CLLang& lang, UserMessages& messages)
    : m_repository(tables, connection, lang, messages)
    , m_generator(generator)
    , m_lang(lang)
    , m_messages(messages) {}

std::optional<int> NegSearchEngine::DrawId() {
    std::optional<int> id = m_generator.NextId();
    if (!id)
        m_messages.ShowError(m_lang.ReadText(5000, 9));
    return id;
}

bool NegSearchEngine::InsertNewEngine(EntSearchEngine& engine) {
    EntSearchEngine stored = engine;
    const std::optional<int> engineId = DrawId();
    if (!engineId)
        return false;
    stored.id_search_engines = *engineId;
    for (EntSearchQuery& query : stored.Queries) {
        const std::optional<int> queryId = DrawId();
        if (!queryId)
            return false;
        query.id_search_query = *queryId;
        query.id_search_engines = *engineId;
    }
    if (!m_repository.InsertEngine(stored))
        return false;
    engine = std::move(stored);
    return true;
}

bool NegSearchEngine::AddQuery(int engineId, EntSearchQuery& query) {
    std::optional<EntSearchEngine> engine = m_repository.ReadEngine(engineId);
    if (!engine)
        return false;
    const std::optional<int> queryId = DrawId();
    if (!queryId)
        return false;
    EntSearchQuery added = query;
    added.id_search_query = *queryId;
    added.id_search_engines = engineId;
    engine->Queries.push_back(added);
    if (!m_repository.SaveEngine(*engine))
        return false;
    query = std::move(added);
    return true;
}

} // namespace harvexa
