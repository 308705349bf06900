#pragma once

#include "execution/IProcessingView.h"

#include <QObject>
#include <QTimer>
#include <array>
#include <chrono>
#include <cstdint>

namespace harvexa {

class NegResearch;

// Timer intervals of a run in milliseconds; tests and the demo shorten them here.
struct RunTimerIntervals final {
    int process = 1000;    // speed figure
    int threads = 1000;    // elapsed time and active workers
    int garbage = 3000;    // collect ended workers, end the run
    int refresh = 3000;    // memory refresh
    int endWatch = 120000; // end and stall watchdogs
    int topUp = 10000;     // top-up and idle check
    int stallMinutes = 5;  // whole minutes without a received byte before a restart
};

// The run's model of the processing window: counters, speed samples and the monitor timers. A
// QObject on the user-interface thread, not a widget, so the desktop and the console share it.
class RunMonitor final : public QObject {
public:
    RunMonitor(NegResearch& controller, const RunTimerIntervals& intervals);

    RunCounters& Counters() { return m_counters; }
    const RunCounters& Counters() const { return m_counters; }
    const RunTimerIntervals& Intervals() const { return m_intervals; }

    void Start();
    void EnableGarbage() { m_garbage.start(); }
    void ArmForcedStop(int intervalMs);
    // The seven monitor timers.
    void StopMonitorTimers();
    // tmThreads, tmProcess, tmGarbage, tmForcarParada, tmRefresh.
    void StopRunTimers();
    bool AnyTimerActive() const;

    // Speed figure: one sample of the received-bytes counter (tmProcess's job).
    void SampleSpeed();

private:
    void OnThreads();
    void OnGarbage();
    void OnForcedStop();
    void OnRefresh();
    void OnEndWatch();
    void OnTopUp();

    NegResearch& m_controller;
    RunTimerIntervals m_intervals;
    RunCounters m_counters;
    QTimer m_process;
    QTimer m_threads;
    QTimer m_garbage;
    QTimer m_forcedStop;
    QTimer m_refresh;
    QTimer m_endWatch;
    QTimer m_topUp;
    std::array<double, 10> m_samples{};
    int m_sampleIndex = 0;
    std::int64_t m_lastBytes = 0;
    bool m_endWatchFlag = false;
    int m_topUpTicks = 0;
    std::int64_t m_bytesAtLastChange = -1;
    std::chrono::steady_clock::time_point m_lastBytesChange = std::chrono::steady_clock::now();
};

} // namespace harvexa
