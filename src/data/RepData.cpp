#include "data/RepData.h"

#include "core/AppPaths.h"
#include "core/CLLang.h"
#include "core/ProgressView.h"
#include "core/tables/TableDefinitions.h"
#include "data/DataTexts.h"
#include "data/DelimitedExporter.h"
#include "data/ExportLines.h"
#include "data/WorkbenchLoader.h"

namespace harvexa {

namespace {

constexpr const char* kCheckpointFile = "tmpFile.xml";

} // namespace

RepData::RepData(CLLang& lang, IProgressView& progress, TableHandle& dataTable)
    : m_lang(lang)
    , m_progress(progress)
    , m_data(dataTable) {
    m_dataExport.BindMemory(DataExportTableDef());
}

std::string RepData::CheckpointPath() {
    return AppFolder() + kCheckpointFile;
}

void RepData::ConnectStopButton() {
    m_stopRequested = false;
    m_progress.ProgressOnStop([this] { RequestStop(); });
    m_progress.ProgressEnableStop();
}

bool RepData::OpenDataTable() {
    return static_cast<bool>(m_data.Open());
}

bool RepData::CloseDataTable() {
    return static_cast<bool>(m_data.Close());
}

TableResult RepData::PrepareWorkbenchTable() {
    m_dataExport.Cancel();
    // An in-memory table discards its rows on Close; nothing is written anywhere.
    if (TableResult closed = m_dataExport.Close(); !closed)
        return closed;
    m_dataExport.BindMemory(DataExportTableDef());
    return m_dataExport.CreateEmpty();
}

TableResult RepData::EnsureWorkbenchOpen() {
    if (m_dataExport.IsOpen())
        return TableResult::Ok();
    m_dataExport.BindMemory(DataExportTableDef());
    return m_dataExport.CreateEmpty();
}

template <typename Load> LoadOutcome RepData::RunLoad(Load load) {
    if (TableResult opened = EnsureWorkbenchOpen(); !opened) {
        LoadOutcome outcome;
        outcome.failures.push_back(opened.Message());
        return outcome;
    }
    m_dataExport.Cancel();
    ConnectStopButton();
    const DataTexts texts = DataTexts::Read(m_lang);
    // Appending to a sorted view costs a search and an insertion per row: sort once at the end.
    const std::string sortOrder = m_dataExport.IndexName();
    (void)m_dataExport.SetIndexName("");
    LoadOutcome outcome = load(texts);
    (void)m_dataExport.SetIndexName(sortOrder);
    if (m_keepCheckpoint)
        outcome.checkpointSaved = static_cast<bool>(m_dataExport.SaveToFile(CheckpointPath()));
    m_dataExport.First();
    m_stopRequested = false;
    return outcome;
}

LoadOutcome RepData::LoadCsvFiles(const std::vector<std::string>& paths, IDataGrid* grid) {
    return RunLoad([&](const DataTexts& texts) {
        WorkbenchLoader loader(m_dataExport, m_stopRequested, m_progress, texts, grid);
        return loader.LoadDelimited(paths, ";", WorkbenchLoader::RefusedRow::Skip);
    });
}

LoadOutcome RepData::LoadTxtFiles(const std::vector<std::string>& paths, const std::string& separatorName,
                                  IDataGrid* grid) {
    LoadOutcome outcome = RunLoad([&](const DataTexts& texts) {
        WorkbenchLoader loader(m_dataExport, m_stopRequested, m_progress, texts, grid);
        const std::string separator = TextLineFormat::FromSeparatorName(separatorName).separator;
        return loader.LoadDelimited(paths, separator, WorkbenchLoader::RefusedRow::EndLoad);
    });
    m_dataExport.ClearFilters();
    return outcome;
}

LoadOutcome RepData::LoadXmlFiles(const std::vector<std::string>& paths, IDataGrid* grid) {
    return RunLoad([&](const DataTexts& texts) {
        WorkbenchLoader loader(m_dataExport, m_stopRequested, m_progress, texts, grid);
        return loader.LoadXml(paths);
    });
}

ExportOutcome RepData::ExportCsv(TableHandle& table, const std::string& path, int recordsPerFile,
                                 const EntExportData& options, IDataGrid* grid) {
    ConnectStopButton();
    const DataTexts texts = DataTexts::Read(m_lang);
    DelimitedExporter exporter(m_stopRequested, m_progress, texts, grid);
    ExportOutcome outcome = exporter.Export(table, path, recordsPerFile, options, std::nullopt);
    m_stopRequested = false;
    return outcome;
}

ExportOutcome RepData::ExportTxt(TableHandle& table, const std::string& path, int recordsPerFile,
                                 const EntExportData& options, const std::string& separatorName,
                                 IDataGrid* grid) {
    ConnectStopButton();
    const DataTexts texts = DataTexts::Read(m_lang);
    DelimitedExporter exporter(m_stopRequested, m_progress, texts, grid);
    ExportOutcome outcome = exporter.Export(table, path, recordsPerFile, options,
                                            TextLineFormat::FromSeparatorName(separatorName));
    m_stopRequested = false;
    return outcome;
}

ExportOutcome RepData::ExportXml(TableHandle& table, const std::string& path, const EntExportData&) {
    ExportOutcome outcome;
    if (!table.IsOpen() || table.TotalRowCount() == 0)
        return outcome;
    m_progress.ProgressStart(1, 1);
    m_progress.ProgressTotal(0, m_lang.ReadText(6000, 112));
    if (TableResult saved = table.SaveToFile(path); !saved) {
        outcome.ok = false;
        outcome.error = saved.Message();
    } else {
        outcome.files.push_back(path);
        outcome.records = table.TotalRowCount();
    }
    m_progress.ProgressClose();
    return outcome;
}

} // namespace harvexa
