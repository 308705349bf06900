#pragma once

#include <functional>
#include <string>

namespace harvexa {

using StopCallback = std::function<void()>;

// The progress window: a total and a partial gauge, remaining and elapsed time, Stop.
class IProgressView {
public:
    virtual ~IProgressView() = default;
    virtual void ProgressStart(int partialMax, int totalMax) = 0;
    virtual void ProgressTotal(int value, const std::string& text) = 0;
    virtual void ProgressPartial(int value, const std::string& text) = 0;
    virtual void ProgressStepTotal(const std::string& text) = 0;
    virtual void ProgressStepPartial(const std::string& text) = 0;
    virtual void ProgressSetPartialMax(int n) = 0;
    virtual void ProgressSetTotalMax(int n) = 0;
    virtual void ProgressResetPartial() = 0;
    virtual void ProgressOnStop(StopCallback callback) = 0;
    virtual void ProgressEnableStop() = 0;
    virtual void ProgressClose() = 0;
};

// The second progress window: one bar with a name and a text line, Stop.
class IProgressView2 {
public:
    virtual ~IProgressView2() = default;
    virtual void Progress2Start(const std::string& caption, const std::string& name, int maximum, bool stop,
                                const std::string& text) = 0;
    virtual void Progress2Text(const std::string& name, const std::string& text) = 0;
    virtual void Progress2Step() = 0;
    virtual void Progress2SetMax(int n) = 0;
    virtual void Progress2OnStop(StopCallback callback) = 0;
    virtual void Progress2Close() = 0;
};

} // namespace harvexa
