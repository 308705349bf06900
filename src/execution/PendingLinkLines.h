#pragma once

#include "research/EntLackSites.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace harvexa {

// Line layout of the pending-links file: id "#%1" URL "#%2" level "#%3" kind, lines ended by CR LF.
inline constexpr std::string_view kLineBreak = "\r\n";

// Removes bytes up to and including the blank from both ends.
std::string_view TrimBlanks(std::string_view text);

// Position of the first CR or LF at or after `from`; the text's size when there is none.
std::size_t FindLineEnd(std::string_view text, std::size_t from);

// Lines end at CR, LF or CR LF; a last line without a break counts when it is not empty.
std::vector<std::string_view> SplitTextLines(std::string_view text);

// UTF-8 characters (not bytes) in `text`.
std::size_t CountCharacters(std::string_view text);

// The line of a saved queue: the record's own values and its untrimmed URL (no line break).
void AppendPendingLine(std::string& out, const EntLackSites& link);

// The line a run appends while it queues a link: the URL trimmed (no line break).
void AppendJournalLine(std::string& out, const EntLackSites& link);

// Nothing when the line lacks a separator or a number does not convert.
std::optional<EntLackSites> ParsePendingLine(std::string_view line, int researchId);

} // namespace harvexa
