#pragma once

#include "core/tables/DateTime.h"

#include <cstdint>
#include <string>

namespace harvexa {

// Kinds of a processing-log entry.
inline constexpr int kLogPositive = 0;
inline constexpr int kLogAlert = 1; // a page whose fetch failed
inline constexpr int kLogNegative = 2;

// One row of the processing log. The texts are already one-line.
struct ProcessingLogEntry final {
    std::uint64_t sequence = 0; // 1 for the first row since the log was (re)started, then counting up
    DateTime dateTime;
    std::string message;
    std::string subject;
    std::string caption;
    int kind = kLogPositive;

    // The first column, as shown and as written to the log file.
    std::string DateTimeText() const { return dateTime.ToDisplayText(); }
    std::string KindText() const { return std::to_string(kind); }
    // The log-file line without its line end: the five columns joined by tabs.
    std::string FileLine() const {
        return DateTimeText() + '\t' + message + '\t' + subject + '\t' + caption + '\t' + KindText();
    }

    bool operator==(const ProcessingLogEntry&) const = default;
};

} // namespace harvexa
