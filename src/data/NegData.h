#pragma once

#include "analysis/EntPageData.h"
#include "data/EntData.h"
#include "data/EntExportData.h"
#include "data/ExportOutcome.h"
#include "data/LoadOutcome.h"
#include "data/RepData.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace harvexa {

class CLLang;
class IDataGrid;

// The business object of the captured data: page facts to rows, the workbench table with its loaders
// and writers, capture-file names, and the research export folders with their info.ini.
// Runs on the user-interface thread.
class NegData final {
public:
    NegData(CLLang& lang, std::unique_ptr<RepData> repository);

    RepData& Repository() { return *m_repository; }
    TableHandle& tbDataExport() { return m_repository->tbDataExport(); }

    // The rows of one page: one per e-mail address; without addresses, one for the page (plus one per
    // external link when the page shows nothing but its address). A page with no address, URL,
    // title, description or keywords yields none.
    static std::vector<EntData> RowsOfPage(const EntPageData& page);

    [[nodiscard]] bool OpenDataTable() { return m_repository->OpenDataTable(); }
    [[nodiscard]] bool CloseDataTable() { return m_repository->CloseDataTable(); }
    [[nodiscard]] TableResult PrepareWorkbenchTable() { return m_repository->PrepareWorkbenchTable(); }

    // Each starts from an empty workbench table.
    LoadOutcome LoadCsvFiles(const std::vector<std::string>& paths, IDataGrid* grid = nullptr);
    LoadOutcome LoadTxtFiles(const std::vector<std::string>& paths, const std::string& separatorName,
                             IDataGrid* grid = nullptr);
    LoadOutcome LoadXmlFiles(const std::vector<std::string>& paths, IDataGrid* grid = nullptr);

    ExportOutcome ExportCsv(TableHandle& table, const std::string& path, int recordsPerFile,
                            const EntExportData& options, IDataGrid* grid = nullptr) {
        return m_repository->ExportCsv(table, path, recordsPerFile, options, grid);
    }
    ExportOutcome ExportTxt(TableHandle& table, const std::string& path, int recordsPerFile,
                            const EntExportData& options, const std::string& separatorName,
                            IDataGrid* grid = nullptr) {
        return m_repository->ExportTxt(table, path, recordsPerFile, options, separatorName, grid);
    }
    ExportOutcome ExportXml(TableHandle& table, const std::string& path, const EntExportData& options) {
        return m_repository->ExportXml(table, path, options);
    }

    // First free capture or export file name (see ExportFileNames.h); nullopt with the reason in
    // kExportFileNameError when none can be built.
    static std::optional<std::string>
    NextExportFileName(const std::string& base, const std::string& extension, int number, int rangeSize);

    // The setting Export_Path as it stands (expected to end with "/").
    std::string ExportPath();
    // Export_Path followed directly by the short name, made safe as one folder name.
    std::string ResearchFolder(const std::string& shortName);
    // The base name of a research's capture files: its folder, "/" and the first 15 characters of
    // its short name.
    std::string CaptureFileBase(const std::string& shortName);
    // Creates the research folder (and a missing export folder above it) and writes its info.ini.
    [[nodiscard]] bool PrepareResearchFolder(const std::string& shortName, const std::string& description,
                                             int researchId);
    // Writes the four keys of section "INFO", keeping everything else in the file.
    [[nodiscard]] bool WriteResearchInfo(const std::string& iniPath, const std::string& shortName,
                                         int researchId, const std::string& description);

private:
    CLLang& m_lang;
    std::unique_ptr<RepData> m_repository;
};

} // namespace harvexa
