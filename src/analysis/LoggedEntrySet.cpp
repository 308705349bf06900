#include "analysis/LoggedEntrySet.h"

#include "analysis/TextScan.h"

namespace harvexa {

bool LoggedEntrySet::InsertIfAbsent(std::string_view entry) {
    std::string key = analysis::LowerCopy(entry);
    const std::lock_guard lock(m_mutex);
    return m_keys.insert(std::move(key)).second;
}

bool LoggedEntrySet::Contains(std::string_view entry) const {
    const std::string key = analysis::LowerCopy(entry);
    const std::lock_guard lock(m_mutex);
    return m_keys.count(key) > 0;
}

std::size_t LoggedEntrySet::Size() const {
    const std::lock_guard lock(m_mutex);
    return m_keys.size();
}

} // namespace harvexa
