#pragma once

#include "core/tables/TableDef.h"
#include "core/tables/TableHandle.h"

#include <string>

namespace harvexa {

class CLLang;
class UserMessages;

// The table data module: one table object per persistent table, bound to its file in the application
// folder. When tbResearch.xml is missing, all six files are (re)created empty in the order tbResearch,
// tbGenerator, tbSearchEngines, tbData, tbSearchQuery, tbLackSites, replacing files of those names.
// The constructor never throws; start-up checks Status() and calls ReportFailure.
class TdtmInitialTables final {
public:
    enum class Status {
        Ok,
        BindFailed,   // the application folder is not usable (text 5000/4)
        CreateFailed, // a table file could not be created (text 5000/95)
    };

    TdtmInitialTables(); // the application folder
    explicit TdtmInitialTables(std::string folder);
    TdtmInitialTables(const TdtmInitialTables&) = delete;
    TdtmInitialTables& operator=(const TdtmInitialTables&) = delete;

    [[nodiscard]] Status GetStatus() const { return m_status; }
    // What failed, for the log (empty when Ok).
    const std::string& FailureDetail() const { return m_detail; }
    // Whether this start created the table files.
    bool CreatedTables() const { return m_created; }
    // Shows the error box with text 5000/4 or 5000/95 when start-up failed; nothing when Ok.
    void ReportFailure(UserMessages& messages, CLLang& lang) const;

    const std::string& Folder() const { return m_folder; }
    // The file of a persistent table: Folder() + its file name.
    std::string PathOf(const TableDef& table) const { return m_folder + table.FileName(); }

    TableHandle& tbResearch() { return m_research; }
    TableHandle& tbGenerator() { return m_generator; }
    TableHandle& tbSearchEngines() { return m_searchEngines; }
    TableHandle& tbData() { return m_data; }
    TableHandle& tbSearchQuery() { return m_searchQuery; }
    TableHandle& tbLackSites() { return m_lackSites; }

private:
    void BindTables();
    void CreateTables();
    TableHandle& HandleOf(const TableDef& table);

    std::string m_folder;
    Status m_status = Status::Ok;
    std::string m_detail;
    bool m_created = false;
    TableHandle m_research;
    TableHandle m_generator;
    TableHandle m_searchEngines;
    TableHandle m_data;
    TableHandle m_searchQuery;
    TableHandle m_lackSites;
};

} // namespace harvexa
