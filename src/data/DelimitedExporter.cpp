#include "data/DelimitedExporter.h"

#include "core/ProgressView.h"
#include "core/tables/TableHandle.h"
#include "data/ExportFileNames.h"
#include "data/ExportFileWriter.h"
#include "data/IDataGrid.h"

#include <algorithm>
#include <climits>

namespace harvexa {

namespace {

constexpr std::size_t kProgressEvery = 100;
constexpr std::string_view kLineEnd = "\r\n";
// Lines are gathered and handed to the file writer in blocks of about this size.
constexpr std::size_t kBlockSize = 256 * 1024;

int GaugeValue(std::size_t value) {
    return static_cast<int>(std::min<std::size_t>(value, INT_MAX));
}

} // namespace

DelimitedExporter::DelimitedExporter(std::atomic<bool>& stopRequested, IProgressView& progress,
                                     const DataTexts& texts, IDataGrid* grid)
    : m_stopRequested(stopRequested)
    , m_progress(progress)
    , m_texts(texts)
    , m_grid(grid) {}

bool DelimitedExporter::StopSeen() {
    return m_stopRequested.load(std::memory_order_relaxed) && m_stopRequested.exchange(false);
}

ExportOutcome DelimitedExporter::Export(TableHandle& table, const std::string& path, int recordsPerFile,
                                        const EntExportData& options,
                                        const std::optional<TextLineFormat>& textFormat) {
    ExportOutcome outcome;
    const std::size_t count = table.RecordCount();
    if (count == 0)
        return outcome;
    const std::size_t perFile =
        recordsPerFile <= 0 || count < static_cast<std::size_t>(recordsPerFile) ? count : recordsPerFile;
    const std::string& writingText = textFormat ? m_texts.writingText : m_texts.writingCsv;

    m_progress.ProgressStart(GaugeValue(count), GaugeValue(count));
    m_progress.ProgressTotal(0, m_texts.working);
    GridUpdateGuard suspended(m_grid);
    ExportFileWriter writer;
    std::string block;
    block.reserve(kBlockSize + 4096);
    std::size_t handled = 0;
    table.First();
    while (!table.Eof()) {
        const std::string name = handled == 0 ? path : SplitExportFileName(path, handled);
        if (!writer.Open(name)) {
            outcome.ok = false;
            outcome.error = writer.Error();
            break;
        }
        for (std::size_t inFile = 0; inFile < perFile; ++inFile) {
            if (handled % kProgressEvery == 0)
                m_progress.ProgressPartial(GaugeValue(handled), writingText);
            if (StopSeen() || table.Eof())
                break;
            const ExportValues values = ExportValuesOf(table.CurrentRow());
            if (!textFormat) {
                AppendCsvLine(block, values, options);
                block += kLineEnd;
            } else if (AppendTextLine(block, values, options, *textFormat)) {
                block += kLineEnd;
            }
            if (block.size() >= kBlockSize) {
                if (!writer.Write(block))
                    break;
                block.clear();
            }
            table.Next();
            ++handled;
        }
        m_progress.ProgressTotal(GaugeValue(handled), m_texts.closingFile);
        const bool written = writer.Write(block) && writer.Commit();
        block.clear();
        if (!written) {
            writer.Abandon();
            outcome.ok = false;
            outcome.error = writer.Error();
            break;
        }
        // A stop before the first record of a file leaves it empty; the next file takes its name again.
        if (outcome.files.empty() || outcome.files.back() != name)
            outcome.files.push_back(name);
    }
    outcome.records = handled;
    m_progress.ProgressClose();
    return outcome;
}

} // namespace harvexa
