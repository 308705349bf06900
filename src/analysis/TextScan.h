#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// Plain substring primitives of the analysis. Letter case is folded for ASCII letters only, so an
// upper-cased copy keeps the byte positions of the text it was made from.
namespace harvexa::analysis {

constexpr std::size_t npos = std::string_view::npos;

inline char UpperAscii(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c;
}
inline char LowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
}

std::string UpperCopy(std::string_view text);
std::string LowerCopy(std::string_view text);
bool EqualsIgnoreCase(std::string_view a, std::string_view b);
bool StartsWithIgnoreCase(std::string_view text, std::string_view prefix);

// First occurrence of needle at or after from; npos when none. An empty needle is never found.
std::size_t Find(std::string_view text, std::string_view needle, std::size_t from = 0);
std::size_t FindIgnoreCase(std::string_view text, std::string_view needle, std::size_t from = 0);
inline bool Contains(std::string_view text, std::string_view needle) {
    return Find(text, needle) != npos;
}
inline bool ContainsIgnoreCase(std::string_view text, std::string_view needle) {
    return FindIgnoreCase(text, needle) != npos;
}

// Replaces every occurrence, left to right, without rescanning inserted text.
std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to);
std::string ReplaceAllIgnoreCase(std::string_view text, std::string_view from, std::string_view to);
// Removes every byte that occurs in `bytes`.
std::string RemoveBytes(std::string_view text, std::string_view bytes);

// Lines of a text: CR LF, a lone CR and a lone LF each end a line; a final line break adds no line.
std::vector<std::string> SplitLines(std::string_view text);
// The text of a list of lines: every line ended by CR LF.
std::string JoinLines(const std::vector<std::string>& lines);
// JoinLines(SplitLines(text)) in one pass.
std::string NormaliseLineEnds(std::string_view text);

// Strips blanks (spaces) at both ends.
std::string_view TrimBlanks(std::string_view text);

} // namespace harvexa::analysis
