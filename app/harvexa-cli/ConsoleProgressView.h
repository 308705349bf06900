#pragma once

#include "core/ProgressView.h"

#include <ostream>

namespace harvexa {

// Both progress windows of the headless program: one status line per change on the error stream.
class ConsoleProgressView final : public IProgressView, public IProgressView2 {
public:
    explicit ConsoleProgressView(std::ostream& err) : m_err(err) {}

    void ProgressStart(int partialMax, int totalMax) override;
    void ProgressTotal(int value, const std::string& text) override;
    void ProgressPartial(int value, const std::string& text) override;
    void ProgressStepTotal(const std::string& text) override;
    void ProgressStepPartial(const std::string& text) override;
    void ProgressSetPartialMax(int n) override { m_partialMax = n; }
    void ProgressSetTotalMax(int n) override { m_totalMax = n; }
    void ProgressResetPartial() override { m_partial = 0; }
    void ProgressOnStop(StopCallback callback) override { m_stop = std::move(callback); }
    void ProgressEnableStop() override {}
    void ProgressClose() override;

    void Progress2Start(const std::string& caption, const std::string& name, int maximum, bool stop,
                        const std::string& text) override;
    void Progress2Text(const std::string& name, const std::string& text) override;
    void Progress2Step() override;
    void Progress2SetMax(int n) override;
    void Progress2OnStop(StopCallback callback) override { m_stop = std::move(callback); }
    void Progress2Close() override;

    // Ctrl-C in the headless program presses the Stop button of whichever view is open.
    void RequestStop();

private:
    void Print(const std::string& text, int value, int maximum);

    std::ostream& m_err;
    int m_partialMax = 0;
    int m_totalMax = 0;
    int m_partial = 0;
    int m_total = 0;
    int m_bar = 0;
    int m_barMax = 0;
    StopCallback m_stop;
};

} // namespace harvexa
