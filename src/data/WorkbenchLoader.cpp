#include "data/WorkbenchLoader.h"

#include "core/ProgressView.h"
#include "core/TextEncoding.h"
#include "core/tables/TableDefinitions.h"
#include "core/tables/TableHandle.h"
#include "data/IDataGrid.h"
#include "data/LineBlockReader.h"

#include <algorithm>
#include <climits>

namespace harvexa {

namespace {

constexpr std::size_t kProgressEvery = 100;
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

int GaugeValue(std::size_t value) {
    return static_cast<int>(std::min<std::size_t>(value, INT_MAX));
}

// CR LF, a lone CR and a lone LF each end a line; a final line break adds no line.
class LineReader final {
public:
    explicit LineReader(std::string_view text)
        : m_text(text) {}

    bool Next(std::string_view& line) {
        if (m_pos >= m_text.size())
            return false;
        const char* begin = m_text.data() + m_pos;
        const char* end = m_text.data() + m_text.size();
        const char* p = begin;
        while (p != end && *p != '\n' && *p != '\r')
            ++p;
        line = std::string_view(begin, static_cast<std::size_t>(p - begin));
        if (p != end && *p == '\r' && p + 1 != end && p[1] == '\n')
            ++p;
        m_pos = static_cast<std::size_t>(p - m_text.data()) + (p != end ? 1 : 0);
        return true;
    }

private:
    std::string_view m_text;
    std::size_t m_pos = 0;
};

// What a first pass over a file finds: how to read its text and how many lines it has.
struct FileSurveyResult {
    bool utf8 = true;
    std::size_t lines = 0;
};

bool SurveyFile(const std::string& path, FileSurveyResult& survey, std::string& error) {
    LineBlockReader reader;
    if (!reader.Open(path)) {
        error = reader.Error();
        return false;
    }
    std::size_t feeds = 0;
    std::size_t returns = 0;
    char last = '\n';
    std::string_view block;
    while (reader.NextBlock(block)) {
        // Blocks end at line ends, so no character is cut in two.
        if (survey.utf8)
            survey.utf8 = IsValidUtf8(block);
        feeds += static_cast<std::size_t>(std::count(block.begin(), block.end(), '\n'));
        returns += static_cast<std::size_t>(std::count(block.begin(), block.end(), '\r'));
        last = block.back();
    }
    if (!reader.Error().empty()) {
        error = reader.Error();
        return false;
    }
    survey.lines = (feeds != 0 ? feeds : returns) + (last != '\n' && last != '\r' ? 1 : 0);
    return true;
}

} // namespace

WorkbenchLoader::WorkbenchLoader(TableHandle& table, std::atomic<bool>& stopRequested,
                                 IProgressView& progress, const DataTexts& texts, IDataGrid* grid)
    : m_table(table)
    , m_stopRequested(stopRequested)
    , m_progress(progress)
    , m_texts(texts)
    , m_grid(grid) {
    // Field references address the row being appended; made once, they serve every row.
    for (std::size_t k = 0; k < m_table.Schema().FieldCount(); ++k)
        m_columns.push_back(m_table.Field(k));
}

bool WorkbenchLoader::StopSeen() {
    return m_stopRequested.load(std::memory_order_relaxed) && m_stopRequested.exchange(false);
}

void WorkbenchLoader::StartFile(std::size_t index, std::size_t count, std::size_t rows) {
    m_progress.ProgressTotal(GaugeValue(index - 1), m_texts.FileStatus(index, count));
    m_progress.ProgressSetPartialMax(GaugeValue(rows));
}

void WorkbenchLoader::ShowRowProgress(std::size_t row) {
    if (row % kProgressEvery == 0)
        m_progress.ProgressPartial(GaugeValue(row), m_texts.ReadingStatus(row));
}

void WorkbenchLoader::AppendFields(std::string_view line, std::string_view separator) {
    const std::size_t columns = m_columns.size();
    std::size_t column = 0;
    std::size_t start = 0;
    while (column < columns) {
        const std::size_t end = separator.empty() ? std::string_view::npos : line.find(separator, start);
        std::string_view field = line.substr(start, end == std::string_view::npos ? end : end - start);
        if (field.find('"') != std::string_view::npos) {
            m_unquoted.assign(field);
            std::erase(m_unquoted, '"');
            field = m_unquoted;
        }
        // An empty field leaves the column null; a value the column cannot hold is skipped.
        if (!field.empty())
            (void)m_columns[column].TrySetString(field);
        if (end == std::string_view::npos)
            break;
        start = end + separator.size();
        ++column;
    }
}

bool WorkbenchLoader::LoadDelimitedFile(const std::string& path, bool utf8, std::string_view separator,
                                        RefusedRow refused, LoadOutcome& outcome) {
    LineBlockReader reader;
    if (!reader.Open(path)) {
        outcome.failures.push_back(reader.Error());
        return true;
    }
    GridUpdateGuard suspended(m_grid);
    std::string converted;
    std::string_view block;
    std::size_t n = 0;
    bool firstBlock = true;
    while (reader.NextBlock(block)) {
        if (!utf8) {
            converted = Windows1252ToUtf8(block);
            block = converted;
        }
        if (firstBlock && block.starts_with(kUtf8Bom))
            block.remove_prefix(kUtf8Bom.size());
        firstBlock = false;
        LineReader lines(block);
        std::string_view line;
        for (; lines.Next(line); ++n) {
            if (StopSeen()) {
                ++outcome.filesStopped;
                return true;
            }
            ShowRowProgress(n);
            if (line.empty())
                continue;
            if (TableResult appended = m_table.Append(); !appended) {
                outcome.failures.push_back(path + ": " + appended.Message());
                return false;
            }
            AppendFields(line, separator);
            if (TableResult posted = m_table.Post(); !posted) {
                m_table.Cancel();
                outcome.failures.push_back(path + ", line " + std::to_string(n + 1) + ": " +
                                           posted.Message());
                if (refused == RefusedRow::EndLoad)
                    return false;
                continue;
            }
            ++outcome.rowsAdded;
        }
    }
    if (!reader.Error().empty())
        outcome.failures.push_back(reader.Error());
    return true;
}

LoadOutcome WorkbenchLoader::LoadDelimited(const std::vector<std::string>& paths, std::string_view separator,
                                           RefusedRow refused) {
    LoadOutcome outcome;
    m_progress.ProgressStart(0, GaugeValue(paths.size()));
    m_progress.ProgressTotal(0, m_texts.working);
    for (std::size_t i = 0; i < paths.size(); ++i) {
        FileSurveyResult survey;
        std::string error;
        if (!SurveyFile(paths[i], survey, error)) {
            outcome.failures.push_back(error);
            continue;
        }
        StartFile(i + 1, paths.size(), survey.lines);
        const bool goOn = LoadDelimitedFile(paths[i], survey.utf8, separator, refused, outcome);
        ++outcome.filesRead;
        if (!goOn)
            break;
    }
    m_progress.ProgressClose();
    return outcome;
}

bool WorkbenchLoader::LoadXmlFile(const std::string& path, LoadOutcome& outcome) {
    TableHandle source;
    source.BindFile(path, DataExportTableDef());
    if (TableResult opened = source.Open(); !opened) {
        outcome.failures.push_back(opened.Message());
        return true;
    }
    const std::size_t columns = std::min(source.Schema().FieldCount(), m_columns.size());
    m_progress.ProgressSetPartialMax(GaugeValue(source.RecordCount()));
    GridUpdateGuard suspended(m_grid);
    std::size_t n = 0;
    for (const RowView row : source) {
        if (StopSeen()) {
            ++outcome.filesStopped;
            break;
        }
        ShowRowProgress(n++);
        if (TableResult appended = m_table.Append(); !appended) {
            outcome.failures.push_back(path + ": " + appended.Message());
            return false;
        }
        for (std::size_t k = 0; k < columns; ++k) {
            const CellView cell = row.Cell(k);
            if (const auto* text = std::get_if<std::string_view>(&cell))
                (void)m_columns[k].TrySetString(*text);
            else if (!IsNullCell(cell))
                (void)m_columns[k].TrySetString(CellAsString(cell));
        }
        if (TableResult posted = m_table.Post(); !posted) {
            m_table.Cancel();
            outcome.failures.push_back(path + ", row " + std::to_string(n) + ": " + posted.Message());
            continue;
        }
        ++outcome.rowsAdded;
    }
    ++outcome.filesRead;
    return true;
}

LoadOutcome WorkbenchLoader::LoadXml(const std::vector<std::string>& paths) {
    LoadOutcome outcome;
    m_progress.ProgressStart(0, GaugeValue(paths.size()));
    m_progress.ProgressTotal(0, paths.size() == 1 ? m_texts.openingXml : m_texts.working);
    for (std::size_t i = 0; i < paths.size(); ++i) {
        m_progress.ProgressTotal(GaugeValue(i), m_texts.FileStatus(i + 1, paths.size()));
        if (!LoadXmlFile(paths[i], outcome))
            break;
    }
    m_progress.ProgressClose();
    return outcome;
}

} // namespace harvexa
