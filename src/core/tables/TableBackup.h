#pragma once

#include <functional>
#include <string>
#include <vector>

namespace harvexa {

class CLLang;
class IProgressView;

// What a backup or restore did. Failed copies are skipped and the rest go on.
struct TableCopyReport {
    int copied = 0;
    std::vector<std::string> failedFiles; // file names that could not be copied
};

// Compacts the directory database when it has grown large; errors are ignored by the backup.
using CompactDirectoryHook = std::function<void()>;

// Copies the six table files (tbData, tbGenerator, tbLackSites, tbResearch, tbSearchEngines,
// tbSearchQuery, in this order) from the application folder to its "backup" folder, creating that
// folder. Progress: ProgressStart(0, 6), ProgressTotal(0, text 6000/153), one ProgressStepTotal after
// each of the first five copies, ProgressClose. Each copy goes through a temporary file and a rename,
// so an interrupted backup never leaves a truncated copy.
[[nodiscard]] TableCopyReport BackupTables(IProgressView& progress, CLLang& lang,
                                           const CompactDirectoryHook& compactDirectory = {});

// Copies the same six files back from "backup" into the application folder, text 6000/154; a file
// missing from the backup is skipped and its table left as it is. Creates no folder.
[[nodiscard]] TableCopyReport RestoreTables(IProgressView& progress, CLLang& lang);

} // namespace harvexa
