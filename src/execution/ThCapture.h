#pragma once

#include "analysis/EntPageData.h"
#include "execution/ClVclThreadAccess.h"
#include "research/EntLackSites.h"
#include "research/EntResearch.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace harvexa {

class NegResearch;

// One capture worker of a run on its own thread: takes pending links, fetches them, filters them,
// has them analysed and handed over on the user-interface thread, queues the links found.
class ThCapture final {
public:
    ThCapture(NegResearch& controller, std::int64_t workerId, std::shared_ptr<const EntResearch> research);
    ~ThCapture();
    ThCapture(const ThCapture&) = delete;
    ThCapture& operator=(const ThCapture&) = delete;

    void Resume();
    bool Suspended() const { return !m_thread.joinable(); }
    // Set from the end-of-worker step on the user-interface thread.
    bool Finished() const { return m_finished.load(); }
    void Terminate() { m_terminate.store(true); }
    std::int64_t WorkerId() const { return m_workerId; }
    // Waits for the thread; only once it has finished (it no longer needs the user-interface thread).
    void Join();

private:
    enum class LinkOutcome { Completed, Interrupted };

    void Body();
    LinkOutcome ProcessLink(const EntLackSites& link);
    void AcceptPage(EntPageData& page);
    void QueueFoundLinks(const std::vector<std::string>& links, int kind, int level);
    void PruneSameDirectory(const std::string& url);

    void Report(const ClVclThreadAccess& carrier);
    void ReportStatus(const std::string& message, const std::string& url, std::int64_t progress,
                      std::int64_t icon);
    void ReportLog(const std::string& message, const std::string& subject, int kind,
                   const std::string& caption, bool connectionError = false);
    void ReportRemaining(std::int64_t count);
    void ReportBytes(std::int64_t count);
    std::string Text(int key);

    NegResearch& m_controller;
    const std::int64_t m_workerId;
    std::shared_ptr<const EntResearch> m_research;
    std::thread m_thread;
    std::atomic<bool> m_terminate{false};
    std::atomic<bool> m_finished{false};
    std::int32_t m_downloadProgress = 0;
};

} // namespace harvexa
