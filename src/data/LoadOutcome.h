#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace harvexa {

// What a load into the workbench table did. Rows read before a failure or a stop stay in the table.
struct LoadOutcome final {
    std::size_t rowsAdded = 0;
    std::size_t filesRead = 0;         // files read to their end or to a stop
    std::size_t filesStopped = 0;      // files the stop button cut short
    std::vector<std::string> failures; // one sentence per file or row that could not be loaded
    bool checkpointSaved = false;

    bool Ok() const { return failures.empty(); }
};

} // namespace harvexa
