#pragma once

#include "execution/CLLackFiles.h"
#include "execution/CLRecentLinks.h"
#include "research/EntLackSites.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace harvexa {

class CLLogEnvio;

enum class RecentList { Internal, External };

// A link handed to a worker. `ticket` names it until the worker reports it completed or
// returns it; `remaining` is the number of queued links left right after the take.
struct TakenLink {
    EntLackSites link;
    std::uint64_t ticket = 0;
    std::size_t remaining = 0;
};

// The queue of a run: PendingLinks, PriorityLinks, the two recent-links lists, AnchorUrl and
// the links workers hold, with the two journals. Every operation is atomic under one mutex,
// which is never held while a page is fetched.
//
// Journaling: every queued link is appended to the pending-links file before it enters a
// list; a link is written to the processed-links file when its worker reports it completed,
// not when it is taken. After a kill, the pending-links file less the processed-links file is
// therefore every link queued and not completed, including those that were being fetched.
class CLLinkQueue final {
public:
    CLLinkQueue(CLLogEnvio& pendingWriter, CLLogEnvio& processedWriter);
    CLLinkQueue(const CLLinkQueue&) = delete;
    CLLinkQueue& operator=(const CLLinkQueue&) = delete;

    // --- Setting up a run (no worker running) ---

    // First start of a research: empties the queue and opens both journals fresh.
    void StartFirstRun(int researchId);
    // Continuing a research: the queue becomes what the files hold (CLLackFiles::LoadPendingLinks)
    // and both journals append to the research's files. With `found` false the research is finished.
    // The links move into the queue: `links` of the result comes back empty.
    PendingLinksRead LoadPendingLinks(int researchId, CLLackFiles& files);

    // --- Queue operations ---

    // Journals the link, then appends it (keyed by its URL as found) to PendingLinks.
    void AppendLink(const EntLackSites& link);
    // Whether PendingLinks holds `url`, ignoring letter case.
    bool HasPendingUrl(std::string_view url) const;
    // The last entry of PriorityLinks, else of PendingLinks; nothing when both are empty.
    std::optional<TakenLink> TakeNextLink();
    // The worker is done with the link (fetched, failed or filtered out): it is journaled as
    // processed and never fetched again. False for an unknown ticket.
    bool MarkCompleted(std::uint64_t ticket);
    // The worker gives the link up unfinished: it goes back to the end of the list it came from.
    bool ReturnLink(std::uint64_t ticket);
    bool SeenRecently(RecentList list, std::string_view url);
    void PromoteSearchPages();
    void MergePriorityLinks();
    // Removes every pending entry whose URL contains `directory`, unless AnchorUrl is set and
    // agrees with `trimmedUrl` in its first 40 characters (ignoring case). Returns the count removed.
    std::size_t PruneSameDirectory(std::string_view directory, std::string_view trimmedUrl);

    // End of a run or exit for a restart: closes both journals, saves PendingLinks with the
    // priority links merged and the links still held by workers at its end, then deletes the
    // processed-links file. False when the queue could not be saved (the files stay as they were).
    [[nodiscard]] bool FlushPendingLinks(int researchId);

    // --- Reading ---
    std::string AnchorUrl() const;
    std::size_t PendingCount() const;
    std::size_t PriorityCount() const;
    std::size_t InFlightCount() const;
    // PendingCount + PriorityCount, as the workers report it.
    std::size_t RemainingCount() const;
    PendingLinkList PendingLinks() const;
    PendingLinkList PriorityLinks() const;

private:
    struct Entry {
        EntLackSites link;
        std::uint64_t serial = 0;
        bool trimmedKey = false; // keyed by the trimmed URL (search pages moved between lists)
        bool shared = false;     // a priority entry merged into PendingLinks: one link, two lists
        std::string_view Key() const;
    };
    struct Held {
        EntLackSites link;
        bool fromPriority = false;
    };

    void ClearLists();
    void RemoveSharedFromPending(std::uint64_t serial);
    CLRecentLinks& Recent(RecentList list);
    static PendingLinkList Records(const std::vector<Entry>& entries);

    mutable std::mutex m_mutex;
    CLLogEnvio& m_pendingWriter;
    CLLogEnvio& m_processedWriter;
    std::vector<Entry> m_pending;
    std::vector<Entry> m_priority;
    std::map<std::uint64_t, Held> m_held; // by ticket, in the order taken
    CLRecentLinks m_recentInternal;
    CLRecentLinks m_recentExternal;
    std::string m_anchorUrl;
    std::uint64_t m_nextSerial = 1;
    std::uint64_t m_nextTicket = 1;
    std::string m_line;
};

} // namespace harvexa
