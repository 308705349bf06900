#pragma once

#include <cstddef>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_set>

namespace harvexa {

// The URLs or e-mail addresses already logged while the program runs (LoggedUrls, LoggedEmails):
// shared by all capture workers, never cleared. Letter case is ignored.
class LoggedEntrySet final {
public:
    // Adds the entry; true when it was not there yet. One check-and-add under one lock.
    bool InsertIfAbsent(std::string_view entry);
    bool Contains(std::string_view entry) const;
    std::size_t Size() const;

private:
    mutable std::mutex m_mutex;
    std::unordered_set<std::string> m_keys;
};

} // namespace harvexa
