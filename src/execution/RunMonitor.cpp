#include "execution/RunMonitor.h"

#include "core/CLFacade.h"
#include "execution/NegResearch.h"

#include <cstdlib>

namespace harvexa {

RunMonitor::RunMonitor(NegResearch& controller, const RunTimerIntervals& intervals)
    : m_controller(controller)
    , m_intervals(intervals) {
    const auto setUp = [this](QTimer& timer, int interval, void (RunMonitor::*job)()) {
        timer.setInterval(interval);
        connect(&timer, &QTimer::timeout, this, job);
    };
    setUp(m_process, m_intervals.process, &RunMonitor::SampleSpeed);
    setUp(m_threads, m_intervals.threads, &RunMonitor::OnThreads);
    setUp(m_garbage, m_intervals.garbage, &RunMonitor::OnGarbage);
    setUp(m_forcedStop, 1000, &RunMonitor::OnForcedStop);
    setUp(m_refresh, m_intervals.refresh, &RunMonitor::OnRefresh);
    setUp(m_endWatch, m_intervals.endWatch, &RunMonitor::OnEndWatch);
    setUp(m_topUp, m_intervals.topUp, &RunMonitor::OnTopUp);
}

void RunMonitor::Start() {
    m_lastBytesChange = std::chrono::steady_clock::now();
    m_process.start();
    m_threads.start();
    m_refresh.start();
    m_endWatch.start();
    m_topUp.start();
}

void RunMonitor::ArmForcedStop(int intervalMs) {
    m_forcedStop.setInterval(std::max(1, intervalMs));
    m_forcedStop.start();
}

void RunMonitor::StopMonitorTimers() {
    for (QTimer* timer :
         {&m_process, &m_threads, &m_garbage, &m_forcedStop, &m_refresh, &m_endWatch, &m_topUp})
        timer->stop();
}

void RunMonitor::StopRunTimers() {
    for (QTimer* timer : {&m_threads, &m_process, &m_garbage, &m_forcedStop, &m_refresh})
        timer->stop();
}

bool RunMonitor::AnyTimerActive() const {
    for (const QTimer* timer :
         {&m_process, &m_threads, &m_garbage, &m_forcedStop, &m_refresh, &m_endWatch, &m_topUp})
        if (timer->isActive())
            return true;
    return false;
}

void RunMonitor::SampleSpeed() {
    m_sampleIndex = m_sampleIndex >= 10 ? 1 : m_sampleIndex + 1;
    const std::int64_t bytes = m_counters.bytes;
    m_samples[static_cast<std::size_t>(m_sampleIndex - 1)] =
        static_cast<double>(bytes - m_lastBytes) / static_cast<double>(std::max(1, m_intervals.process));
    m_lastBytes = bytes;
    double sum = 0.0;
    for (const double sample : m_samples)
        sum += sample;
    m_counters.speedKbps = sum != 0.0 ? sum / 10.0 : 0.0;
}

void RunMonitor::OnThreads() {
    m_counters.activeWorkers = m_controller.ActiveWorkers();
    m_controller.ShowCounters();
}

void RunMonitor::OnGarbage() {
    if (m_counters.processed == 0 && m_counters.errors == 0)
        m_controller.SaveRunState();
    if (m_controller.WorkersStarted) {
        m_controller.CollectWorkers();
        m_controller.GarbageTick();
    }
}

void RunMonitor::OnForcedStop() {
    m_controller.Quiet = true;
    m_controller.KillWorkers();
    m_forcedStop.stop();
    m_controller.Quiet = false;
}

void RunMonitor::OnRefresh() {
    const int refresh = std::atoi(m_controller.Facade().lang.ReadSetting("Refresh_Memory").c_str());
    // 0 switches the refresh off; 64-bit so large settings do not overflow.
    if (refresh <= 0)
        return;
    if (m_counters.bytes > static_cast<std::int64_t>(refresh) * 1000000LL) {
        m_controller.RestartPending = true;
        m_controller.Stop(true);
        m_controller.Quiet = true;
        m_refresh.stop();
    }
}

void RunMonitor::OnEndWatch() {
    if (m_counters.remaining != 0) {
        m_endWatchFlag = false;
    } else if (m_endWatchFlag) {
        m_controller.Quiet = true;
        m_controller.Stop(false);
        m_controller.KillWorkers();
        StopMonitorTimers();
        m_controller.ForcedEnd();
        return;
    } else {
        m_endWatchFlag = true;
    }
    const auto now = std::chrono::steady_clock::now();
    const auto idle = std::chrono::duration_cast<std::chrono::minutes>(now - m_lastBytesChange).count();
    if (idle <= m_intervals.stallMinutes) {
        if (m_counters.bytes != m_bytesAtLastChange)
            m_lastBytesChange = now;
        m_bytesAtLastChange = m_counters.bytes;
    } else if (!m_controller.HaltWorkers) {
        m_controller.RestartPending = true;
        m_controller.Stop(false);
        m_controller.KillWorkers();
        m_controller.Quiet = true;
    }
}

void RunMonitor::OnTopUp() {
    if (!m_controller.WorkersStarted)
        return;
    m_controller.TopUpWorkers();
    if (m_topUpTicks <= 2) {
        ++m_topUpTicks;
        return;
    }
    m_controller.IdleCheck();
}

} // namespace harvexa
