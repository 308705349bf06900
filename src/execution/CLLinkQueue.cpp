#include "execution/CLLinkQueue.h"

#include "execution/CLLogEnvio.h"
#include "execution/PendingLinkLines.h"

#include <algorithm>
#include <unistd.h>
#include <utility>

namespace harvexa {

namespace {

constexpr std::size_t kAnchorCompareLength = 40;

char FoldAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](char x, char y) { return FoldAscii(x) == FoldAscii(y); });
}

// The first `count` UTF-8 characters.
std::string_view CharacterPrefix(std::string_view text, std::size_t count) {
    std::size_t seen = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80 && seen++ == count)
            return text.substr(0, i);
    }
    return text;
}

} // namespace

std::string_view CLLinkQueue::Entry::Key() const {
    return trimmedKey ? TrimBlanks(link.lack_sites) : std::string_view(link.lack_sites);
}

CLLinkQueue::CLLinkQueue(CLLogEnvio& pendingWriter, CLLogEnvio& processedWriter)
    : m_pendingWriter(pendingWriter)
    , m_processedWriter(processedWriter) {}

void CLLinkQueue::ClearLists() {
    m_pending.clear();
    m_priority.clear();
    m_held.clear();
}

void CLLinkQueue::StartFirstRun(int researchId) {
    const std::lock_guard lock(m_mutex);
    ClearLists();
    m_pendingWriter.OpenFresh(CLLackFiles::PendingLinksFile(researchId));
    m_processedWriter.OpenFresh(CLLackFiles::ProcessedLinksFile(researchId));
}

PendingLinksRead CLLinkQueue::LoadPendingLinks(int researchId, CLLackFiles& files) {
    // Runs before any worker starts; the lock is not held while the filter shows its progress.
    PendingLinksRead result = files.LoadPendingLinks(researchId, m_pendingWriter, m_processedWriter);
    const std::lock_guard lock(m_mutex);
    ClearLists();
    if (!result.found)
        return result;
    m_pending.reserve(result.links.size());
    for (EntLackSites& link : result.links)
        m_pending.push_back(Entry{std::move(link), m_nextSerial++, false, false});
    result.links.clear();
    return result;
}

void CLLinkQueue::AppendLink(const EntLackSites& link) {
    const std::lock_guard lock(m_mutex);
    // Journal first: a link is on disk before any worker can take it.
    m_line.clear();
    AppendJournalLine(m_line, link);
    m_pendingWriter.WriteLine(m_line);
    m_pending.push_back(Entry{link, m_nextSerial++, false, false});
}

bool CLLinkQueue::HasPendingUrl(std::string_view url) const {
    const std::lock_guard lock(m_mutex);
    return std::any_of(m_pending.begin(), m_pending.end(),
                       [url](const Entry& entry) { return EqualIgnoringCase(entry.Key(), url); });
}

std::optional<TakenLink> CLLinkQueue::TakeNextLink() {
    const std::lock_guard lock(m_mutex);
    const bool fromPriority = !m_priority.empty();
    std::vector<Entry>& list = fromPriority ? m_priority : m_pending;
    if (list.empty())
        return std::nullopt;
    Entry entry = std::move(list.back());
    list.pop_back();
    if (list.empty())
        m_anchorUrl = std::string(entry.Key());
    // A merged search page is one link in both lists: it is handed out once.
    if (fromPriority && entry.shared)
        RemoveSharedFromPending(entry.serial);
    const std::uint64_t ticket = m_nextTicket++;
    m_held.emplace(ticket, Held{entry.link, fromPriority});
    return TakenLink{std::move(entry.link), ticket, m_pending.size() + m_priority.size()};
}

void CLLinkQueue::RemoveSharedFromPending(std::uint64_t serial) {
    // Merged entries sit near the end of PendingLinks.
    for (auto it = m_pending.rbegin(); it != m_pending.rend(); ++it) {
        if (it->serial == serial) {
            m_pending.erase(std::next(it).base());
            return;
        }
    }
}

bool CLLinkQueue::MarkCompleted(std::uint64_t ticket) {
    const std::lock_guard lock(m_mutex);
    const auto held = m_held.find(ticket);
    if (held == m_held.end())
        return false;
    m_processedWriter.WriteLine(held->second.link.lack_sites);
    m_held.erase(held);
    return true;
}

bool CLLinkQueue::ReturnLink(std::uint64_t ticket) {
    const std::lock_guard lock(m_mutex);
    const auto held = m_held.find(ticket);
    if (held == m_held.end())
        return false;
    std::vector<Entry>& list = held->second.fromPriority ? m_priority : m_pending;
    list.push_back(Entry{std::move(held->second.link), m_nextSerial++, held->second.fromPriority, false});
    m_held.erase(held);
    return true;
}

CLRecentLinks& CLLinkQueue::Recent(RecentList list) {
    return list == RecentList::Internal ? m_recentInternal : m_recentExternal;
}

bool CLLinkQueue::SeenRecently(RecentList list, std::string_view url) {
    const std::lock_guard lock(m_mutex);
    return Recent(list).SeenRecently(url);
}

void CLLinkQueue::PromoteSearchPages() {
    const std::lock_guard lock(m_mutex);
    m_priority.clear();
    std::vector<Entry> kept;
    kept.reserve(m_pending.size());
    for (Entry& entry : m_pending) {
        entry.shared = false;
        if (entry.link.tipo_lack_site == kSearchResultPage) {
            entry.trimmedKey = true;
            m_priority.push_back(std::move(entry));
        } else {
            kept.push_back(std::move(entry));
        }
    }
    m_pending = std::move(kept);
}

void CLLinkQueue::MergePriorityLinks() {
    const std::lock_guard lock(m_mutex);
    for (Entry& entry : m_priority) {
        if (entry.shared)
            continue;
        entry.shared = true;
        m_pending.push_back(Entry{entry.link, entry.serial, true, true});
    }
}

std::size_t CLLinkQueue::PruneSameDirectory(std::string_view directory, std::string_view trimmedUrl) {
    const std::lock_guard lock(m_mutex);
    if (directory.empty())
        return 0;
    if (!m_anchorUrl.empty() && EqualIgnoringCase(CharacterPrefix(m_anchorUrl, kAnchorCompareLength),
                                                  CharacterPrefix(trimmedUrl, kAnchorCompareLength)))
        return 0;
    std::size_t removed = 0;
    std::erase_if(m_pending, [&](const Entry& entry) {
        if (entry.Key().find(directory) == std::string_view::npos)
            return false;
        if (entry.shared) {
            for (Entry& priority : m_priority)
                if (priority.serial == entry.serial)
                    priority.shared = false;
        }
        ++removed;
        return true;
    });
    return removed;
}

bool CLLinkQueue::FlushPendingLinks(int researchId) {
    const std::lock_guard lock(m_mutex);
    m_pendingWriter.CloseFile();
    m_processedWriter.CloseFile();
    for (Entry& entry : m_priority) {
        if (!entry.shared) {
            entry.shared = true;
            m_pending.push_back(Entry{entry.link, entry.serial, true, true});
        }
    }
    // Links still held by workers were not completed: they are fetched again on continue.
    PendingLinkList links = Records(m_pending);
    for (const auto& [ticket, held] : m_held)
        links.push_back(held.link);
    if (!CLLackFiles::SavePendingLinks(researchId, links))
        return false;
    if (const std::string& processed = m_processedWriter.FileName(); !processed.empty())
        ::unlink(processed.c_str());
    return true;
}

PendingLinkList CLLinkQueue::Records(const std::vector<Entry>& entries) {
    PendingLinkList links;
    links.reserve(entries.size());
    for (const Entry& entry : entries)
        links.push_back(entry.link);
    return links;
}

std::string CLLinkQueue::AnchorUrl() const {
    const std::lock_guard lock(m_mutex);
    return m_anchorUrl;
}

std::size_t CLLinkQueue::PendingCount() const {
    const std::lock_guard lock(m_mutex);
    return m_pending.size();
}

std::size_t CLLinkQueue::PriorityCount() const {
    const std::lock_guard lock(m_mutex);
    return m_priority.size();
}

std::size_t CLLinkQueue::InFlightCount() const {
    const std::lock_guard lock(m_mutex);
    return m_held.size();
}

std::size_t CLLinkQueue::RemainingCount() const {
    const std::lock_guard lock(m_mutex);
    return m_pending.size() + m_priority.size();
}

PendingLinkList CLLinkQueue::PendingLinks() const {
    const std::lock_guard lock(m_mutex);
    return Records(m_pending);
}

PendingLinkList CLLinkQueue::PriorityLinks() const {
    const std::lock_guard lock(m_mutex);
    return Records(m_priority);
}

} // namespace harvexa
