#pragma once

#include "analysis/EntPageData.h"
#include "analysis/LoggedEntrySet.h"
#include "core/tables/TableHandle.h"
#include "execution/CLLackFiles.h"
#include "execution/CLLinkQueue.h"
#include "execution/CLLogEnvio.h"
#include "execution/ClVclThreadAccess.h"
#include "execution/IProcessingView.h"
#include "execution/ProcessingLog.h"
#include "execution/RunMonitor.h"
#include "research/EntResearch.h"
#include "research/IPendingLinkLoader.h"

#include <atomic>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace harvexa {

class CLFacade;
class NegData;
class RepResearch;
class ThCapture;

// Runs one research: prepares the run, seeds and drives the queue with the capture workers, accepts
// their rows into the capture file, stops and ends the run and saves its state. Everything here runs
// on the user-interface thread except what the workers read: the atomic flags and the queue.
class NegResearch final : public IPendingLinkLoader {
public:
    NegResearch(CLFacade& facade, RepResearch& repository, NegData& data, IProcessingView& view);
    ~NegResearch() override;
    NegResearch(const NegResearch&) = delete;
    NegResearch& operator=(const NegResearch&) = delete;

    void SetTimerIntervals(const RunTimerIntervals& intervals) { m_intervals = intervals; }
    // Closing the main window: the run has ended (also for a restart with RestartPending set).
    void SetCloseMainWindow(std::function<void()> close) { m_closeMainWindow = std::move(close); }
    // Started at every run; the front end decides how the restarter is armed.
    void SetArmRestarter(std::function<void(int researchId)> arm) { m_armRestarter = std::move(arm); }

    // --- Run controller ---
    // False when no run was started (unknown or finished research).
    bool BeginRun(int id, bool first);
    void StartRun(EntResearch research);
    void Tick();
    void GarbageTick();
    void IdleCheck();
    void Stop(bool ask);
    // The Stop command after the user agreed (Ctrl-C of the console).
    void StopConfirmed();
    void SaveRunState();
    void SeedFromSiteList(const std::string& text);

    // --- Row acceptance and capture file ---
    int AcceptPageRows(const EntPageData& page);
    void RotateCaptureFile(int n);
    void RequestSplitIfDue();

    // --- Worker pool ---
    void StartWorkers(int n);
    void CollectWorkers();
    void KillWorkers();
    void TopUpWorkers();
    // The end watchdog's forced end: no final rotation, no end handling; the journals keep the queue.
    void ForcedEnd();
    void ShowCounters();

    // --- Reached by the workers ---
    void ApplyReport(const ClVclThreadAccess& carrier);
    void WorkerEnded(ThCapture& worker);
    // AcceptPage of a worker (user-interface thread); the number of rows gone through.
    int HandOverPage(const EntPageData& page);
    CLLinkQueue& Queue() { return m_queue; }
    CLFacade& Facade() { return m_facade; }
    LoggedEntrySet& LoggedUrls() { return m_loggedUrls; }
    LoggedEntrySet& LoggedEmails() { return m_loggedEmails; }
    std::string TextOf(int section, int key);
    // Processing-log entry; on the user-interface thread. Failed fetches count towards the
    // network-error stop by their message.
    void PostLogEntry(const std::string& message, const std::string& subject, int kind,
                      const std::string& caption);
    ProcessingLog& Log() { return m_log; }

    // IPendingLinkLoader: the research repository loads a research's queue through the run's queue.
    void LoadPendingLinks(EntResearch& research) override;

    // --- State ---
    const std::optional<EntResearch>& CurrentResearch() const { return m_current; }
    RunMonitor* Monitor() { return m_monitor.get(); }
    bool RunActive() const { return m_monitor != nullptr && !m_runOver; }
    bool RunOver() const { return m_runOver; }
    const std::string& StatusMessage() const { return m_statusMessage; }
    const std::string& CaptureFileName() const { return m_captureWriter.FileName(); }
    const std::vector<std::string>& CaptureFilesWritten() const { return m_captureFiles; }
    int ActiveWorkers() const { return m_activeWorkers; }

    std::atomic<bool> HaltWorkers{false};
    std::atomic<bool> Exporting{false};
    std::atomic<bool> AbortExtraction{false};
    std::atomic<bool> CaptureEmail{false};
    bool Stopped = false;
    bool PartialExport = false;
    bool WorkersStarted = false;
    bool FinalExportDone = false;
    bool TickEnabled = false;
    bool EndHandled = false;
    bool TickBusy = false;
    bool SavingRunState = false;
    bool RestartPending = false;
    bool SplitRequested = false;
    bool Quiet = false;

private:
    void OpenCaptureFile();
    void FilesStatusUpdate();
    void EndOfRun();
    void ProcessEvents();
    int Setting(const char* key, int fallback);

    CLFacade& m_facade;
    RepResearch& m_repository;
    NegData& m_data;
    IProcessingView& m_view;
    RunTimerIntervals m_intervals;
    std::function<void()> m_closeMainWindow;
    std::function<void(int)> m_armRestarter;

    CLLogEnvio m_captureWriter;
    CLLogEnvio m_pendingWriter;
    CLLogEnvio m_processedWriter;
    CLLinkQueue m_queue;
    CLLackFiles m_lackFiles;
    LoggedEntrySet m_loggedUrls;
    LoggedEntrySet m_loggedEmails;

    std::optional<EntResearch> m_current;
    std::string m_statusMessage;
    std::unique_ptr<RunMonitor> m_monitor;
    std::vector<std::unique_ptr<ThCapture>> m_workers;
    std::vector<std::unique_ptr<ThCapture>> m_abandoned;
    std::int64_t m_nextWorkerId = 1;
    int m_activeWorkers = 0;
    bool m_runOver = false;

    // Row acceptance state of the processing window.
    bool m_repeatedEmails = false;
    std::deque<std::string> m_recentRowEmails;
    std::deque<std::string> m_recentGridEmails;
    std::int64_t m_gridRows = 0;
    int m_filesWritten = 0;
    std::vector<std::string> m_captureFiles;

    // The processing log of the run, shown through the view.
    class LogViewRelay;
    std::unique_ptr<LogViewRelay> m_logRelay;
    ProcessingLog m_log;
};

} // namespace harvexa
