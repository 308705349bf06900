#pragma once

#include "core/ProgressView.h"

namespace harvexa {

// Stands in for the progress windows until the front end has created them: the facade is built
// before any window exists, and the windows need the facade's texts.
class ProgressRelay final : public IProgressView, public IProgressView2 {
public:
    void Attach(IProgressView* progress, IProgressView2* progress2);

    void ProgressStart(int partialMax, int totalMax) override;
    void ProgressTotal(int value, const std::string& text) override;
    void ProgressPartial(int value, const std::string& text) override;
    void ProgressStepTotal(const std::string& text) override;
    void ProgressStepPartial(const std::string& text) override;
    void ProgressSetPartialMax(int n) override;
    void ProgressSetTotalMax(int n) override;
    void ProgressResetPartial() override;
    void ProgressOnStop(StopCallback callback) override;
    void ProgressEnableStop() override;
    void ProgressClose() override;

    void Progress2Start(const std::string& caption, const std::string& name, int maximum, bool stop,
                        const std::string& text) override;
    void Progress2Text(const std::string& name, const std::string& text) override;
    void Progress2Step() override;
    void Progress2SetMax(int n) override;
    void Progress2OnStop(StopCallback callback) override;
    void Progress2Close() override;

private:
    IProgressView* m_progress = nullptr;
    IProgressView2* m_progress2 = nullptr;
};

} // namespace harvexa
