#include "execution/CLProcessedLinkFilter.h"

#include "execution/PendingLinkLines.h"

#include <algorithm>
#include <cstring>

namespace harvexa {

namespace {

constexpr std::string_view kHttp = "http";

} // namespace

CLProcessedLinkFilter::CLProcessedLinkFilter(std::string processedText)
    : m_text(std::move(processedText)) {
    const std::string_view text = m_text;
    std::size_t lineStart = 0;
    while (lineStart < text.size()) {
        const std::size_t lineEnd = FindLineEnd(text, lineStart);
        const std::string_view line = text.substr(lineStart, lineEnd - lineStart);
        // A tail shorter than the shortest compared URL can never hold one.
        for (std::size_t at = line.find(kHttp); at != std::string_view::npos; at = line.find(kHttp, at + 1)) {
            if (line.size() - at <= kLongestKeptUrl)
                break;
            m_tails.push_back(line.substr(at));
        }
        ++m_lineCount;
        lineStart = lineEnd + 1;
        if (lineEnd < text.size() && text[lineEnd] == '\r' && lineStart < text.size() &&
            text[lineStart] == '\n')
            ++lineStart;
    }
    std::sort(m_tails.begin(), m_tails.end());
}

std::string_view CLProcessedLinkFilter::ComparedUrl(std::string_view line) {
    const std::size_t start = line.find(kHttp);
    if (start == std::string_view::npos)
        return {};
    std::string_view url = line.substr(start);
    return url.substr(0, url.find('#'));
}

bool CLProcessedLinkFilter::IsProcessed(std::string_view pendingLine) const {
    const std::string_view url = ComparedUrl(pendingLine);
    if (url.empty() || CountCharacters(url) <= kLongestKeptUrl)
        return false;
    // Tails starting with `url` form one run that begins at its lower bound.
    const auto candidate = std::lower_bound(m_tails.begin(), m_tails.end(), url);
    return candidate != m_tails.end() && candidate->starts_with(url);
}

} // namespace harvexa
