#include "core/ProgressRelay.h"

namespace harvexa {

void ProgressRelay::Attach(IProgressView* progress, IProgressView2* progress2) {
    m_progress = progress;
    m_progress2 = progress2;
}

// Calls made while nothing is attached are dropped: there is no window to show them in.
void ProgressRelay::ProgressStart(int partialMax, int totalMax) {
    if (m_progress)
        m_progress->ProgressStart(partialMax, totalMax);
}
void ProgressRelay::ProgressTotal(int value, const std::string& text) {
    if (m_progress)
        m_progress->ProgressTotal(value, text);
}
void ProgressRelay::ProgressPartial(int value, const std::string& text) {
    if (m_progress)
        m_progress->ProgressPartial(value, text);
}
void ProgressRelay::ProgressStepTotal(const std::string& text) {
    if (m_progress)
        m_progress->ProgressStepTotal(text);
}
void ProgressRelay::ProgressStepPartial(const std::string& text) {
    if (m_progress)
        m_progress->ProgressStepPartial(text);
}
void ProgressRelay::ProgressSetPartialMax(int n) {
    if (m_progress)
        m_progress->ProgressSetPartialMax(n);
}
void ProgressRelay::ProgressSetTotalMax(int n) {
    if (m_progress)
        m_progress->ProgressSetTotalMax(n);
}
void ProgressRelay::ProgressResetPartial() {
    if (m_progress)
        m_progress->ProgressResetPartial();
}
void ProgressRelay::ProgressOnStop(StopCallback callback) {
    if (m_progress)
        m_progress->ProgressOnStop(std::move(callback));
}
void ProgressRelay::ProgressEnableStop() {
    if (m_progress)
        m_progress->ProgressEnableStop();
}
void ProgressRelay::ProgressClose() {
    if (m_progress)
        m_progress->ProgressClose();
}

void ProgressRelay::Progress2Start(const std::string& caption, const std::string& name, int maximum, bool stop,
                                   const std::string& text) {
    if (m_progress2)
        m_progress2->Progress2Start(caption, name, maximum, stop, text);
}
void ProgressRelay::Progress2Text(const std::string& name, const std::string& text) {
    if (m_progress2)
        m_progress2->Progress2Text(name, text);
}
void ProgressRelay::Progress2Step() {
    if (m_progress2)
        m_progress2->Progress2Step();
}
void ProgressRelay::Progress2SetMax(int n) {
    if (m_progress2)
        m_progress2->Progress2SetMax(n);
}
void ProgressRelay::Progress2OnStop(StopCallback callback) {
    if (m_progress2)
        m_progress2->Progress2OnStop(std::move(callback));
}
void ProgressRelay::Progress2Close() {
    if (m_progress2)
        m_progress2->Progress2Close();
}

} // namespace harvexa
