#include "analysis/CLPageExtractor.h"

#include "analysis/ScanCursor.h"
#include "analysis/TextScan.h"
#include "analysis/UrlHelpers.h"
#include "analysis/Utf8Chars.h"

#include <algorithm>
#include <array>
#include <exception>
#include <unordered_set>

namespace harvexa {

using namespace analysis;

namespace {

// The ASCII part of the e-mail delimiters; the two cedilla letters and the acute accent are matched
// as UTF-8 sequences.
constexpr std::string_view kAsciiEmailDelimiters = " )([]{}%$#!|\\/<>:;,*+\"'&?`\r\n";

const std::array<bool, 256>& AsciiEmailDelimiters() {
    static const std::array<bool, 256> table = [] {
        std::array<bool, 256> t{};
        for (const char c : kAsciiEmailDelimiters)
            t[static_cast<unsigned char>(c)] = true;
        return t;
    }();
    return table;
}

// Whether a delimiter character ends just before `end`, not reaching below `floor`.
bool DelimiterEndsAt(std::string_view text, std::size_t end, std::size_t floor) {
    const auto last = static_cast<unsigned char>(text[end - 1]);
    if (last < 0x80)
        return AsciiEmailDelimiters()[last];
    if (end < floor + 2)
        return false;
    const char lead = text[end - 2];
    return ((last == 0x87 || last == 0xA7) && lead == '\xC3') || (last == 0xB4 && lead == '\xC2');
}

constexpr bool IsPhoneChar(char c) {
    return (c >= '0' && c <= '9') || c == '(' || c == ')' || c == '/' || c == '-' || c == '.' || c == ':' ||
           c == ' ';
}

// An e-mail candidate longer than this is measured before it is copied: without "=" cleaning shortens
// it by at most two bytes, so it is too long for an address.
constexpr std::size_t kCopyCandidateBytes = CLPageExtractor::kMaxEmailLength + 2;

// Where a raw attribute value ends: at a stop byte (from `begin` on), at the second double or the second
// single quote (counted from `quoteFrom` on), whichever comes first; npos when none follows.
class ValueEndFinder final {
public:
    ValueEndFinder(std::string_view text, std::string_view stops)
        : m_firstDouble(text, '"')
        , m_secondDouble(text, '"')
        , m_firstSingle(text, '\'')
        , m_secondSingle(text, '\'') {
        for (const char stop : stops)
            m_stops.emplace_back(text, stop);
    }

    std::size_t operator()(std::size_t begin, std::size_t quoteFrom) {
        std::size_t end = npos;
        for (ScanCursor& stop : m_stops)
            end = std::min(end, stop(begin));
        if (const std::size_t first = m_firstDouble(quoteFrom); first < end)
            end = std::min(end, m_secondDouble(first + 1));
        if (const std::size_t first = m_firstSingle(quoteFrom); first < end)
            end = std::min(end, m_secondSingle(first + 1));
        return end;
    }

private:
    std::vector<ScanCursor> m_stops;
    ScanCursor m_firstDouble;
    ScanCursor m_secondDouble;
    ScanCursor m_firstSingle;
    ScanCursor m_secondSingle;
};

// The first byte of a multi-byte character (or any byte from 0x80) at or after a position; asked with
// positions that do not go back, all questions together cost one pass over the text.
class NonAsciiCursor final {
public:
    explicit NonAsciiCursor(std::string_view text)
        : m_text(text) {}

    std::size_t operator()(std::size_t from) {
        if (m_known && from >= m_from && from <= m_found)
            return m_found;
        m_known = true;
        m_from = from;
        m_found = npos;
        for (std::size_t pos = from; pos < m_text.size(); ++pos)
            if (static_cast<unsigned char>(m_text[pos]) >= 0x80) {
                m_found = pos;
                break;
            }
        return m_found;
    }

private:
    std::string_view m_text;
    bool m_known = false;
    std::size_t m_from = 0;
    std::size_t m_found = npos;
};

// The window of a match: its last character is found only when a value may reach it.
class LazyWindow final {
public:
    LazyWindow(std::string_view text, std::size_t start, std::size_t chars, std::size_t textLast,
               NonAsciiCursor& nonAscii)
        : m_text(text)
        , m_start(start)
        , m_chars(chars)
        , m_surelyInside(std::min(start + chars - 1, textLast))
        , m_nonAscii(nonAscii) {}

    // Positions below this one are inside the window and are not its last character.
    std::size_t SurelyInside() const { return m_surelyInside; }
    std::size_t Last() {
        if (m_last != npos)
            return m_last;
        // One byte per character while no byte from 0x80 comes within the window.
        const std::size_t asciiEnd = std::min(m_start + m_chars, m_text.size());
        const std::size_t nonAscii = m_nonAscii(m_start);
        m_last = nonAscii >= asciiEnd ? asciiEnd - 1 : WindowLast(m_text, m_start, m_chars);
        return m_last;
    }
    // Caps an end position at the window's last character.
    std::size_t Cap(std::size_t end) { return end < m_surelyInside ? end : std::min(end, Last()); }

private:
    std::string_view m_text;
    std::size_t m_start;
    std::size_t m_chars;
    std::size_t m_surelyInside;
    NonAsciiCursor& m_nonAscii;
    std::size_t m_last = npos;
};

// Non-"=" bytes from a moving start to the end of one candidate run, for runs too long to copy per "@".
class EqualsFreeTail final {
public:
    // The number of non-"=" bytes in [start, runEnd); cheap while start only moves on within one run.
    std::size_t Count(std::string_view text, std::size_t start, std::size_t runEnd) {
        if (runEnd != m_runEnd || start < m_pos) {
            m_runEnd = runEnd;
            m_pos = start;
            m_bytes.clear();
            for (std::size_t i = start; i < runEnd; ++i)
                if (text[i] != '=')
                    m_bytes.push_back(text[i]);
            m_count = m_bytes.size();
        }
        for (; m_pos < start; ++m_pos)
            if (text[m_pos] != '=')
                --m_count;
        return m_count;
    }
    // Those bytes, after Count.
    std::string Bytes() const { return m_bytes.substr(m_bytes.size() - m_count); }

private:
    std::size_t m_runEnd = npos;
    std::size_t m_pos = 0;
    std::size_t m_count = 0;
    std::string m_bytes;
};

std::size_t EmailRightEnd(std::string_view text, std::size_t at, std::size_t textLast) {
    std::size_t pos = at + 1;
    while (pos < textLast && !CLPageExtractor::IsEmailDelimiterAt(text, pos))
        pos = NextChar(text, pos);
    return pos;
}

std::size_t EmailLeftStart(std::string_view text, std::size_t at, std::size_t floor) {
    std::size_t pos = at;
    while (pos > floor && !DelimiterEndsAt(text, pos, floor))
        --pos;
    return pos;
}

std::string Trimmed(std::string_view text) {
    return std::string(TrimBlanks(text));
}

// Blanks at both ends go, then the final "/" of the last entry.
void FinishEntries(std::string& entries) {
    entries = Trimmed(entries);
    if (!entries.empty())
        entries.erase(PrevChar(entries, entries.size()));
}

} // namespace

void CLPageExtractor::SetPageText(std::string_view text) {
    m_pageText = NormaliseLineEnds(text);
}

std::optional<EntPageData> CLPageExtractor::Extract(const std::string& url, bool captureEmails,
                                                    bool captureTitle, bool captureLinks, bool captureMeta,
                                                    bool capturePhones) {
    m_internalLinks.Clear();
    m_externalLinks.Clear();
    m_emailList.clear();
    m_descriptionList.clear();
    m_keywordList.clear();
    m_titleList.clear();
    m_phoneText.clear();
    m_faxText.clear();
    try {
        EntPageData data;
        data.Url = url;
        if (captureEmails)
            ExtractEmails();
        if (captureLinks) {
            if (m_resultPageMode) {
                try {
                    HarvestResultLinks(m_resultEngine ? &*m_resultEngine : nullptr);
                } catch (const std::exception&) {
                    // The record keeps whatever was harvested.
                }
            } else {
                ExtractLinks(url, false);
            }
        }
        if (captureTitle)
            ExtractTitle();
        if (captureMeta)
            ExtractMeta();
        if (capturePhones) {
            if (!ExtractPhones())
                return std::nullopt;
            data.Phones = SplitLines(m_phoneText);
            data.Faxes = SplitLines(m_faxText);
        }
        data.InternalLinks = m_internalLinks.TakeItems();
        data.ExternalLinks = m_externalLinks.TakeItems();
        data.Emails = std::move(m_emailList);
        m_emailList.clear();
        data.Description = JoinLines(m_descriptionList);
        data.Keywords = JoinLines(m_keywordList);
        data.Title = JoinLines(m_titleList);
        return data;
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

// ---------------------------------------------------------------------------------------------- links

void CLPageExtractor::ExtractLinks(const std::string& url, bool refreshDone) {
    // Searching ignoring ASCII case finds what a search of an upper-cased copy finds, at the same positions.
    std::string_view word = "HREF";
    if (ContainsIgnoreCase(m_pageText, "<FRAME"))
        word = "SRC";
    else if (!refreshDone && ContainsIgnoreCase(m_pageText, "EQUIV=\"REFRESH\""))
        word = "URL";
    ScanLinks(url, word);
    // A refresh page also yields its ordinary links.
    if (word == "URL")
        ExtractLinks(url, true);
}

void CLPageExtractor::ScanLinks(const std::string& url, std::string_view word) {
    try {
        const std::string_view text = m_pageText;
        if (text.empty())
            return;
        const std::string root = SiteRoot(url);
        const std::string folder = PageFolder(url);
        const std::size_t textLast = PrevChar(text, text.size());
        ScanCursor equals(text, '=');
        NonAsciiCursor nonAscii(text);
        ValueEndFinder valueEnd(text, ">\r\n");
        std::string_view previousRaw;
        bool havePrevious = false;
        std::size_t from = 0;
        for (std::size_t match = FindIgnoreCase(text, word, from); match != npos;
             match = FindIgnoreCase(text, word, from)) {
            if (Aborted())
                break;
            // The next search starts three characters on, inside the word just found.
            from = AdvanceChars(text, match, 3);
            LazyWindow window(text, match, kLinkWindowChars, textLast, nonAscii);
            const std::size_t eq = equals(match);
            if (eq == npos || (eq >= window.SurelyInside() && eq > window.Last()))
                continue;
            const std::size_t end = window.Cap(valueEnd(eq, eq + 1));
            const std::string_view raw = text.substr(eq, end - eq);
            // The same raw value again yields the same link, which is already listed.
            if (havePrevious && raw == previousRaw)
                continue;
            previousRaw = raw;
            havePrevious = true;
            std::string link = CleanLink(raw);
            if (!link.empty())
                AddResolvedLink(std::move(link), root, folder);
        }
    } catch (const std::exception&) {
        // The links found so far stay.
    }
}

void CLPageExtractor::AddResolvedLink(std::string link, const std::string& root, const std::string& folder) {
    if (IsExternalLink(root, link)) {
        m_externalLinks.Add(std::move(link));
        return;
    }
    // Any letter case: "HTTP://H1/x" is an address, not a page of the current folder. (Cleaning cut the
    // link to begin at its first "http", so this is a test of its start.)
    if (FindIgnoreCase(link, "http") != npos) {
        m_internalLinks.Add(std::move(link));
        return;
    }
    const bool fromRoot = link.front() == '/';
    const std::string& base = fromRoot ? root : folder;
    const std::string_view tail = std::string_view(link).substr(fromRoot ? 1 : 0);
    std::string resolved;
    resolved.reserve(base.size() + tail.size());
    resolved.append(base).append(tail);
    m_internalLinks.Add(std::move(resolved));
}

void CLPageExtractor::HarvestResultLinks(const ResultEngineMarkers* engine) {
    if (!engine)
        return;
    try {
        const std::string_view page = m_pageText;
        std::size_t sectionBegin = 0;
        std::size_t sectionEnd = page.size();
        if (const std::size_t begin = Find(page, engine->begin_search_text); begin != npos)
            sectionBegin = begin > 0 ? PrevChar(page, begin) : 0;
        if (const std::size_t end = Find(page, engine->end_search_text, sectionBegin); end != npos)
            sectionEnd = end + engine->end_search_text.size();
        const std::string tag = UpperCopy(engine->tag_busca_link);
        if (sectionEnd <= sectionBegin || tag.empty())
            return;
        const std::string_view text = page.substr(sectionBegin, sectionEnd - sectionBegin);
        std::vector<std::string> mustNotHave = SplitLines(engine->must_not_have);
        std::erase_if(mustNotHave, [](const std::string& line) { return line.empty(); });

        const std::size_t textLast = PrevChar(text, text.size());
        NonAsciiCursor nonAscii(text);
        ValueEndFinder valueEnd(text, "> \r\n<");
        std::string_view previousRaw;
        bool havePrevious = false;
        std::size_t from = 0;
        for (std::size_t match = FindIgnoreCase(text, tag, from); match != npos;
             match = FindIgnoreCase(text, tag, from)) {
            if (Aborted())
                break;
            from = AdvanceChars(text, match, 3);
            LazyWindow window(text, match, kLinkWindowChars, textLast, nonAscii);
            const std::size_t begin = match + tag.size();
            // The value needs a first character before the window's last one.
            if (begin >= text.size() || (begin >= window.SurelyInside() && begin >= window.Last()))
                continue;
            const std::size_t end = window.Cap(valueEnd(begin, NextChar(text, begin)));
            const std::string_view raw = text.substr(begin, end - begin);
            if (havePrevious && raw == previousRaw)
                continue;
            previousRaw = raw;
            havePrevious = true;
            const bool dropped = std::any_of(mustNotHave.begin(), mustNotHave.end(),
                                             [&](const std::string& line) { return Contains(raw, line); });
            std::string link = CleanLink(dropped ? std::string_view() : raw);
            if (StartsWithIgnoreCase(link, "WWW"))
                link = std::string("http://").append(link);
            if (!link.empty())
                m_internalLinks.Add(std::move(link));
        }
    } catch (const std::exception&) {
        // The links found so far stay.
    }
}

// -------------------------------------------------------------------------------------------- e-mails

bool CLPageExtractor::IsEmailDelimiterAt(std::string_view text, std::size_t pos) {
    const auto byte = static_cast<unsigned char>(text[pos]);
    if (byte < 0x80)
        return AsciiEmailDelimiters()[byte];
    if (pos + 1 >= text.size())
        return false;
    const auto next = static_cast<unsigned char>(text[pos + 1]);
    return (byte == 0xC3 && (next == 0x87 || next == 0xA7)) || (byte == 0xC2 && next == 0xB4);
}

void CLPageExtractor::ExtractEmails() {
    std::vector<std::string> found;
    CollectEmails(found);
    if (m_repeatedEmails != "0") {
        m_emailList.insert(m_emailList.end(), std::make_move_iterator(found.begin()),
                           std::make_move_iterator(found.end()));
        return;
    }
    // One copy of each address, sorted ignoring letter case.
    std::vector<std::pair<std::string, std::string>> keyed;
    std::unordered_set<std::string> keys;
    for (auto* source : {&m_emailList, &found})
        for (auto& address : *source) {
            std::string key = LowerCopy(address);
            if (keys.insert(key).second)
                keyed.emplace_back(std::move(key), std::move(address));
        }
    std::sort(keyed.begin(), keyed.end());
    m_emailList.clear();
    for (auto& [key, address] : keyed)
        m_emailList.push_back(std::move(address));
}

void CLPageExtractor::CollectEmails(std::vector<std::string>& found) {
    try {
        const std::string_view text = m_pageText;
        if (text.empty())
            return;
        const std::size_t textLast = PrevChar(text, text.size());
        ScanCursor equalsFromLeft(text, '=');
        ScanCursor equalsFromCandidate(text, '=');
        ScanCursor equalsFromClean(text, '=');
        EqualsFreeTail longRun;
        std::size_t runEnd = npos;
        // The working text is text[work..]: the head up to two characters after each "@" is gone.
        std::size_t work = 0;
        while (work < text.size()) {
            const void* hit = std::memchr(text.data() + work, '@', text.size() - work);
            if (!hit)
                break;
            if (Aborted())
                break;
            const std::size_t at = static_cast<std::size_t>(static_cast<const char*>(hit) - text.data());
            // Every "@" of one run of non-delimiters shares the run's right end.
            if (runEnd == npos || at >= runEnd)
                runEnd = EmailRightEnd(text, at, textLast);
            const std::size_t left = EmailLeftStart(text, at, work);
            work = AdvanceChars(text, at, 3);

            // A candidate holding "=" loses its first character; cleaning keeps what follows its first "=".
            std::size_t start = left;
            if (equalsFromLeft(left) < runEnd)
                start = NextChar(text, left);
            if (const std::size_t eq = equalsFromCandidate(start); eq < runEnd)
                start = eq + 1;
            // What is left, without its "=", is the cleaned candidate (delimiters exclude quotes and blanks).
            std::string candidate;
            if (runEnd - start <= kCopyCandidateBytes) {
                candidate.reserve(runEnd - start);
                for (std::size_t i = start; i < runEnd; ++i)
                    if (text[i] != '=')
                        candidate.push_back(text[i]);
            } else if (equalsFromClean(start) >= runEnd) {
                continue; // far longer than any address
            } else {
                if (longRun.Count(text, start, runEnd) > kMaxEmailLength + 2)
                    continue;
                candidate = longRun.Bytes();
            }
            if (ValidateEmail(candidate) && !candidate.empty())
                found.push_back(std::move(candidate));
        }
    } catch (const std::exception&) {
        // The addresses found so far stay.
    }
}

bool CLPageExtractor::ValidateEmail(std::string& candidate) {
    std::string& c = candidate;
    if (const std::size_t eq = c.find('='); eq != std::string::npos)
        c.erase(0, eq + 1);
    std::erase_if(c, [](char ch) { return ch == '=' || ch == '"' || ch == '\'' || ch == ' '; });
    if (const std::size_t dot = c.find('.'); dot != std::string::npos && dot + 1 == c.size())
        c.pop_back();
    if (!c.empty() && (c.back() == '.' || c.back() == ':' || c.back() == ';'))
        c.pop_back();

    if (Contains(c, "@.") || c == "@" || Contains(c, "..") || Contains(c, ".@"))
        return false;
    if (!c.empty() && (c.front() == '.' || c.front() == '@'))
        return false;
    if (Contains(c, "@@") || c.find('\x7F') != std::string::npos)
        return false;
    const std::size_t at = c.find('@');
    if (at != std::string::npos && at + 1 == c.size())
        return false;
    if (c.find('.') == std::string::npos)
        return false;
    const std::string_view domain =
        at == std::string::npos ? std::string_view(c) : std::string_view(c).substr(at + 1);
    if (domain.find('.') == std::string_view::npos)
        return false;
    if (CharCount(c) < 5 || c.size() > kMaxEmailLength)
        return false;
    return true;
}

// ----------------------------------------------------------------------------------------- page facts

void CLPageExtractor::ExtractTitle() {
    try {
        const std::string_view text = m_pageText;
        if (text.empty())
            return;
        const std::size_t tag = FindIgnoreCase(text, "<TITLE>");
        if (tag == npos)
            return;
        const std::size_t start = tag + 7;
        // The title runs to the next "<", never taking the text's last character.
        const std::size_t textLast = PrevChar(text, text.size());
        std::size_t end = text.find('<', start);
        end = std::min(end, textLast);
        m_titleList = SplitLines(end > start ? text.substr(start, end - start) : std::string_view());
    } catch (const std::exception&) {
        // The title step swallows its failures.
    }
}

void CLPageExtractor::ExtractMeta() {
    try {
        const std::string_view text = m_pageText;
        if (text.empty())
            return;
        ScanCursor close(text, '>');
        ScanCursor description(text, std::string_view("DESCRIPTION"));
        ScanCursor keywords(text, std::string_view("KEYWORDS"));
        // A later matching tag replaces an earlier one, so only the last of each kind is read.
        std::string_view lastDescription, lastKeywords;
        bool haveDescription = false, haveKeywords = false;
        for (std::size_t meta = FindIgnoreCase(text, "<META"); meta != npos;
             meta = FindIgnoreCase(text, "<META", meta + 5)) {
            const std::size_t end = close(meta + 5);
            if (end == npos)
                continue; // the tag is empty
            const std::string_view tag = text.substr(meta, end - meta + 1);
            // The words cannot hold ">", so a hit before the tag's end lies inside the tag.
            if (description(meta) < end) {
                lastDescription = tag;
                haveDescription = true;
            } else if (keywords(meta) < end) {
                lastKeywords = tag;
                haveKeywords = true;
            }
        }
        if (haveDescription)
            m_descriptionList = SplitLines(MetaContent(lastDescription));
        if (haveKeywords)
            m_keywordList = SplitLines(MetaContent(lastKeywords));
    } catch (const std::exception&) {
        // The meta step swallows its failures.
    }
}

std::string CLPageExtractor::MetaContent(std::string_view tag) {
    const std::string lower = LowerCopy(tag);
    std::size_t start;
    if (const std::size_t at = Find(lower, "content="); at != npos)
        start = AdvanceChars(tag, at, 9); // past "content=" and the opening quote
    else if (const std::size_t spaced = Find(lower, "content ="); spaced != npos)
        start = AdvanceChars(tag, spaced, 10);
    else
        return {};
    // The value ends before the closing quote and ">", the tag's last two characters.
    std::size_t end = tag.size();
    for (int dropped = 0; dropped < 2 && end > 0; ++dropped)
        end = PrevChar(tag, end);
    return start < end ? std::string(tag.substr(start, end - start)) : std::string();
}

bool CLPageExtractor::ExtractPhones() {
    if (!m_phoneKeywords)
        return false;
    std::optional<PhoneKeywordLists> lists = m_phoneKeywords->Read();
    if (!lists)
        return false;
    for (auto* list : {&lists->Phones, &lists->Faxes})
        for (auto& keyword : *list)
            keyword = UpperCopy(keyword);
    std::vector<std::string> keywords = lists->Phones;
    keywords.insert(keywords.end(), lists->Faxes.begin(), lists->Faxes.end());
    try {
        for (const std::string& keyword : keywords)
            if (!keyword.empty() && !ScanPhoneKeyword(keyword, IsFaxKeyword(keyword, lists->Faxes)))
                break;
    } catch (const std::exception&) {
        // Failures during the scan only end it.
    }
    FinishEntries(m_phoneText);
    FinishEntries(m_faxText);
    return true;
}

bool CLPageExtractor::ScanPhoneKeyword(const std::string& keyword, bool fax) {
    const std::string_view text = m_pageText;
    if (text.empty())
        return true;
    const std::size_t textLast = PrevChar(text, text.size());
    NonAsciiCursor nonAscii(text);
    std::size_t from = 0;
    for (std::size_t match = FindIgnoreCase(text, keyword, from); match != npos;
         match = FindIgnoreCase(text, keyword, from)) {
        if (Aborted())
            return false;
        from = AdvanceChars(text, match, 3);
        LazyWindow window(text, match, kPhoneWindowChars, textLast, nonAscii);
        const std::size_t begin = match + keyword.size();
        if (begin >= text.size() || (begin >= window.SurelyInside() && begin > window.Last()))
            continue;
        // Phone characters are single bytes, so the run inside the window ends within 100 bytes of its start.
        const std::size_t limit = std::min(text.size(), begin + kPhoneWindowChars);
        std::size_t end = begin;
        while (end < limit && IsPhoneChar(text[end]))
            ++end;
        if (end > begin && end - 1 >= window.SurelyInside())
            end = std::min(end, window.Last() + 1);
        const std::string number = CleanPhoneNumber(text.substr(begin, end - begin));
        if (!number.empty())
            (fax ? m_faxText : m_phoneText) += keyword + ": " + number + " / ";
    }
    return true;
}

std::string CLPageExtractor::CleanPhoneNumber(std::string_view text) {
    std::string number = RemoveBytes(TrimBlanks(text), ": ");
    return CharCount(number) < 6 ? std::string() : number;
}

bool CLPageExtractor::IsFaxKeyword(std::string_view keyword, const std::vector<std::string>& faxKeywords) {
    return std::any_of(faxKeywords.begin(), faxKeywords.end(), [&](const std::string& line) {
        const std::string_view label = TrimBlanks(line);
        return !label.empty() && Contains(keyword, label);
    });
}

} // namespace harvexa
