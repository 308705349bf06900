#include "analysis/TextScan.h"

#include <algorithm>
#include <cstring>

#if defined(__x86_64__)
#include <immintrin.h>
#elif defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace harvexa::analysis {

std::string UpperCopy(std::string_view text) {
    std::string result(text);
    for (char& c : result)
        c = UpperAscii(c);
    return result;
}

std::string LowerCopy(std::string_view text) {
    std::string result(text);
    for (char& c : result)
        c = LowerAscii(c);
    return result;
}

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (LowerAscii(a[i]) != LowerAscii(b[i]))
            return false;
    return true;
}

bool StartsWithIgnoreCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && EqualsIgnoreCase(text.substr(0, prefix.size()), prefix);
}

std::size_t Find(std::string_view text, std::string_view needle, std::size_t from) {
    if (needle.empty() || from >= text.size() || text.size() - from < needle.size())
        return npos;
    // Short texts: the library search has less set-up than memmem.
    if (text.size() - from < 256)
        return text.find(needle, from);
    const void* hit = ::memmem(text.data() + from, text.size() - from, needle.data(), needle.size());
    return hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - text.data()) : npos;
}

namespace {

bool MatchesIgnoreCase(const char* at, std::string_view needle) {
    for (std::size_t i = 0; i < needle.size(); ++i)
        if (LowerAscii(at[i]) != LowerAscii(needle[i]))
            return false;
    return true;
}

// The block searches pick candidates whose first and last bytes match with bit 5 forced on (both
// letter cases, plus a few punctuation look-alikes) and compare each candidate in full. They advance
// `pos` past the blocks they covered and return the first match, or npos.
#if defined(__x86_64__)
__attribute__((target("avx2"))) std::size_t FindBlocksAvx2(const char* data, std::size_t& pos,
                                                           std::size_t lastStart, std::string_view needle) {
    const __m256i caseBit = _mm256_set1_epi8(0x20);
    const __m256i first = _mm256_set1_epi8(static_cast<char>(needle.front() | 0x20));
    const __m256i last = _mm256_set1_epi8(static_cast<char>(needle.back() | 0x20));
    const std::size_t lastOffset = needle.size() - 1;
    for (; pos + 32 <= lastStart + 1; pos += 32) {
        const __m256i blockFirst = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(data + pos));
        const __m256i blockLast =
            _mm256_loadu_si256(reinterpret_cast<const __m256i*>(data + pos + lastOffset));
        const __m256i hits = _mm256_and_si256(_mm256_cmpeq_epi8(_mm256_or_si256(blockFirst, caseBit), first),
                                              _mm256_cmpeq_epi8(_mm256_or_si256(blockLast, caseBit), last));
        auto mask = static_cast<unsigned>(_mm256_movemask_epi8(hits));
        while (mask != 0) {
            const std::size_t candidate = pos + static_cast<std::size_t>(__builtin_ctz(mask));
            if (MatchesIgnoreCase(data + candidate, needle))
                return candidate;
            mask &= mask - 1;
        }
    }
    return npos;
}

bool HasAvx2() {
    static const bool has = __builtin_cpu_supports("avx2");
    return has;
}
#endif

#if defined(__SSE2__)
std::size_t FindBlocksSse2(const char* data, std::size_t& pos, std::size_t lastStart,
                           std::string_view needle) {
    const __m128i caseBit = _mm_set1_epi8(0x20);
    const __m128i first = _mm_set1_epi8(static_cast<char>(needle.front() | 0x20));
    const __m128i last = _mm_set1_epi8(static_cast<char>(needle.back() | 0x20));
    const std::size_t lastOffset = needle.size() - 1;
    for (; pos + 16 <= lastStart + 1; pos += 16) {
        const __m128i blockFirst = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + pos));
        const __m128i blockLast = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + pos + lastOffset));
        const __m128i hits = _mm_and_si128(_mm_cmpeq_epi8(_mm_or_si128(blockFirst, caseBit), first),
                                           _mm_cmpeq_epi8(_mm_or_si128(blockLast, caseBit), last));
        auto mask = static_cast<unsigned>(_mm_movemask_epi8(hits));
        while (mask != 0) {
            const std::size_t candidate = pos + static_cast<std::size_t>(__builtin_ctz(mask));
            if (MatchesIgnoreCase(data + candidate, needle))
                return candidate;
            mask &= mask - 1;
        }
    }
    return npos;
}
#endif

} // namespace

std::size_t FindIgnoreCase(std::string_view text, std::string_view needle, std::size_t from) {
    if (needle.empty() || from >= text.size() || text.size() - from < needle.size())
        return npos;
    const std::size_t lastStart = text.size() - needle.size();
    const char* data = text.data();
    std::size_t pos = from;
#if defined(__x86_64__)
    if (lastStart + 1 - pos >= 128 && HasAvx2())
        if (const std::size_t hit = FindBlocksAvx2(data, pos, lastStart, needle); hit != npos)
            return hit;
#endif
#if defined(__SSE2__)
    if (lastStart + 1 - pos >= 32)
        if (const std::size_t hit = FindBlocksSse2(data, pos, lastStart, needle); hit != npos)
            return hit;
#endif
    const char firstUpper = UpperAscii(needle.front());
    const char firstLower = LowerAscii(needle.front());
    for (; pos <= lastStart; ++pos) {
        const char c = data[pos];
        if ((c == firstUpper || c == firstLower) && MatchesIgnoreCase(data + pos, needle))
            return pos;
    }
    return npos;
}

namespace {

template <typename Finder>
std::string ReplaceWith(std::string_view text, std::string_view from, std::string_view to, Finder find) {
    std::size_t hit = find(text, from, 0);
    if (hit == npos)
        return std::string(text);
    std::string result;
    result.reserve(text.size());
    std::size_t copied = 0;
    while (hit != npos) {
        result.append(text, copied, hit - copied);
        result.append(to);
        copied = hit + from.size();
        hit = find(text, from, copied);
    }
    result.append(text, copied);
    return result;
}

} // namespace

std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to) {
    return ReplaceWith(text, from, to,
                       [](std::string_view t, std::string_view n, std::size_t f) { return Find(t, n, f); });
}

std::string ReplaceAllIgnoreCase(std::string_view text, std::string_view from, std::string_view to) {
    return ReplaceWith(text, from, to, [](std::string_view t, std::string_view n, std::size_t f) {
        return FindIgnoreCase(t, n, f);
    });
}

std::string RemoveBytes(std::string_view text, std::string_view bytes) {
    std::string result;
    result.reserve(text.size());
    for (const char c : text)
        if (bytes.find(c) == std::string_view::npos)
            result.push_back(c);
    return result;
}

std::vector<std::string> SplitLines(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = pos;
        while (end < text.size() && text[end] != '\r' && text[end] != '\n')
            ++end;
        lines.emplace_back(text.substr(pos, end - pos));
        pos = end;
        if (pos < text.size() && text[pos] == '\r')
            ++pos;
        if (pos < text.size() && text[pos] == '\n')
            ++pos;
    }
    return lines;
}

std::string JoinLines(const std::vector<std::string>& lines) {
    std::size_t total = 0;
    for (const auto& line : lines)
        total += line.size() + 2;
    std::string text;
    text.reserve(total);
    for (const auto& line : lines) {
        text += line;
        text += "\r\n";
    }
    return text;
}

std::string NormaliseLineEnds(std::string_view text) {
    std::string result;
    result.reserve(text.size() + text.size() / 32 + 2);
    std::size_t pos = 0;
    while (pos < text.size()) {
        const char* data = text.data() + pos;
        const std::size_t remaining = text.size() - pos;
        // The next CR or LF, found with two memchr calls bounded by the nearer hit.
        const void* lf = std::memchr(data, '\n', remaining);
        const std::size_t lfAt =
            lf ? static_cast<std::size_t>(static_cast<const char*>(lf) - data) : remaining;
        const void* cr = std::memchr(data, '\r', lfAt);
        const std::size_t lineLength =
            cr ? static_cast<std::size_t>(static_cast<const char*>(cr) - data) : lfAt;
        result.append(data, lineLength);
        result += "\r\n";
        pos += lineLength;
        if (pos < text.size() && text[pos] == '\r')
            ++pos;
        if (pos < text.size() && text[pos] == '\n')
            ++pos;
    }
    return result;
}

std::string_view TrimBlanks(std::string_view text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return {};
    const std::size_t last = text.find_last_not_of(' ');
    return text.substr(first, last - first + 1);
}

} // namespace harvexa::analysis
