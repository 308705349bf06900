#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace harvexa {

// The links most recently offered to the queue, oldest first, at most `capacity` of them,
// compared ignoring letter case. Same answers as a plain list that is searched, has a found
// entry moved to its end, a new one appended and its first entry dropped past the capacity,
// at constant cost per link.
class CLRecentLinks final {
public:
    static constexpr std::size_t kDefaultCapacity = 2000;

    explicit CLRecentLinks(std::size_t capacity = kDefaultCapacity);
    CLRecentLinks(const CLRecentLinks&) = delete;
    CLRecentLinks& operator=(const CLRecentLinks&) = delete;

    // True when `url` was in the list (it becomes the newest); otherwise it is added and false.
    bool SeenRecently(std::string_view url);

    std::size_t Size() const { return m_index.size(); }
    // Lower-cased entries, oldest first.
    std::vector<std::string> Entries() const;

private:
    static constexpr int kNone = -1;

    struct Node {
        std::string folded;
        int older = kNone;
        int newer = kNone;
    };

    void Unlink(int node);
    void LinkNewest(int node);
    int TakeFreeNode();

    std::size_t m_capacity;
    std::vector<Node> m_nodes; // never reallocated: the index keys point into it
    std::vector<int> m_free;
    std::unordered_map<std::string_view, int> m_index;
    int m_oldest = kNone;
    int m_newest = kNone;
    std::string m_scratch;
};

} // namespace harvexa
