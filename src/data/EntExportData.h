#pragma once

namespace harvexa {

// Which of the seven data columns an export writes; an unselected column is written empty.
struct EntExportData final {
    bool ExportDescription = false;
    bool ExportKeywords = false;
    bool ExportEmail = false;
    bool ExportUrl = false;
    bool ExportTitle = false;
    bool ExportFone = false;
    bool ExportFax = false;

    // Every column, as a capture file writes them.
    static EntExportData All() { return {true, true, true, true, true, true, true}; }

    bool operator==(const EntExportData&) const = default;
};

} // namespace harvexa
