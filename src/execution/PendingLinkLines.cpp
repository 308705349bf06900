#include "execution/PendingLinkLines.h"

#include <charconv>

namespace harvexa {

namespace {

constexpr std::string_view kIdEnd = "#%1";
constexpr std::string_view kUrlEnd = "#%2";
constexpr std::string_view kLevelEnd = "#%3";

bool IsBlank(char c) {
    return static_cast<unsigned char>(c) <= ' ';
}

std::optional<int> ToInt32(std::string_view text) {
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    if (text.empty() || text.front() == '+')
        return std::nullopt;
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

void AppendLine(std::string& out, int id, std::string_view url, int level, int kind) {
    out += std::to_string(id);
    out += kIdEnd;
    out += url;
    out += kUrlEnd;
    out += std::to_string(level);
    out += kLevelEnd;
    out += std::to_string(kind);
}

} // namespace

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

std::size_t FindLineEnd(std::string_view text, std::size_t from) {
    for (std::size_t i = from; i < text.size(); ++i) {
        if (text[i] == '\n' || text[i] == '\r')
            return i;
    }
    return text.size();
}

std::vector<std::string_view> SplitTextLines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = FindLineEnd(text, start);
        if (end == text.size()) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
        if (text[end] == '\r' && start < text.size() && text[start] == '\n')
            ++start;
    }
    return lines;
}

std::size_t CountCharacters(std::string_view text) {
    std::size_t count = 0;
    for (const char c : text)
        count += (static_cast<unsigned char>(c) & 0xC0) != 0x80 ? 1 : 0;
    return count;
}

void AppendPendingLine(std::string& out, const EntLackSites& link) {
    AppendLine(out, link.id_lack_sites, link.lack_sites, link.nivel, link.tipo_lack_site);
}

void AppendJournalLine(std::string& out, const EntLackSites& link) {
    AppendLine(out, link.id_lack_sites, TrimBlanks(link.lack_sites), link.nivel, link.tipo_lack_site);
}

std::optional<EntLackSites> ParsePendingLine(std::string_view line, int researchId) {
    const std::size_t idEnd = line.find(kIdEnd);
    const std::size_t urlEnd = line.find(kUrlEnd);
    const std::size_t levelEnd = line.find(kLevelEnd);
    if (idEnd == std::string_view::npos || urlEnd == std::string_view::npos ||
        levelEnd == std::string_view::npos)
        return std::nullopt;
    const std::size_t urlStart = idEnd + kIdEnd.size();
    const std::size_t levelStart = urlEnd + kUrlEnd.size();
    if (urlEnd < urlStart || levelEnd < levelStart)
        return std::nullopt;
    const auto id = ToInt32(line.substr(0, idEnd));
    const auto level = ToInt32(line.substr(levelStart, levelEnd - levelStart));
    const auto kind = ToInt32(line.substr(levelEnd + kLevelEnd.size()));
    if (!id || !level || !kind)
        return std::nullopt;
    return EntLackSites(*id, researchId, *level, *kind,
                        std::string(line.substr(urlStart, urlEnd - urlStart)));
}

} // namespace harvexa
