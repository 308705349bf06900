#include "analysis/UrlHelpers.h"

#include "analysis/TextScan.h"
#include "analysis/Utf8Chars.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <optional>

namespace harvexa {

using namespace analysis;

namespace {

constexpr std::size_t kTrimLimitChars = 500;

// The text being cleaned and its lower-cased twin: every edit is made to both, so a search of the twin
// is a search of the text ignoring ASCII letter case.
class LinkText final {
public:
    // Takes the raw value without its blanks and quotes: the first step of the first pass removes them,
    // and no later edit brings any back.
    explicit LinkText(std::string_view raw)
        : m_text(raw.size(), '\0')
        , m_lower(raw.size(), '\0') {
        std::size_t kept = 0;
        for (const char c : raw) {
            if (c == ' ' || c == '"' || c == '\'')
                continue;
            const auto lower = static_cast<unsigned char>(LowerAscii(c));
            m_text[kept] = c;
            m_lower[kept] = static_cast<char>(lower);
            m_present[lower >> 6] |= std::uint64_t{1} << (lower & 63);
            ++kept;
        }
        Cut(kept);
    }

    const std::string& Text() const { return m_text; }
    std::string TakeText() { return std::move(m_text); }
    bool Empty() const { return m_text.empty(); }

    std::size_t Find(std::string_view lowerNeedle, std::size_t from = 0) const {
        // Most values hold none of the patterns; a byte missing from the text settles it at once.
        for (const char c : lowerNeedle)
            if (!MayHold(c))
                return npos;
        const std::size_t size = m_lower.size();
        if (from > size || size - from < lowerNeedle.size())
            return npos;
        const char* data = m_lower.data();
        const std::size_t lastStart = size - lowerNeedle.size();
        for (std::size_t pos = from; pos <= lastStart; ++pos)
            if (data[pos] == lowerNeedle[0] &&
                std::memcmp(data + pos, lowerNeedle.data(), lowerNeedle.size()) == 0)
                return pos;
        return npos;
    }

    void EraseFront(std::size_t count) {
        m_text.erase(0, count);
        m_lower.erase(0, count);
    }
    void Cut(std::size_t length) {
        m_text.resize(length);
        m_lower.resize(length);
    }
    // Replaces every occurrence, left to right, ignoring letter case (the needle is given lower-cased).
    void ReplaceAll(std::string_view lowerNeedle, std::string_view replacement) {
        std::size_t hit = Find(lowerNeedle);
        if (hit == npos)
            return;
        std::string replaced;
        replaced.reserve(m_text.size());
        std::size_t copied = 0;
        while (hit != npos) {
            replaced.append(m_text, copied, hit - copied).append(replacement);
            copied = hit + lowerNeedle.size();
            hit = Find(lowerNeedle, copied);
        }
        replaced.append(m_text, copied);
        m_text = std::move(replaced);
        m_lower = LowerCopy(m_text);
        NoteBytes(replacement);
    }

private:
    // Bytes that may occur in the text: removals leave them noted, which only costs a search.
    bool MayHold(char c) const {
        const auto byte = static_cast<unsigned char>(LowerAscii(c));
        return (m_present[byte >> 6] >> (byte & 63)) & 1;
    }
    void NoteBytes(std::string_view bytes) {
        for (const char c : bytes) {
            const auto byte = static_cast<unsigned char>(LowerAscii(c));
            m_present[byte >> 6] |= std::uint64_t{1} << (byte & 63);
        }
    }

    std::string m_text;
    std::string m_lower;
    std::array<std::uint64_t, 4> m_present{};
};

// One cleaning pass; true when it asks for another.
bool CleanLinkPass(LinkText& link) {
    bool again = false;
    // 1. quotes and blanks went when the text was taken; "&amp;" becomes "&".
    link.ReplaceAll("&amp;", "&");
    // 2. an absolute address starts at "http"; otherwise doubled slashes collapse.
    if (const std::size_t http = link.Find("http"); http != npos)
        link.EraseFront(http);
    else
        link.ReplaceAll("//", "/");
    // 3. a trailing dot.
    if (!link.Empty() && link.Text().back() == '.') {
        link.Cut(link.Text().size() - 1);
        again = true;
    }
    // 4. the fragment.
    if (const std::size_t hash = link.Find("#"); hash != npos) {
        link.Cut(hash);
        again = true;
    }
    // 5. the "=" of the attribute.
    if (!link.Empty() && link.Text().front() == '=') {
        link.EraseFront(1);
        again = true;
    }
    // 6. session suffixes after ";".
    if (const std::size_t semicolon = link.Find(";"); semicolon != npos)
        link.Cut(semicolon);
    // 7. parent folders become the site root; attributes after an unquoted value are marked.
    link.ReplaceAll("../", "/");
    link.ReplaceAll("target", "#HVX#");
    link.ReplaceAll("class", "#HVX#");
    link.ReplaceAll("%3a", ":");
    link.ReplaceAll("%2f", "/");
    // 8. cut at the marked attribute.
    if (const std::size_t marker = link.Find("#hvx#"); marker != npos)
        link.Cut(marker);
    // 9. mail links are not links.
    if (link.Find("mailto") != npos) {
        link.Cut(0);
        again = true;
    }
    // 10. a redirect carries the real address inside.
    if (const std::size_t inner = link.Find("http://", AdvanceChars(link.Text(), 0, 5)); inner != npos) {
        link.EraseFront(PrevChar(link.Text(), inner));
        again = true;
    }
    return again;
}

// The scheme and host of an address as SiteRoot reads them; nothing when the address names no scheme.
struct SchemeAndHost {
    std::string_view scheme;
    std::string_view host;
};

std::optional<SchemeAndHost> FindSchemeAndHost(std::string_view url) {
    SchemeAndHost found;
    std::size_t restStart;
    if (const std::size_t http = FindIgnoreCase(url, "http://"); http != npos) {
        found.scheme = "http://";
        restStart = http + 7;
    } else if (const std::size_t https = FindIgnoreCase(url, "https://"); https != npos) {
        found.scheme = "https://";
        restStart = https + 8;
    } else {
        return std::nullopt;
    }
    const std::string_view rest = url.substr(restStart);
    found.host = rest.substr(0, rest.find('/'));
    return found;
}

} // namespace

std::string CleanLink(std::string_view raw) {
    LinkText link(raw);
    // Every pass that asks for another one shortens the text, so the loop ends.
    while (CleanLinkPass(link)) {
    }
    return link.TakeText();
}

bool IsExternalLink(std::string_view pageRoot, std::string_view link) {
    // SiteRoot(link) names a scheme and differs from pageRoot; compared without building it.
    const auto site = FindSchemeAndHost(link);
    if (!site)
        return false;
    if (pageRoot.size() != site->scheme.size() + site->host.size() + 1 || pageRoot.back() != '/' ||
        pageRoot.substr(0, site->scheme.size()) != site->scheme)
        return true;
    const std::string_view host = pageRoot.substr(site->scheme.size(), site->host.size());
    for (std::size_t i = 0; i < host.size(); ++i)
        if (host[i] != LowerAscii(site->host[i]))
            return true;
    return false;
}

std::string SiteRoot(std::string_view url) {
    const auto site = FindSchemeAndHost(url);
    if (!site)
        return std::string(url);
    std::string root;
    root.reserve(site->scheme.size() + site->host.size() + 1);
    root.append(site->scheme);
    for (const char c : site->host)
        root.push_back(LowerAscii(c));
    root.push_back('/');
    return root;
}

std::string PageFolder(std::string_view url) {
    const std::size_t slash = url.rfind('/');
    const std::string_view lastSegment = slash == std::string_view::npos ? url : url.substr(slash + 1);
    std::string folder;
    const bool slashBefore = slash != std::string_view::npos && slash > 0 && url[slash - 1] == '/';
    if (lastSegment.find('.') != std::string_view::npos && !slashBefore)
        folder = slash == std::string_view::npos ? std::string() : std::string(url.substr(0, slash + 1));
    else
        folder = std::string(url);
    if (folder.empty() || folder.back() != '/')
        folder.push_back('/');
    return folder;
}

std::string TrimToLastSlash(std::string_view text) {
    std::size_t end = text.size();
    for (std::size_t removed = 0; end > 0 && removed < kTrimLimitChars; ++removed) {
        if (text[end - 1] == '/' || text[end - 1] == '\\')
            break;
        end = PrevChar(text, end);
    }
    return std::string(text.substr(0, end));
}

} // namespace harvexa
