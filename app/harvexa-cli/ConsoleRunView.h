#pragma once

#include "execution/IProcessingView.h"

#include <ostream>

namespace harvexa {

// A run on the console: one progress line on the error stream, access errors as lines of their own.
class ConsoleRunView final : public IProcessingView {
public:
    explicit ConsoleRunView(std::ostream& err)
        : m_err(err) {}

    void RunStarted(const std::string& shortName) override;
    void ShowCounters(const RunCounters& counters) override;
    void WorkerStatus(std::int64_t, const std::string&, const std::string&, std::int64_t,
                      std::int64_t) override {}
    void ClearWorkerRows() override {}
    void CapturedRow(const std::array<std::string, 7>&) override { ++m_rows; }
    void FilesStatus(const std::string&) override {}
    void LogEntry(const std::string& when, const std::string& message, const std::string& subject, int kind,
                  const std::string& caption) override;
    void RunEnded(const std::string& message) override;

private:
    std::ostream& m_err;
    long long m_rows = 0;
};

} // namespace harvexa
