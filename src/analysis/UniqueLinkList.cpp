#include "analysis/UniqueLinkList.h"

#include "analysis/TextScan.h"

namespace harvexa::analysis {

std::uint64_t UniqueLinkList::Hash(std::string_view text) {
    std::uint64_t hash = 1469598103934665603ULL;
    for (const char c : text) {
        hash ^= static_cast<unsigned char>(LowerAscii(c));
        hash *= 1099511628211ULL;
    }
    return hash;
}

std::size_t UniqueLinkList::Slot(std::string_view entry, std::uint64_t hash) const {
    const std::size_t mask = m_slots.size() - 1;
    for (std::size_t slot = hash & mask;; slot = (slot + 1) & mask) {
        const std::uint32_t index = m_slots[slot];
        if (index == 0)
            return slot;
        if (m_hashes[index - 1] == hash && EqualsIgnoreCase(m_items[index - 1], entry))
            return slot;
    }
}

void UniqueLinkList::Grow() {
    std::vector<std::uint32_t> slots(m_slots.empty() ? 64 : m_slots.size() * 2, 0);
    const std::size_t mask = slots.size() - 1;
    for (std::size_t index = 0; index < m_items.size(); ++index) {
        std::size_t slot = m_hashes[index] & mask;
        while (slots[slot] != 0)
            slot = (slot + 1) & mask;
        slots[slot] = static_cast<std::uint32_t>(index + 1);
    }
    m_slots = std::move(slots);
}

bool UniqueLinkList::Add(std::string entry) {
    if ((m_items.size() + 1) * 2 > m_slots.size())
        Grow();
    const std::uint64_t hash = Hash(entry);
    const std::size_t slot = Slot(entry, hash);
    if (m_slots[slot] != 0)
        return false;
    m_items.push_back(std::move(entry));
    m_hashes.push_back(hash);
    m_slots[slot] = static_cast<std::uint32_t>(m_items.size());
    return true;
}

bool UniqueLinkList::Contains(std::string_view entry) const {
    return !m_slots.empty() && m_slots[Slot(entry, Hash(entry))] != 0;
}

std::vector<std::string> UniqueLinkList::TakeItems() {
    std::vector<std::string> items = std::move(m_items);
    Clear();
    return items;
}

void UniqueLinkList::Clear() {
    m_items.clear();
    m_hashes.clear();
    m_slots.clear();
}

} // namespace harvexa::analysis
