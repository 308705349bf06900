#include "ConsoleRunView.h"

#include <cstdio>

namespace harvexa {

void ConsoleRunView::RunStarted(const std::string& shortName) {
    m_err << "Running research \"" << shortName << "\"\n";
}

void ConsoleRunView::ShowCounters(const RunCounters& c) {
    char speed[32];
    std::snprintf(speed, sizeof speed, "%.1f", c.speedKbps);
    m_err << "remaining " << c.remaining << "  processed " << c.processed << "  errors " << c.errors
          << "  bytes " << c.bytes << "  speed " << speed << " Kb/s  workers " << c.activeWorkers << "  rows "
          << c.capturedRows << '\n';
}

void ConsoleRunView::LogEntry(const std::string&, const std::string& message, const std::string& subject,
                              int kind, const std::string&) {
    if (kind == 1)
        m_err << "error: " << message << (subject.empty() ? "" : " (" + subject + ")") << '\n';
}

void ConsoleRunView::RunEnded(const std::string& message) {
    m_err << "Run ended: " << message << '\n';
}

} // namespace harvexa
