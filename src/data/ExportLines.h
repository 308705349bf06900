#pragma once

#include "data/EntData.h"
#include "data/EntExportData.h"

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace harvexa {

class RowView;

// The fixed column order of every CSV and text line; also the positions of these columns in the
// workbench table.
enum class ExportColumn : std::size_t { Url, Email, Title, Description, Keywords, Fone, Fax };
inline constexpr std::size_t kExportColumnCount = 7;

using ExportValues = std::array<std::string_view, kExportColumnCount>;

ExportValues ExportValuesOf(const EntData& row);
// Columns 0 to 6 of a workbench row; views into the row.
ExportValues ExportValuesOf(const RowView& row);

bool IsColumnSelected(const EntExportData& options, ExportColumn column);

// The value as an export writes it: empty when the column is not selected, without double quotes and
// ";", and on one line (line breaks and tabs become blanks, so no value can break its line or field).
std::string CleanExportValue(std::string_view value, bool selected);
void AppendCleanExportValue(std::string& out, std::string_view value);

// One CSV line without its line end: seven quoted values separated by ";".
void AppendCsvLine(std::string& out, const ExportValues& values, const EntExportData& options);
std::string CsvLine(const EntData& row, const EntExportData& options);

// Separator and quote of a text export chosen by its separator name ("TAB" or the separator itself).
struct TextLineFormat final {
    std::string separator;
    std::string quote;

    static TextLineFormat FromSeparatorName(const std::string& name);
};

// One text line without its line end; false (and `out` unchanged) when the line came out empty,
// in which case it is not written at all.
bool AppendTextLine(std::string& out, const ExportValues& values, const EntExportData& options,
                    const TextLineFormat& format);

// Removes bytes up to and including blank (control characters and spaces) from both ends.
std::string_view TrimControlAndBlanks(std::string_view text);

} // namespace harvexa
