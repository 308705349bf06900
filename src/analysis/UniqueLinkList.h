#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace harvexa::analysis {

// A list in insertion order that refuses an entry equal to one already present, ignoring letter case.
class UniqueLinkList final {
public:
    // True when the entry was added.
    bool Add(std::string entry);
    bool Contains(std::string_view entry) const;
    void Clear();
    // Hands the entries over and leaves the list empty.
    std::vector<std::string> TakeItems();
    const std::vector<std::string>& Items() const { return m_items; }

private:
    static std::uint64_t Hash(std::string_view text);
    // The slot holding an equal entry, or the empty slot where it would go.
    std::size_t Slot(std::string_view entry, std::uint64_t hash) const;
    void Grow();

    std::vector<std::string> m_items;
    std::vector<std::uint32_t> m_slots; // index + 1 into m_items; 0 = empty
    std::vector<std::uint64_t> m_hashes;
};

} // namespace harvexa::analysis
