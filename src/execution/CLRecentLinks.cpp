#include "execution/CLRecentLinks.h"

#include <algorithm>

namespace harvexa {

namespace {

void FoldInto(std::string& out, std::string_view text) {
    out.resize(text.size());
    std::transform(text.begin(), text.end(), out.begin(),
                   [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; });
}

} // namespace

CLRecentLinks::CLRecentLinks(std::size_t capacity)
    : m_capacity(std::max<std::size_t>(capacity, 1)) {
    // One spare node: an entry is added before the oldest one is dropped.
    m_nodes.resize(m_capacity + 1);
    m_free.reserve(m_capacity + 1);
    for (std::size_t i = m_nodes.size(); i-- > 0;)
        m_free.push_back(static_cast<int>(i));
    m_index.reserve(m_capacity + 1);
}

bool CLRecentLinks::SeenRecently(std::string_view url) {
    FoldInto(m_scratch, url);
    if (const auto found = m_index.find(m_scratch); found != m_index.end()) {
        Unlink(found->second);
        LinkNewest(found->second);
        return true;
    }
    const int node = TakeFreeNode();
    m_nodes[static_cast<std::size_t>(node)].folded.swap(m_scratch);
    m_index.emplace(m_nodes[static_cast<std::size_t>(node)].folded, node);
    LinkNewest(node);
    if (m_index.size() > m_capacity) {
        const int oldest = m_oldest;
        Unlink(oldest);
        m_index.erase(m_nodes[static_cast<std::size_t>(oldest)].folded);
        m_free.push_back(oldest);
    }
    return false;
}

std::vector<std::string> CLRecentLinks::Entries() const {
    std::vector<std::string> entries;
    entries.reserve(m_index.size());
    for (int node = m_oldest; node != kNone; node = m_nodes[static_cast<std::size_t>(node)].newer)
        entries.push_back(m_nodes[static_cast<std::size_t>(node)].folded);
    return entries;
}

void CLRecentLinks::Unlink(int node) {
    Node& n = m_nodes[static_cast<std::size_t>(node)];
    if (n.older != kNone)
        m_nodes[static_cast<std::size_t>(n.older)].newer = n.newer;
    else
        m_oldest = n.newer;
    if (n.newer != kNone)
        m_nodes[static_cast<std::size_t>(n.newer)].older = n.older;
    else
        m_newest = n.older;
    n.older = n.newer = kNone;
}

void CLRecentLinks::LinkNewest(int node) {
    Node& n = m_nodes[static_cast<std::size_t>(node)];
    n.older = m_newest;
    n.newer = kNone;
    if (m_newest != kNone)
        m_nodes[static_cast<std::size_t>(m_newest)].newer = node;
    else
        m_oldest = node;
    m_newest = node;
}

int CLRecentLinks::TakeFreeNode() {
    const int node = m_free.back();
    m_free.pop_back();
    return node;
}

} // namespace harvexa
