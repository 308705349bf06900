#pragma once

#include <string>

namespace harvexa {

// The six switches of section "LOG" that govern filter log entries.
enum class FilterLogSwitch {
    UrlPositive,
    UrlNegative,
    EmailPositive,
    EmailNegative,
    ContentPositive,
    ContentNegative
};

// Where the capture filters send their decisions. Filters run on worker threads, several at once,
// so every member must be safe to call concurrently.
class FilterLogSink {
public:
    virtual ~FilterLogSink() = default;
    // The switch's setting, read on use; default on.
    virtual bool IsOn(FilterLogSwitch which) const = 0;
    // Text 6000/key of the text catalogue.
    virtual std::string Text(int key) const = 0;
    // One processing-log entry: kind 0 positive, 2 negative.
    virtual void PostLogEntry(const std::string& message, const std::string& subject, int kind,
                              const std::string& caption) = 0;
};

} // namespace harvexa
