#include "core/CoreStartup.h"

#include "core/AppFolderSetup.h"
#include "core/AppPaths.h"
#include "core/AtomicFile.h"
#include "core/CLLang.h"
#include "core/ExceptionFilter.h"

namespace harvexa {

CoreStartup::CoreStartup(FrontEnd frontEnd) : m_frontEnd(frontEnd) {}

CoreStartup::~CoreStartup() = default;

bool CoreStartup::Start(const std::vector<std::string>& arguments) {
    const AppFolderSetupResult folder = PrepareAppFolder();
    if (!folder.ok) {
        AppendToErrorLog(folder.error);
        m_frontEnd.presenter.ShowMessage(MessageKind::Error, "Harvexa", folder.error);
        return false;
    }

    // Error boxes before the facade exists need only config.ini and the catalogue.
    CLLang bootstrapLang;
    UserMessages bootstrapMessages(bootstrapLang, m_frontEnd.presenter);
    if (arguments.empty() && !FileExists(AppFolder() + "config/text.ini"))
        bootstrapLang.RestoreConfig();

    m_tables = std::make_unique<TdtmInitialTables>();
    m_tables->ReportFailure(bootstrapMessages, bootstrapLang);

    m_principal = std::make_unique<TdtmPrincipal>(m_frontEnd, *m_tables, arguments);
    return true;
}

} // namespace harvexa
