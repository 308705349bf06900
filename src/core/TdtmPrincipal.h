#pragma once

#include "core/CLFacade.h"

#include <atomic>
#include <memory>
#include <string>
#include <vector>

namespace harvexa {

// The main data module: builds the facade, loads the settings snapshot and reads the resume id.
class TdtmPrincipal final {
public:
    // `arguments` are the program's arguments after its name; the first one is a research id to resume.
    TdtmPrincipal(FrontEnd frontEnd, TdtmInitialTables& tables, const std::vector<std::string>& arguments);
    ~TdtmPrincipal();

    CLFacade& Facade() { return *m_facade; }
    const std::string& Language() const { return m_language; }
    int ResumeId() const { return m_resumeId; }
    void ClearResumeId() { m_resumeId = 0; }
    int LogLineLimit() const { return m_logLineLimit; }

    // Set before an automatic restart: the shutdown then asks nothing and skips the backup.
    std::atomic<bool> restartPending{false};

    // The close request of the main window: true when the program may end. The facade itself lives
    // until this module goes, so windows still on screen never hold dangling references.
    bool RequestShutdown();
    bool ShutDown() const { return m_shutDown; }

private:
    std::string m_language = "en";
    std::unique_ptr<CLFacade> m_facade;
    int m_resumeId = 0;
    int m_logLineLimit = 0;
    bool m_shutDown = false;
};

} // namespace harvexa
