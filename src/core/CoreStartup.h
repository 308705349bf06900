#pragma once

#include "core/FrontEnd.h"
#include "core/TdtmPrincipal.h"
#include "core/tables/TdtmInitialTables.h"

#include <memory>
#include <string>
#include <vector>

namespace harvexa {

// The start-up the desktop and the headless program share: application folder, tables,
// main data module. Windows are the desktop's business and come around it.
class CoreStartup final {
public:
    explicit CoreStartup(FrontEnd frontEnd);
    ~CoreStartup();

    // False when the program cannot go on (the reason was shown through the front end).
    [[nodiscard]] bool Start(const std::vector<std::string>& arguments);

    TdtmPrincipal& Principal() { return *m_principal; }
    TdtmInitialTables& Tables() { return *m_tables; }

private:
    FrontEnd m_frontEnd;
    std::unique_ptr<TdtmInitialTables> m_tables;
    std::unique_ptr<TdtmPrincipal> m_principal;
};

} // namespace harvexa
