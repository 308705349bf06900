#pragma once

#include "core/tables/TableHandle.h"
#include "data/EntExportData.h"
#include "data/ExportOutcome.h"
#include "data/LoadOutcome.h"

#include <atomic>
#include <string>
#include <vector>

namespace harvexa {

class CLLang;
class IDataGrid;
class IProgressView;

// The file and table work of the captured data: the workbench table tbDataExport, its loaders and
// the export writers, and the stop flag that the progress window's Stop button sets. Every long loop
// polls the flag once per row; the loop that sees it set clears it and stops.
class RepData final {
public:
    // `dataTable` is the data module's tbData.
    RepData(CLLang& lang, IProgressView& progress, TableHandle& dataTable);
    RepData(const RepData&) = delete;
    RepData& operator=(const RepData&) = delete;

    // The in-memory workbench table; columns 0 to 6 hold the data, 7 to 9 are never shown.
    TableHandle& tbDataExport() { return m_dataExport; }

    void RequestStop() { m_stopRequested = true; }
    bool StopRequested() const { return m_stopRequested; }

    [[nodiscard]] bool OpenDataTable();
    [[nodiscard]] bool CloseDataTable();

    // Detaches tbDataExport from any file and leaves it open and empty in memory; its filter and sort
    // order stay.
    [[nodiscard]] TableResult PrepareWorkbenchTable();

    // The loaders append to tbDataExport (opened empty first when closed) and then save it to the
    // checkpoint file. A file that cannot be read is listed in the outcome and the load goes on.
    LoadOutcome LoadCsvFiles(const std::vector<std::string>& paths, IDataGrid* grid = nullptr);
    // `separatorName`: "TAB" or the separator itself. A row the table refuses ends the load; any
    // filter on the table is removed at the end.
    LoadOutcome LoadTxtFiles(const std::vector<std::string>& paths, const std::string& separatorName,
                             IDataGrid* grid = nullptr);
    LoadOutcome LoadXmlFiles(const std::vector<std::string>& paths, IDataGrid* grid = nullptr);

    // An empty table writes no file. `recordsPerFile` 0 or less writes one file.
    ExportOutcome ExportCsv(TableHandle& table, const std::string& path, int recordsPerFile,
                            const EntExportData& options, IDataGrid* grid = nullptr);
    ExportOutcome ExportTxt(TableHandle& table, const std::string& path, int recordsPerFile,
                            const EntExportData& options, const std::string& separatorName,
                            IDataGrid* grid = nullptr);
    // The whole table, all ten columns, as an XML data packet; the options play no part.
    ExportOutcome ExportXml(TableHandle& table, const std::string& path, const EntExportData& options);

    // "tmpFile.xml" in the application folder.
    static std::string CheckpointPath();
    // Whether a load saves the workbench table to the checkpoint file afterwards (on by default).
    // Saving writes the whole table again and costs more than the load itself on large files.
    void KeepCheckpoint(bool keep) { m_keepCheckpoint = keep; }

private:
    void ConnectStopButton();
    [[nodiscard]] TableResult EnsureWorkbenchOpen();
    template <typename Load> LoadOutcome RunLoad(Load load);

    CLLang& m_lang;
    IProgressView& m_progress;
    TableHandle& m_data;
    TableHandle m_dataExport;
    std::atomic<bool> m_stopRequested{false};
    bool m_keepCheckpoint = true;
};

} // namespace harvexa
