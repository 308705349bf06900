#pragma once

#include "research/RepResearch.h"
#include "support/FailingTableWrites.h"
#include "support/InstalledTableStore.h"
#include "support/RecordingFrontEnd.h"

#include <string>

namespace harvexa::test {

// The installed tables with a research repository over them.
struct ResearchStore : InstalledTableStore {
    RecordingProgress progress;
    RepResearch repository{tables, connection, generator, lang, messages, progress};

    std::string TableFile() const { return File("tbResearch.xml"); }
};

} // namespace harvexa::test
