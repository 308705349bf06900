#pragma once

#include "core/ProgressClock.h"
#include "core/ProgressView.h"
#include "ui/TfrmMatrizSDI.h"

#include <functional>

class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

namespace harvexa {

class UserMessages;

// The progress window of long operations: total and partial gauges with captions, remaining and
// elapsed time, a busy animation and Stop. Stays on top; closing it only hides it.
class TfrmProgress final : public TfrmMatrizSDI, public IProgressView {
    Q_OBJECT
public:
    static constexpr int kSection = 1000;
    static constexpr int kClockIntervalMs = 1000;
    using TimeSource = std::function<ProgressClock::Clock::time_point()>;

    TfrmProgress(CLLang& lang, UserMessages& messages, QWidget* parent = nullptr);

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

    // Where the clock takes "now" from; the steady clock unless a test replaces it.
    void SetTimeSource(TimeSource now);
    // One tick of the remaining-time clock (what tmLeft runs every second).
    void TickRemainingTime();

    bool ClockRunning() const;
    bool AnimationRunning() const { return m_animationOn; }
    int PartialValue() const { return m_partialValue; }
    int PartialMax() const { return m_partialMax; }
    int TotalValue() const { return m_totalValue; }
    int TotalMax() const { return m_totalMax; }

private:
    void SetPartial(int value);
    void SetTotal(int value);
    void SetAnimation(bool on);
    void StartPartialClock();
    void StopClicked();

    UserMessages& m_messages;
    ProgressClock m_clock;
    TimeSource m_now;
    StopCallback m_onStop;
    int m_partialValue = 0;
    int m_partialMax = 0;
    int m_totalValue = 0;
    int m_totalMax = 0;
    bool m_animationOn = false;

    QLabel* m_lbTotal = nullptr;
    QProgressBar* m_gaugeTotal = nullptr;
    QLabel* m_lbParcial = nullptr;
    QProgressBar* m_gaugeParcial = nullptr;
    QLabel* m_lbTimeLeft = nullptr;
    QLabel* m_lbElapsedTime = nullptr;
    QProgressBar* m_animation = nullptr;
    QPushButton* m_btnParar = nullptr;
    QTimer* m_tmLeft = nullptr;
};

} // namespace harvexa
