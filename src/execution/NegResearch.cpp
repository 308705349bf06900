#include "execution/NegResearch.h"

#include "analysis/TextScan.h"
#include "core/CLFacade.h"
#include "data/ExportFileNames.h"
#include "data/ExportLines.h"
#include "data/NegData.h"
#include "execution/ThCapture.h"
#include "execution/UiThread.h"
#include "research/RepResearch.h"

#include <QCoreApplication>
#include <QThread>
#include <algorithm>
#include <cstdlib>

namespace harvexa {

namespace {

std::string LowerAscii(std::string_view text) {
    return analysis::LowerCopy(text);
}

// Moves `value` to the end of `list` (ignoring letter case); true when it was there.
bool TouchRecent(std::deque<std::string>& list, std::string_view value, std::size_t capacity) {
    const std::string key = LowerAscii(value);
    const auto found = std::find(list.begin(), list.end(), key);
    const bool seen = found != list.end();
    if (seen)
        list.erase(found);
    list.push_back(key);
    while (list.size() > capacity)
        list.pop_front();
    return seen;
}

std::string Trimmed(std::string_view text) {
    return std::string(analysis::TrimBlanks(text));
}

std::string CleanValue(std::string_view text) {
    return analysis::RemoveBytes(text, "\r\";");
}

} // namespace

class NegResearch::LogViewRelay final : public IProcessingLogView {
public:
    explicit LogViewRelay(IProcessingView& view)
        : m_view(view) {}
    void EntryAdded(const ProcessingLogEntry& entry) override {
        m_view.LogEntry(entry.DateTimeText(), entry.message, entry.subject, entry.kind, entry.caption);
    }
    void OldestRowsRemoved(std::size_t) override {}
    void CountersChanged(const ProcessingLogCounters&) override {}
    void Cleared() override {}

private:
    IProcessingView& m_view;
};

NegResearch::NegResearch(CLFacade& facade, RepResearch& repository, NegData& data, IProcessingView& view)
    : m_facade(facade)
    , m_repository(repository)
    , m_data(data)
    , m_view(view)
    , m_queue(m_pendingWriter, m_processedWriter)
    , m_lackFiles(facade.progress)
    , m_logRelay(std::make_unique<LogViewRelay>(view))
    , m_log(facade.lang) {
    m_log.SetView(m_logRelay.get());
    m_repository.SetPendingLinkLoader(this);
    m_lackFiles.SetMonitorTimerSwitch([this](bool running) {
        if (!running && m_monitor)
            m_monitor->StopMonitorTimers();
    });
}

NegResearch::~NegResearch() {
    // Workers still running need this thread for their hand-overs: let them finish first.
    HaltWorkers = true;
    AbortExtraction = true;
    for (auto* list : {&m_workers, &m_abandoned})
        for (auto& worker : *list)
            worker->Terminate();
    for (auto* list : {&m_workers, &m_abandoned})
        for (auto& worker : *list) {
            while (!worker->Suspended() && !worker->Finished()) {
                QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
                QThread::msleep(5);
            }
            worker->Join();
        }
    m_repository.SetPendingLinkLoader(nullptr);
}

std::string NegResearch::TextOf(int section, int key) {
    return m_facade.lang.ReadText(section, key);
}

int NegResearch::Setting(const char* key, int fallback) {
    const std::string value = m_facade.lang.ReadSetting(key);
    char* end = nullptr;
    const long number = std::strtol(value.c_str(), &end, 10);
    if (value.empty() || end == value.c_str())
        return fallback;
    return static_cast<int>(number);
}

void NegResearch::ProcessEvents() {
    if (QCoreApplication::instance() != nullptr && OnUiThread())
        QCoreApplication::processEvents();
}

// ---------------------------------------------------------------------------------------------
// Run controller

bool NegResearch::BeginRun(int id, bool first) {
    if (RunActive())
        return false;
    RestartPending = Stopped = false;
    AbortExtraction = false;
    PartialExport = FinalExportDone = WorkersStarted = TickEnabled = EndHandled = false;
    HaltWorkers = false;
    SplitRequested = false;
    TickBusy = false;
    m_runOver = false;
    m_statusMessage.clear();
    m_gridRows = 0;
    m_filesWritten = 0;
    m_captureFiles.clear();
    m_recentRowEmails.clear();
    m_recentGridEmails.clear();
    m_activeWorkers = 0;

    std::optional<EntResearch> research = m_repository.FindById(id);
    if (!research) {
        m_facade.messages.ShowError("Research " + std::to_string(id) + " not found.");
        return false;
    }
    if (first && research->research_step == EntResearch::Finished) {
        m_facade.messages.ShowError(TextOf(5000, 45));
        return false;
    }
    m_monitor = std::make_unique<RunMonitor>(*this, m_intervals);
    m_repeatedEmails = m_facade.lang.ReadSetting("Repeated_emails") != "0";
    m_view.RunStarted(research->short_name);
    if (!m_data.PrepareResearchFolder(research->short_name, research->research_description, id))
        PostLogEntry("Cannot prepare the research folder " + m_data.ResearchFolder(research->short_name), "",
                     1, "");
    m_current = *research;
    (void)m_log.WriteLogFile();
    (void)m_log.Reset();
    m_log.SetLogFolder(m_data.ResearchFolder(research->short_name));
    OpenCaptureFile();
    FilesStatusUpdate();
    if (!first && research->research_step == EntResearch::Finished) {
        m_facade.messages.ShowError(TextOf(5000, 45));
        m_captureWriter.CloseFile();
        m_monitor.reset();
        m_current.reset();
        return false;
    }
    if (first)
        m_queue.StartFirstRun(id);
    m_monitor->Start();
    StartRun(*research);
    return true;
}

void NegResearch::OpenCaptureFile() {
    const auto name = NegData::NextExportFileName(m_data.CaptureFileBase(m_current->short_name), "csv", 0, 0);
    if (name && m_captureWriter.OpenFresh(*name))
        m_captureFiles.push_back(*name);
}

void NegResearch::StartRun(EntResearch research) {
    TickEnabled = WorkersStarted = EndHandled = false;
    AbortExtraction = false;
    m_statusMessage = TextOf(5000, 92);
    m_current = std::move(research);
    Tick();
    if (m_armRestarter && m_current)
        m_armRestarter(m_current->id_research);
}

void NegResearch::Tick() {
    if (TickBusy)
        return;
    if (!m_current) {
        if (!HaltWorkers)
            RestartPending = true;
        EndOfRun();
        return;
    }
    bool seededNow = false;
    if (m_current->research_step == EntResearch::New) {
        TickBusy = true;
        seededNow = true;
        if (m_current->research_type == EntResearch::SiteList) {
            m_current->research_step = EntResearch::UnderWay;
            SeedFromSiteList(m_current->search_site_list);
            SaveRunState();
        }
        TickBusy = false;
    }
    if (m_current->research_step == EntResearch::UnderWay) {
        if (!WorkersStarted) {
            if (!seededNow) {
                if (auto loaded = m_repository.FindWithPendingLinks(m_current->id_research))
                    m_current = std::move(*loaded);
            }
            m_current->PendingLinks.reset();
            m_queue.PromoteSearchPages();
            int n = Setting("SimProcess_Capture", 10);
            const int pending = static_cast<int>(m_queue.PendingCount());
            const int priority = static_cast<int>(m_queue.PriorityCount());
            if (pending < n && priority < n)
                n = pending != 0 ? pending : priority;
            StartWorkers(n);
            WorkersStarted = true;
            return;
        }
        // Finished only when nothing at all is left: the counter alone could lose a queued link.
        const RunCounters& counters = m_monitor->Counters();
        if (m_queue.RemainingCount() == 0 && m_queue.InFlightCount() == 0 && !Stopped && !HaltWorkers &&
            FinalExportDone && (counters.processed > 0 || counters.errors > 0)) {
            m_current->research_step = EntResearch::Finished;
            m_statusMessage = TextOf(5000, 48);
        }
        if (Stopped || FinalExportDone) {
            TickEnabled = false;
            if (!EndHandled) {
                SaveRunState();
                EndHandled = true;
                if (!RestartPending) {
                    m_facade.progress.ProgressClose();
                    m_monitor->StopMonitorTimers();
                    m_captureWriter.CloseFile();
                    if (!m_queue.FlushPendingLinks(m_current->id_research))
                        PostLogEntry("The pending links could not be saved.", "", 1, "");
                    if (m_current->research_step == EntResearch::Finished)
                        CLLackFiles::DeleteLinkFiles(m_current->id_research);
                    m_facade.messages.ShowInfo(m_statusMessage);
                } else {
                    ProcessEvents();
                    m_captureWriter.CloseFile();
                    if (!m_queue.FlushPendingLinks(m_current->id_research))
                        PostLogEntry("The pending links could not be saved.", "", 1, "");
                    ProcessEvents();
                }
                if (m_current->research_step != EntResearch::Finished)
                    EndOfRun();
            }
        }
    }
    if (m_current->research_step == EntResearch::Finished) {
        EndHandled = true;
        m_facade.progress.ProgressClose();
        m_monitor->StopRunTimers();
        EndOfRun();
    }
}

void NegResearch::EndOfRun() {
    if (m_runOver)
        return;
    m_runOver = true;
    if (m_monitor)
        m_monitor->StopMonitorTimers();
    if (m_captureWriter.IsOpen() && !RestartPending && Stopped)
        m_captureWriter.CloseFile();
    m_view.RunEnded(m_statusMessage);
    if (m_closeMainWindow)
        m_closeMainWindow();
}

void NegResearch::GarbageTick() {
    ProcessEvents();
    if (!TickEnabled || !m_workers.empty() || !m_current)
        return;
    if (m_current->research_step == EntResearch::UnderWay && !FinalExportDone) {
        TickEnabled = false;
        RotateCaptureFile(Setting("SimProcess_Capture", 10));
        TickEnabled = true;
    }
    TickEnabled = false;
    Tick();
    if (!m_runOver)
        TickEnabled = true;
}

void NegResearch::IdleCheck() {
    if (m_activeWorkers != 0 || m_runOver)
        return;
    SplitRequested = true;
    PartialExport = m_monitor->Counters().remaining != 0;
    RotateCaptureFile(Setting("SimProcess_Capture", 10));
}

void NegResearch::Stop(bool ask) {
    Quiet = true;
    if (ask && !RestartPending) {
        if (!m_facade.messages.AskYesNo(TextOf(5000, 16)))
            return;
        Quiet = false;
        Stopped = true;
        HaltWorkers = true;
        PartialExport = false;
        m_statusMessage = TextOf(5000, 54);
    }
    if (RestartPending) {
        Stopped = true;
        HaltWorkers = true;
        PartialExport = false;
    }
    m_facade.progress.ProgressOnStop([this] { KillWorkers(); });
    m_facade.progress.ProgressStart(static_cast<int>(m_workers.size()), 4);
    m_facade.progress.ProgressPartial(0, TextOf(5000, 55));
    m_facade.progress.ProgressTotal(0, TextOf(5000, 56));
    if (m_monitor)
        m_monitor->ArmForcedStop(3 * Setting("Http_Time_Out", 30000));
    for (auto& worker : m_workers)
        worker->Terminate();
}

void NegResearch::StopConfirmed() {
    if (m_runOver || Stopped)
        return;
    Quiet = false;
    Stopped = true;
    HaltWorkers = true;
    PartialExport = false;
    m_statusMessage = TextOf(5000, 54);
    Stop(false);
}

void NegResearch::SaveRunState() {
    if (SavingRunState) {
        SavingRunState = false;
        return;
    }
    if (!m_current)
        return;
    SavingRunState = true;
    m_queue.MergePriorityLinks();
    EntResearch record = *m_current;
    record.PendingLinks.reset();
    m_repository.SetSavingRunState(true);
    if (!m_repository.Update(record))
        PostLogEntry("The research could not be saved.", record.short_name, 1, "");
    m_repository.SetSavingRunState(false);
    SavingRunState = false;
}

void NegResearch::SeedFromSiteList(const std::string& text) {
    for (const std::string& line : analysis::SplitLines(text))
        m_queue.AppendLink(EntLackSites(0, m_current->id_research, 0, kInternalLink, line));
}

void NegResearch::LoadPendingLinks(EntResearch& research) {
    const PendingLinksRead read = m_queue.LoadPendingLinks(research.id_research, m_lackFiles);
    if (!read.found)
        research.research_step = EntResearch::Finished;
    research.PendingLinks = PendingLinkList{};
}

// ---------------------------------------------------------------------------------------------
// Row acceptance and capture file

int NegResearch::AcceptPageRows(const EntPageData& page) {
    const std::vector<EntData> rows = NegData::RowsOfPage(page);
    if (rows.empty())
        return 0;
    const bool capturesEmail = analysis::Contains(m_current->capture_list, "email");
    const bool repeatSetting = m_facade.lang.ReadSetting("Repeated_emails") == "1";
    int handled = 0;
    for (const EntData& source : rows) {
        const bool seen = TouchRecent(m_recentRowEmails, source.email, 1000);
        if (!seen || repeatSetting || !capturesEmail) {
            EntData row;
            row.url = CleanValue(source.url);
            row.email = CleanValue(Trimmed(source.email));
            row.title = CleanValue(Trimmed(source.title));
            row.meta_tag_description = CleanValue(Trimmed(source.meta_tag_description));
            row.meta_tag_keywords = CleanValue(Trimmed(source.meta_tag_keywords));
            row.fone = CleanValue(source.fone);
            row.fax = CleanValue(source.fax);
            const bool hasContent = !row.email.empty() || !capturesEmail || !row.meta_tag_keywords.empty() ||
                                    !row.fone.empty() || !row.fax.empty() || !row.title.empty();
            if (hasContent) {
                const std::string email = Trimmed(row.email);
                if (email.empty() && CaptureEmail)
                    break;
                bool add = true;
                if (!email.empty() && TouchRecent(m_recentGridEmails, email, 500) && !m_repeatedEmails)
                    add = false;
                if (add) {
                    m_view.CapturedRow({row.url, row.email, row.title, row.meta_tag_description,
                                        row.meta_tag_keywords, row.fone, row.fax});
                    ++m_gridRows;
                    EntData line{Trimmed(row.email),
                                 Trimmed(row.meta_tag_description),
                                 Trimmed(row.meta_tag_keywords),
                                 Trimmed(row.title),
                                 Trimmed(row.url),
                                 Trimmed(row.fax),
                                 Trimmed(row.fone)};
                    if (!m_captureWriter.WriteLine(CsvLine(line, EntExportData::All())))
                        PostLogEntry("A row could not be written to " + m_captureWriter.FileName(), row.url,
                                     1, "");
                    ++m_monitor->Counters().capturedRows;
                }
            }
        }
        ++handled;
    }
    return handled;
}

void NegResearch::FilesStatusUpdate() {
    if (!Stopped && !HaltWorkers)
        m_gridRows = 0;
    ++m_filesWritten;
    const int split = m_current ? m_current->qtd_quebra : 0;
    const bool portuguese = m_facade.lang.ReadConfigString("SYS CONFIG", "Language", "en") == "pt_br";
    m_view.FilesStatus(portuguese ? "Arquivos: " + std::to_string(m_filesWritten) + " ,com cerca de " +
                                        std::to_string(split) + " registros cada"
                                  : "files: " + std::to_string(m_filesWritten) + " ,with about of " +
                                        std::to_string(split) + " records each");
}

void NegResearch::RotateCaptureFile(int /*n*/) {
    if (!m_current)
        return;
    const bool final = !PartialExport || FinalExportDone;
    if (final)
        FinalExportDone = true;
    else
        PartialExport = false;
    m_facade.progress.ProgressTotal(0, TextOf(5000, 50));
    m_captureWriter.CloseFile();
    OpenCaptureFile();
    FilesStatusUpdate();
    if (!final)
        SaveRunState();
    PostLogEntry("99999", TextOf(5000, 52), 0, "");
    m_facade.progress.ProgressClose();
    if (final && m_monitor)
        m_monitor->StopRunTimers();
    Tick();
}

void NegResearch::RequestSplitIfDue() {
    if (RestartPending || !m_current)
        return;
    if (m_current->qtd_quebra > 0 && m_current->qtd_quebra < m_gridRows + 2)
        SplitRequested = true;
}

int NegResearch::HandOverPage(const EntPageData& page) {
    if (m_runOver || !m_current)
        return 0;
    QThread::usleep(1000);
    const int n = AcceptPageRows(page);
    if (n >= 1) {
        ++m_monitor->Counters().processed;
        RequestSplitIfDue();
    }
    if (SplitRequested) {
        Exporting = true;
        SplitRequested = false;
        PartialExport = true;
        RotateCaptureFile(Setting("SimProcess_Capture", 10));
        Exporting = false;
    }
    return n;
}

// ---------------------------------------------------------------------------------------------
// Processing log

void NegResearch::PostLogEntry(const std::string& message, const std::string& subject, int kind,
                               const std::string& caption) {
    const LogPostResult result = m_log.PostLogEntry(message, subject, kind, caption);
    if (result.stopRun && !m_runOver && !Stopped) {
        m_statusMessage = result.stopMessage;
        Stop(false);
        Stopped = true;
    }
}

// ---------------------------------------------------------------------------------------------
// Worker pool

void NegResearch::StartWorkers(int n) {
    FinalExportDone = false;
    if (m_activeWorkers != 0)
        n = std::abs(n - m_activeWorkers);
    else
        m_activeWorkers = n;
    const std::size_t most = static_cast<std::size_t>(std::max(0, Setting("SimProcess_Capture", 10)));
    auto snapshot = std::make_shared<const EntResearch>(*m_current);
    for (int i = 0; i < n; ++i) {
        if (m_workers.size() >= most)
            break;
        const std::int64_t id = m_nextWorkerId++;
        m_workers.push_back(std::make_unique<ThCapture>(*this, id, snapshot));
        m_view.WorkerStatus(id, TextOf(5000, 57), "0", 0, 2);
        ProcessEvents();
    }
    for (auto& worker : m_workers)
        if (worker->Suspended() && !worker->Finished())
            worker->Resume();
    m_activeWorkers = static_cast<int>(std::count_if(m_workers.begin(), m_workers.end(),
                                                     [](const auto& worker) { return !worker->Finished(); }));
    m_current->ActiveWorkers = m_activeWorkers;
    TickEnabled = true;
    ProcessEvents();
    if (m_monitor)
        m_monitor->EnableGarbage();
}

void NegResearch::CollectWorkers() {
    if (m_activeWorkers == 0) {
        for (auto& worker : m_workers)
            worker->Join();
        m_workers.clear();
    }
    if (m_workers.empty())
        m_view.ClearWorkerRows();
    // Abandoned workers are joined once they have ended.
    std::erase_if(m_abandoned, [](const auto& worker) {
        if (!worker->Finished())
            return false;
        worker->Join();
        return true;
    });
}

void NegResearch::KillWorkers() {
    if (!Quiet && !m_facade.messages.AskYesNo(TextOf(5000, 38)))
        return;
    AbortExtraction = true;
    ProcessEvents();
    m_view.ClearWorkerRows();
    ProcessEvents();
    for (auto& worker : m_workers) {
        worker->Terminate();
        m_abandoned.push_back(std::move(worker));
    }
    m_workers.clear();
}

void NegResearch::TopUpWorkers() {
    if (!WorkersStarted || m_runOver)
        return;
    const int most = Setting("SimProcess_Capture", 10);
    if (static_cast<int>(m_queue.PendingCount()) > m_activeWorkers && !Stopped && !HaltWorkers &&
        most > m_activeWorkers)
        StartWorkers(most);
}

void NegResearch::ForcedEnd() {
    m_statusMessage = TextOf(6000, 90);
    m_facade.progress.ProgressClose();
    EndOfRun();
}

void NegResearch::ShowCounters() {
    if (m_monitor)
        m_view.ShowCounters(m_monitor->Counters());
}

void NegResearch::WorkerEnded(ThCapture& /*worker*/) {
    if (m_activeWorkers > 0)
        --m_activeWorkers;
    if (m_current)
        m_current->ActiveWorkers = m_activeWorkers;
    // The stop procedure shows this gauge; a normal run has no progress window open.
    if (Stopped || HaltWorkers)
        m_facade.progress.ProgressStepPartial(TextOf(5000, 55));
}

void NegResearch::ApplyReport(const ClVclThreadAccess& carrier) {
    if (!m_monitor)
        return;
    RunCounters& counters = m_monitor->Counters();
    switch (carrier.kind) {
    case ClVclThreadAccess::Kind::Status:
        m_view.WorkerStatus(carrier.Value, carrier.Message, carrier.Subject, carrier.Progress, carrier.Icon);
        break;
    case ClVclThreadAccess::Kind::Log:
        PostLogEntry(carrier.Message, carrier.Subject, static_cast<int>(carrier.Value), carrier.Caption);
        break;
    case ClVclThreadAccess::Kind::Remaining:
        counters.remaining = carrier.Value;
        break;
    case ClVclThreadAccess::Kind::Bytes:
        counters.bytes += carrier.Value;
        break;
    case ClVclThreadAccess::Kind::Processed:
        ++counters.processed;
        RequestSplitIfDue();
        break;
    case ClVclThreadAccess::Kind::Error:
        ++counters.errors;
        break;
    }
}

} // namespace harvexa
