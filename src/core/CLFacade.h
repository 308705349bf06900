#pragma once

#include "core/CLLang.h"
#include "core/FrontEnd.h"
#include "core/UserMessages.h"
#include "core/tables/CLConnection.h"
#include "core/tables/NegGenerator.h"
#include "core/tables/TdtmInitialTables.h"

namespace harvexa {

// Owns every business object for the life of the process; windows, workers and business
// objects reach them only through it.
class CLFacade final {
public:
    CLFacade(FrontEnd frontEnd, TdtmInitialTables& tables);
    CLFacade(const CLFacade&) = delete;
    CLFacade& operator=(const CLFacade&) = delete;

    CLLang lang;
    UserMessages messages;
    IProgressView& progress;
    IProgressView2& progress2;
    NegGenerator generator;
    CLConnection connection;
};

} // namespace harvexa
