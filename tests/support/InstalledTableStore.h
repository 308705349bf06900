#pragma once

#include "core/AtomicFile.h"
#include "core/CLLang.h"
#include "core/UserMessages.h"
#include "core/tables/CLConnection.h"
#include "core/tables/NegGenerator.h"
#include "core/tables/TdtmInitialTables.h"
#include "support/RecordingFrontEnd.h"
#include "support/TempAppFolder.h"

#include <memory>
#include <string>

namespace harvexa::test {

// An installed application folder with the six table files and what the repositories over them take.
struct InstalledTableStore {
    TempAppFolder app;
    TdtmInitialTables tables{app.Folder()};
    CLLang lang;
    RecordingPresenter presenter;
    UserMessages messages{lang, presenter};
    NegGenerator generator{std::make_unique<RepGenerator>(tables.tbGenerator())};
    CLConnection connection;

    // Contents of a file of the application folder, empty when it cannot be read.
    std::string File(const std::string& name) const {
        std::string contents;
        (void)ReadWholeFile(app.File(name), contents);
        return contents;
    }
};

} // namespace harvexa::test
