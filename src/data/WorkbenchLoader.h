#pragma once

#include "core/tables/FieldRef.h"
#include "data/DataTexts.h"
#include "data/LoadOutcome.h"

#include <atomic>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace harvexa {

class IDataGrid;
class IProgressView;
class TableHandle;

// Appends the rows of capture and export files to the workbench table, addressing its columns by
// position. Polls the stop flag once per row: a stop ends the current file and the load goes on
// with the next one. Files that are not valid UTF-8 are read as Windows-1252.
class WorkbenchLoader final {
public:
    // What happens to a row the table refuses.
    enum class RefusedRow { Skip, EndLoad };

    WorkbenchLoader(TableHandle& table, std::atomic<bool>& stopRequested, IProgressView& progress,
                    const DataTexts& texts, IDataGrid* grid);

    // Lines of separated fields: every occurrence of `separator` ends a field, double quotes are
    // dropped, field k goes to column k; a value a column cannot hold leaves that column empty and
    // fields beyond the last column are dropped. Empty lines add no row.
    LoadOutcome LoadDelimited(const std::vector<std::string>& paths, std::string_view separator,
                              RefusedRow refused);
    // XML data packets; each file's columns are matched to the workbench columns by name.
    LoadOutcome LoadXml(const std::vector<std::string>& paths);

private:
    // False when the whole load must end.
    bool LoadDelimitedFile(const std::string& path, bool utf8, std::string_view separator, RefusedRow refused,
                           LoadOutcome& outcome);
    bool LoadXmlFile(const std::string& path, LoadOutcome& outcome);
    void AppendFields(std::string_view line, std::string_view separator);
    bool StopSeen();
    void StartFile(std::size_t index, std::size_t count, std::size_t rows);
    void ShowRowProgress(std::size_t row);

    TableHandle& m_table;
    std::atomic<bool>& m_stopRequested;
    IProgressView& m_progress;
    const DataTexts& m_texts;
    IDataGrid* m_grid;
    std::vector<FieldRef> m_columns;
    std::string m_unquoted; // scratch for a field without its quotes
};

} // namespace harvexa
