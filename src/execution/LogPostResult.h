#pragma once

#include "execution/LogFileOutcome.h"

#include <optional>
#include <string>

namespace harvexa {

// What one PostLogEntry did, for the run controller to act on.
struct LogPostResult final {
    bool counted = false;  // counted in the total and its kind's counter
    bool rowAdded = false; // also shown as a row
    // The consecutive network errors reached a multiple of "Max_Error": the controller sets its
    // StatusMessage to `stopMessage`, stops the run (Stop(false)) and sets Stopped.
    bool stopRun = false;
    std::string stopMessage;
    // Set when the entry was the rotation marker (or filled the unsaved lines) and the file was written.
    std::optional<LogFileOutcome> fileWrite;
};

} // namespace harvexa
