#pragma once

#include <cstddef>
#include <string>

namespace harvexa {

// The result of writing the processing log to its file.
struct LogFileOutcome final {
    bool written = false; // every line due was written
    std::string path;     // the file written last (or tried)
    std::size_t linesWritten = 0;
    std::size_t linesDropped = 0; // lines given up because the file stayed unwritable for too long
    std::string error;            // why not, when `written` is false
};

} // namespace harvexa
