#pragma once

#include "data/DataTexts.h"
#include "data/EntExportData.h"
#include "data/ExportLines.h"
#include "data/ExportOutcome.h"

#include <atomic>
#include <optional>
#include <string>

namespace harvexa {

class IDataGrid;
class IProgressView;
class TableHandle;

// Writes the visible rows of a table, in their current order, as CSV or separated text lines with
// CR LF line ends, split into files of a fixed number of records. The stop button ends the current
// file early; the next file goes on from the current record.
class DelimitedExporter final {
public:
    DelimitedExporter(std::atomic<bool>& stopRequested, IProgressView& progress, const DataTexts& texts,
                      IDataGrid* grid);

    // `textFormat` absent: CSV lines; present: text lines of that format.
    ExportOutcome Export(TableHandle& table, const std::string& path, int recordsPerFile,
                         const EntExportData& options, const std::optional<TextLineFormat>& textFormat);

private:
    bool StopSeen();

    std::atomic<bool>& m_stopRequested;
    IProgressView& m_progress;
    const DataTexts& m_texts;
    IDataGrid* m_grid;
};

} // namespace harvexa
