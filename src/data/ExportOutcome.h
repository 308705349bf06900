#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace harvexa {

// What an export wrote. `ok` is false when a file could not be created or written; files finished
// before the failure are complete and listed, the failed one is not left behind.
struct ExportOutcome final {
    bool ok = true;
    std::vector<std::string> files;
    std::size_t records = 0; // records handled (written, or skipped as empty text lines)
    std::string error;

    explicit operator bool() const { return ok; }
};

} // namespace harvexa
