#include "core/tables/TableBackup.h"

#include "core/AppPaths.h"
#include "core/AtomicFile.h"
#include "core/CLLang.h"
#include "core/ProgressView.h"
#include "core/tables/TableDefinitions.h"

#include <filesystem>

namespace harvexa {

namespace {

constexpr int kTableCount = 6;

TableCopyReport CopyTables(IProgressView& progress, const std::string& fromFolder,
                           const std::string& toFolder) {
    TableCopyReport report;
    const auto& tables = PersistentTablesInBackupOrder();
    for (std::size_t i = 0; i < tables.size(); ++i) {
        const std::string& name = tables[i]->FileName();
        if (CopyFileAtomically(fromFolder + name, toFolder + name))
            ++report.copied;
        else
            report.failedFiles.push_back(name);
        if (i + 1 < tables.size())
            progress.ProgressStepTotal({});
    }
    return report;
}

void StartProgress(IProgressView& progress, const std::string& status) {
    progress.ProgressStart(0, kTableCount);
    progress.ProgressTotal(0, status);
}

} // namespace

TableCopyReport BackupTables(IProgressView& progress, CLLang& lang,
                             const CompactDirectoryHook& compactDirectory) {
    const std::string folder = AppFolder();
    const std::string backup = folder + "backup/";
    std::error_code ignored;
    std::filesystem::create_directories(backup, ignored);

    const std::string status = lang.ReadText(6000, 153);
    StartProgress(progress, status);
    if (compactDirectory) {
        try {
            compactDirectory();
        } catch (...) {
            // A failed compaction must not keep the tables from being saved.
        }
    }
    TableCopyReport report = CopyTables(progress, folder, backup);
    progress.ProgressClose();
    return report;
}

TableCopyReport RestoreTables(IProgressView& progress, CLLang& lang) {
    const std::string folder = AppFolder();
    const std::string status = lang.ReadText(6000, 154);
    StartProgress(progress, status);
    TableCopyReport report = CopyTables(progress, folder + "backup/", folder);
    progress.ProgressClose();
    return report;
}

} // namespace harvexa
