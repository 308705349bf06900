#include "core/TdtmPrincipal.h"

#include "core/AppFolderSetup.h"
#include "core/AppPaths.h"
#include "core/Restarter.h"
#include "core/tables/TableBackup.h"

#include <charconv>

namespace harvexa {

namespace {

// A resume id that is not a whole number is ignored.
int ParseResumeId(const std::vector<std::string>& arguments) {
    if (arguments.empty())
        return 0;
    const std::string& text = arguments.front();
    int id = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), id);
    return (error == std::errc() && end == text.data() + text.size()) ? id : 0;
}

int ParseLineLimit(const std::string& text) {
    int limit = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), limit);
    return (error == std::errc() && end == text.data() + text.size() && limit > 0) ? limit : 0;
}

} // namespace

TdtmPrincipal::TdtmPrincipal(FrontEnd frontEnd, TdtmInitialTables& tables, const std::vector<std::string>& arguments)
    : m_facade(std::make_unique<CLFacade>(frontEnd, tables)) {
    CLFacade& facade = *m_facade;
    if (!RegisterLibrariesOnce())
        facade.messages.ShowError("Cannot write " + AppFolder() + "registry.txt");
    if (!facade.lang.LoadSettings())
        facade.messages.ShowError("The settings in " + facade.lang.ConfigPath() +
                                  " cannot be read, not even from the backup copy. Check the file.");
    m_logLineLimit = ParseLineLimit(facade.lang.ReadConfigString("LOG", "LIMPAR_LOG", "0"));
    m_resumeId = ParseResumeId(arguments);
}

TdtmPrincipal::~TdtmPrincipal() = default;

bool TdtmPrincipal::RequestShutdown() {
    if (m_shutDown || restartPending) {
        m_shutDown = true;
        return true;
    }
    CLFacade& facade = *m_facade;
    if (!facade.messages.AskYesNo(facade.lang.ReadText(5000, 3, "Close Harvexa?")))
        return false;
    const TableCopyReport report = BackupTables(facade.progress, facade.lang);
    for (const auto& file : report.failedFiles)
        facade.messages.ShowError("The backup copy of " + file + " could not be written.");
    m_shutDown = true;
    DisarmRestarter();
    return true;
}

} // namespace harvexa
