#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace harvexa {

// Answers "does this pending line name a processed link": the line's URL (from its first
// "http", cut before its first "#") is processed when it is longer than 16 characters and
// occurs anywhere in the processed-links text.
//
// Such a URL starts with "http" and holds no line break, so it occurs in the text exactly
// when it is a prefix of one of the text's "http…" tails up to a line end. Those tails are
// sorted once; each question is then one binary search.
class CLProcessedLinkFilter final {
public:
    static constexpr std::size_t kLongestKeptUrl = 16;

    explicit CLProcessedLinkFilter(std::string processedText);
    CLProcessedLinkFilter(const CLProcessedLinkFilter&) = delete;
    CLProcessedLinkFilter& operator=(const CLProcessedLinkFilter&) = delete;

    // The part of a pending line that is compared; empty when the line has no "http".
    static std::string_view ComparedUrl(std::string_view line);

    // `pendingLine` is one line of the pending-links file, without its line break.
    bool IsProcessed(std::string_view pendingLine) const;

    std::size_t ProcessedLineCount() const { return m_lineCount; }

private:
    std::string m_text;
    std::vector<std::string_view> m_tails;
    std::size_t m_lineCount = 0;
};

} // namespace harvexa
