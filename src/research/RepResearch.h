#pragma once

#include "research/EntResearch.h"

#include <optional>
#include <string>
#include <vector>

namespace harvexa {

class CLConnection;
class CLLang;
class IPendingLinkLoader;
class IProgressView;
class NegGenerator;
class TableHandle;
class TdtmInitialTables;
class UserMessages;

// Stores researches in the table tbResearch. Every operation reads the current file through a handle
// of its own and, when it changed rows, writes the file back before it returns. Failures are reported
// by the result, never thrown. Runs on the user-interface thread.
class RepResearch final {
public:
    RepResearch(TdtmInitialTables& tables, const CLConnection& connection, NegGenerator& generator,
                CLLang& lang, UserMessages& messages, IProgressView& progress);
    RepResearch(const RepResearch&) = delete;
    RepResearch& operator=(const RepResearch&) = delete;

    // The run engine's reader of the pending-links file, used by FindWithPendingLinks; may be null.
    void SetPendingLinkLoader(IPendingLinkLoader* loader) { m_pendingLinkLoader = loader; }

    // While set, Update also writes a research that is under way (step 2).
    void SetSavingRunState(bool saving) { m_savingRunState = saving; }
    bool SavingRunState() const { return m_savingRunState; }

    // Stores the record as a new row with its own id (no uniqueness check). False on any failure and
    // for a negative id, which only a failed id draw produces.
    [[nodiscard]] bool Insert(const EntResearch& research);
    // Draws a new id with NextId, puts it into `research` and stores it. When no id can be drawn or
    // storing fails, nothing is stored and `research` keeps its old id.
    [[nodiscard]] bool InsertNew(EntResearch& research);
    // Overwrites the stored row of the record's id (every field but the id). False when no such row
    // exists, on failure, and for a research under way unless SavingRunState is set.
    [[nodiscard]] bool Update(const EntResearch& research);
    // Deletes the researches of the given ids (decimal texts) with their two link files, one progress
    // step per id. True when at least one research was deleted and the table file was written.
    [[nodiscard]] bool Delete(const std::vector<std::string>& ids);
    [[nodiscard]] std::optional<EntResearch> FindById(int id);
    // FindById with the research's queue: PendingLinks from its link files, or, when it has no
    // pending-links file, research_step 3 in the record only.
    [[nodiscard]] std::optional<EntResearch> FindWithPendingLinks(int id);
    // Every research in stored order; a failure ends the list with what was read.
    [[nodiscard]] std::vector<EntResearch> ListAll();
    // Whether a research has exactly this short name (bytes compared, letter case counts);
    // nullopt when the table could not be read.
    [[nodiscard]] std::optional<bool> ShortNameExists(const std::string& shortName);

    std::string PendingLinksFile(int researchId) const;
    std::string ProcessedLinksFile(int researchId) const;

private:
    TableHandle NewTable() const;
    void DeleteLinkFiles(int researchId) const;

    TdtmInitialTables& m_tables;
    const CLConnection& m_connection;
    NegGenerator& m_generator;
    CLLang& m_lang;
    UserMessages& m_messages;
    IProgressView& m_progress;
    IPendingLinkLoader* m_pendingLinkLoader = nullptr;
    bool m_savingRunState = false;
};

} // namespace harvexa
