#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace harvexa {

// The counters a run shows.
struct RunCounters final {
    std::int64_t remaining = 0;
    std::int64_t processed = 0;
    std::int64_t errors = 0;
    std::int64_t bytes = 0;
    int activeWorkers = 0;
    double speedKbps = 0.0;
    std::int64_t capturedRows = 0;
};

// What a run shows to the user: the desktop's processing window, the console's progress line,
// a test's recording fake. Called on the user-interface thread only.
class IProcessingView {
public:
    virtual ~IProcessingView() = default;
    virtual void RunStarted(const std::string& shortName) = 0;
    virtual void ShowCounters(const RunCounters& counters) = 0;
    // One worker's status row; empty texts and a progress of 0 leave that column unchanged.
    virtual void WorkerStatus(std::int64_t workerId, const std::string& message, const std::string& url,
                              std::int64_t progress, std::int64_t icon) = 0;
    virtual void ClearWorkerRows() = 0;
    // A row accepted into the grid: url, email, title, description, keywords, phone, fax.
    virtual void CapturedRow(const std::array<std::string, 7>& values) = 0;
    virtual void FilesStatus(const std::string& text) = 0;
    virtual void LogEntry(const std::string& when, const std::string& message, const std::string& subject,
                          int kind, const std::string& caption) = 0;
    // The run has ended (also for a restart); `message` is what the user is told.
    virtual void RunEnded(const std::string& message) = 0;
};

} // namespace harvexa
