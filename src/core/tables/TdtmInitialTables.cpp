#include "core/tables/TdtmInitialTables.h"

#include "core/AppPaths.h"
#include "core/AtomicFile.h"
#include "core/CLLang.h"
#include "core/UserMessages.h"
#include "core/tables/TableDefinitions.h"

#include <filesystem>

namespace harvexa {

TdtmInitialTables::TdtmInitialTables()
    : TdtmInitialTables(AppFolder()) {}

TdtmInitialTables::TdtmInitialTables(std::string folder)
    : m_folder(std::move(folder)) {
    if (!m_folder.empty() && m_folder.back() != '/')
        m_folder += '/';
    BindTables();
    if (m_status == Status::Ok && !FileExists(PathOf(ResearchTableDef())))
        CreateTables();
}

void TdtmInitialTables::ReportFailure(UserMessages& messages, CLLang& lang) const {
    if (m_status == Status::BindFailed)
        messages.ShowError(lang.ReadText(5000, 4));
    else if (m_status == Status::CreateFailed)
        messages.ShowError(lang.ReadText(5000, 95));
}

TableHandle& TdtmInitialTables::HandleOf(const TableDef& table) {
    if (&table == &ResearchTableDef())
        return m_research;
    if (&table == &GeneratorTableDef())
        return m_generator;
    if (&table == &SearchEnginesTableDef())
        return m_searchEngines;
    if (&table == &DataTableDef())
        return m_data;
    if (&table == &SearchQueryTableDef())
        return m_searchQuery;
    return m_lackSites;
}

void TdtmInitialTables::BindTables() {
    for (const TableDef* table : PersistentTablesInCreationOrder())
        HandleOf(*table).BindFile(PathOf(*table), *table);
    std::error_code error;
    if (m_folder.empty() || !std::filesystem::is_directory(m_folder, error)) {
        m_status = Status::BindFailed;
        m_detail = "The application folder '" + m_folder + "' does not exist";
    }
}

void TdtmInitialTables::CreateTables() {
    for (const TableDef* table : PersistentTablesInCreationOrder()) {
        TableHandle& handle = HandleOf(*table);
        TableResult result = handle.CreateEmpty();
        if (result)
            result = handle.Close();
        if (!result) {
            m_status = Status::CreateFailed;
            m_detail = result.Message();
            // A half-made set must not pass for an installed one at the next start: without
            // tbResearch.xml the next start creates all six again.
            if (table != &ResearchTableDef()) {
                std::error_code ignored;
                std::filesystem::remove(PathOf(ResearchTableDef()), ignored);
            }
            return;
        }
    }
    m_created = true;
}

} // namespace harvexa
