#pragma once

#include "execution/ProcessingLogCounters.h"
#include "execution/ProcessingLogEntry.h"

#include <cstddef>

namespace harvexa {

// Shows the processing log (the desktop's log page, the console). Called on the thread that posted,
// in posting order, while the log holds its lock: a view may read the log back (the lock is
// recursive) but must not wait for another thread that could be posting.
class IProcessingLogView {
public:
    virtual ~IProcessingLogView() = default;
    // A row was appended at the end of the list.
    virtual void EntryAdded(const ProcessingLogEntry& entry) = 0;
    // The `count` oldest rows were removed (the line limit).
    virtual void OldestRowsRemoved(std::size_t count) = 0;
    virtual void CountersChanged(const ProcessingLogCounters& counters) = 0;
    // Every row is gone and the counters are back to 0.
    virtual void Cleared() = 0;
};

} // namespace harvexa
