#pragma once

#include "data/ResearchInfo.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace harvexa {

// One export file of a folder, as the export file list shows it.
struct ExportFileEntry final {
    std::string path;
    std::string name;
    std::string type; // ".txt", ".csv" or ".xml"
    std::uintmax_t size = 0;
    std::string modified; // "yyyy-mm-dd hh:mm:ss"
};

// One catalogued research: an info.ini below the export folder.
struct CatalogueResearch final {
    ResearchInfo info;
    std::size_t exportFiles = 0;
    std::string folder; // the folder of its info.ini, with a trailing "/"
};

// The folders and info.ini files below the export folder are the catalogue of exports.
class ExportCatalogue final {
public:
    // A file whose path, in lower case, contains ".txt", ".csv" or ".xml".
    static bool IsExportFile(std::string_view path);
    // The last of ".txt", ".csv", ".xml" that the lower-case path contains; "" for none.
    static std::string ExportFileType(std::string_view path);
    // The icon of a type in the export file list: 1 text, 2 CSV, 3 XML, 0 none.
    static int ExportFileIcon(std::string_view type);
    // Bytes as kilobytes, "#,##0.00 kb": 9728 -> "9.50 kb", 1263616 -> "1,234.00 kb".
    static std::string FormatKilobytes(std::uintmax_t bytes);

    // Every folder below `exportPath` holding an info.ini; with `researchId` not 0, only those whose
    // RESEARCH_ID is that id or no number at all.
    static std::vector<CatalogueResearch> ListResearches(const std::string& exportPath, int researchId);
    static std::vector<ExportFileEntry> ListExportFiles(const std::string& folder);
    static std::size_t CountExportFiles(const std::string& folder);

    // Order of two cells of the lists when sorting by a column: as numbers when both are numbers
    // (sizes "1,234.50 kb" and counts), else as date-times when `dates` and both are date-times,
    // else as texts ignoring ASCII case. Returns <0, 0 or >0.
    static int CompareListValues(std::string_view a, std::string_view b, bool dates);
};

} // namespace harvexa
