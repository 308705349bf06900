#include "reference/LiteralExtractor.h"

#include "analysis/UrlHelpers.h"
#include "analysis/Utf8Chars.h"

#include <algorithm>
#include <exception>

namespace harvexa::test {

using analysis::AdvanceChars;
using analysis::NextChar;
using analysis::PrevChar;

namespace {

std::string Upper(std::string text) {
    for (char& c : text)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 32);
    return text;
}

std::string Lower(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c + 32);
    return text;
}

// The text as a list of its characters.
std::vector<std::string> Chars(const std::string& text) {
    std::vector<std::string> chars;
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t next = NextChar(text, pos);
        chars.push_back(text.substr(pos, next - pos));
        pos = next;
    }
    return chars;
}

std::string Join(const std::vector<std::string>& chars, std::size_t from,
                 std::size_t count = std::string::npos) {
    std::string text;
    for (std::size_t i = from; i < chars.size() && (count == std::string::npos || i < from + count); ++i)
        text += chars[i];
    return text;
}

std::string CharAt(const std::string& text, std::size_t pos) {
    return text.substr(pos, NextChar(text, pos) - pos);
}

std::string ReplaceAll(const std::string& text, const std::string& from, const std::string& to,
                       bool ignoreCase) {
    const std::string haystack = ignoreCase ? Upper(text) : text;
    const std::string needle = ignoreCase ? Upper(from) : from;
    std::string result;
    std::size_t pos = 0;
    while (true) {
        const std::size_t hit = haystack.find(needle, pos);
        if (hit == std::string::npos)
            break;
        result += text.substr(pos, hit - pos) + to;
        pos = hit + needle.size();
    }
    return result + text.substr(pos);
}

bool ContainsNoCase(const std::string& text, const std::string& needle) {
    return Upper(text).find(Upper(needle)) != std::string::npos;
}

std::vector<std::string> Lines(std::string_view text) {
    std::vector<std::string> lines;
    std::string line;
    std::size_t i = 0;
    while (i < text.size()) {
        line.clear();
        while (i < text.size() && text[i] != '\r' && text[i] != '\n')
            line += text[i++];
        lines.push_back(line);
        if (i < text.size() && text[i] == '\r')
            ++i;
        if (i < text.size() && text[i] == '\n')
            ++i;
    }
    return lines;
}

std::string TextOf(const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& line : lines)
        text += line + "\r\n";
    return text;
}

std::string TrimSpaces(const std::string& text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

bool IsEmailDelimiter(const std::string& ch) {
    static const std::vector<std::string> delimiters = {
        " ", ")",  "(", "[", "]", "{",        "}", "%",  "$",        "#",        "!",
        "|", "\\", "/", "<", ">", ":",        ";", ",",  "\xC3\x87", "\xC3\xA7", "*",
        "+", "\"", "'", "&", "?", "\xC2\xB4", "`", "\r", "\n"};
    return std::find(delimiters.begin(), delimiters.end(), ch) != delimiters.end();
}

bool IsPhoneCharacter(const std::string& ch) {
    static const std::string phoneCharacters = "()/-.0123456789: ";
    return ch.size() == 1 && phoneCharacters.find(ch[0]) != std::string::npos;
}

} // namespace

std::string LiteralExtractor::NormaliseLineEnds(std::string_view text) {
    return TextOf(Lines(text));
}

void LiteralExtractor::SetPageText(std::string_view text) {
    m_page = NormaliseLineEnds(text);
}

void LiteralExtractor::AddUnlessPresent(std::vector<std::string>& list, const std::string& entry) {
    for (const auto& present : list)
        if (Lower(present) == Lower(entry))
            return;
    list.push_back(entry);
}

std::optional<EntPageData> LiteralExtractor::Extract(const std::string& url, bool captureEmails,
                                                     bool captureTitle, bool captureLinks, bool captureMeta,
                                                     bool capturePhones) {
    m_internal.clear();
    m_external.clear();
    m_emails.clear();
    m_description.clear();
    m_keywords.clear();
    m_title.clear();
    m_phoneText.clear();
    m_faxText.clear();
    EntPageData data;
    data.Url = url;
    if (captureEmails)
        ExtractEmails();
    if (captureLinks) {
        if (m_resultPageMode)
            HarvestResultLinks(m_resultEngine ? &*m_resultEngine : nullptr);
        else
            ExtractLinks(url, false);
    }
    if (captureTitle)
        ExtractTitle();
    if (captureMeta)
        ExtractMeta();
    if (capturePhones) {
        if (!ExtractPhones())
            return std::nullopt;
        data.Phones = Lines(m_phoneText);
        data.Faxes = Lines(m_faxText);
    }
    data.InternalLinks = m_internal;
    data.ExternalLinks = m_external;
    data.Emails = m_emails;
    data.Description = TextOf(m_description);
    data.Keywords = TextOf(m_keywords);
    data.Title = TextOf(m_title);
    return data;
}

void LiteralExtractor::ExtractLinks(const std::string& url, bool refreshDone) {
    std::string search = Upper(m_page);
    std::string value = m_page;
    std::string word = "HREF";
    if (search.find("<FRAME") != std::string::npos)
        word = "SRC";
    else if (search.find("EQUIV=\"REFRESH\"") != std::string::npos && !refreshDone)
        word = "URL";
    const std::string root = SiteRoot(url);
    while (search.find(word) != std::string::npos) {
        if (Aborted())
            break;
        const std::size_t p = search.find(word);
        const std::string window = value.substr(p, AdvanceChars(value, p, 500) - p);
        const std::size_t e = window.find('=');
        if (e != std::string::npos) {
            const std::size_t last = PrevChar(window, window.size());
            std::string raw;
            int doubleQuotes = 0, singleQuotes = 0;
            std::size_t current = e;
            while (window[current] != '>' && window[current] != '\r' && window[current] != '\n' &&
                   current != last) {
                const std::size_t next = NextChar(window, current);
                raw += window.substr(current, next - current);
                current = next;
                if (window[current] == '"' && ++doubleQuotes == 2)
                    break;
                if (window[current] == '\'' && ++singleQuotes == 2)
                    break;
            }
            const std::string link = CleanLink(raw);
            if (!link.empty()) {
                if (IsExternalLink(root, link))
                    AddUnlessPresent(m_external, link);
                else if (Upper(link).find("HTTP") != std::string::npos)
                    AddUnlessPresent(m_internal, link);
                else if (link[0] == '/')
                    AddUnlessPresent(m_internal, root + link.substr(1));
                else
                    AddUnlessPresent(m_internal, PageFolder(url) + link);
            }
        }
        const std::size_t deleted = AdvanceChars(value, p, 3);
        search.erase(0, deleted);
        value.erase(0, deleted);
    }
    if (word == "URL")
        ExtractLinks(url, true);
}

std::string LiteralExtractor::CleanLink(const std::string& raw) {
    std::string s = raw;
    bool again = true;
    while (again) {
        again = false;
        std::string kept;
        for (const char c : s)
            if (c != ' ' && c != '"' && c != '\'')
                kept += c;
        s = ReplaceAll(kept, "&amp;", "&", true);
        const std::size_t http = Upper(s).find("HTTP");
        if (http != std::string::npos)
            s = s.substr(http);
        else
            s = ReplaceAll(s, "//", "/", false);
        if (!s.empty() && s[s.size() - 1] == '.') {
            s = s.substr(0, s.size() - 1);
            again = true;
        }
        if (s.find('#') != std::string::npos) {
            s = s.substr(0, s.find('#'));
            again = true;
        }
        if (!s.empty() && s[0] == '=') {
            s = s.substr(1);
            again = true;
        }
        if (s.find(';') != std::string::npos)
            s = s.substr(0, s.find(';'));
        s = ReplaceAll(s, "../", "/", false);
        s = ReplaceAll(s, "TARGET", "#HVX#", true);
        s = ReplaceAll(s, "CLASS", "#HVX#", true);
        s = ReplaceAll(s, "%3A", ":", true);
        s = ReplaceAll(s, "%2F", "/", true);
        if (s.find("#HVX#") != std::string::npos)
            s = s.substr(0, s.find("#HVX#"));
        if (ContainsNoCase(s, "MAILTO")) {
            s.clear();
            again = true;
        }
        const std::vector<std::string> chars = Chars(s);
        if (chars.size() > 5) {
            const std::vector<std::string> part(chars.begin() + 5, chars.end());
            const std::size_t inner = Upper(Join(part, 0)).find("HTTP://");
            if (inner != std::string::npos) {
                const std::size_t innerChar = Chars(Join(part, 0).substr(0, inner)).size();
                s = Join(chars, 5 + innerChar - 1);
                again = true;
            }
        }
    }
    return s;
}

void LiteralExtractor::ExtractEmails() {
    std::string work = m_page;
    const bool sorted = m_repeatedEmails == "0";
    while (work.find('@') != std::string::npos) {
        if (Aborted())
            break;
        const std::size_t a = work.find('@');
        const std::size_t last = PrevChar(work, work.size());
        std::string right;
        std::size_t current = a + 1;
        while (current < work.size() && !IsEmailDelimiter(CharAt(work, current)) && current != last) {
            right += CharAt(work, current);
            current = NextChar(work, current);
        }
        std::string left;
        current = a;
        while (current > 0) {
            const std::size_t previous = PrevChar(work, current);
            if (IsEmailDelimiter(work.substr(previous, current - previous)))
                break;
            left = work.substr(previous, current - previous) + left;
            current = previous;
        }
        std::string candidate = left + "@" + right;
        if (candidate.find('=') != std::string::npos)
            candidate = candidate.substr(NextChar(candidate, 0));
        if (ValidateEmail(candidate) && !candidate.empty()) {
            if (!sorted) {
                m_emails.push_back(candidate);
            } else {
                bool present = false;
                std::size_t insertAt = 0;
                for (std::size_t i = 0; i < m_emails.size(); ++i) {
                    if (Lower(m_emails[i]) == Lower(candidate))
                        present = true;
                    if (Lower(m_emails[i]) < Lower(candidate))
                        insertAt = i + 1;
                }
                if (!present)
                    m_emails.insert(m_emails.begin() + static_cast<std::ptrdiff_t>(insertAt), candidate);
            }
        }
        work.erase(0, AdvanceChars(work, a, 3));
    }
}

bool LiteralExtractor::ValidateEmail(std::string& candidate) {
    std::string c = candidate;
    if (c.find('=') != std::string::npos)
        c = c.substr(c.find('=') + 1);
    std::string cleaned;
    for (const char ch : c)
        if (ch != '=' && ch != '"' && ch != '\'' && ch != ' ')
            cleaned += ch;
    c = cleaned;
    if (c.find('.') != std::string::npos && c.find('.') == c.size() - 1)
        c = c.substr(0, c.size() - 1);
    if (!c.empty() && (c.back() == '.' || c.back() == ':' || c.back() == ';'))
        c = c.substr(0, c.size() - 1);
    candidate = c;
    const std::size_t at = c.find('@');
    const std::string afterAt = at == std::string::npos ? c : c.substr(at + 1);
    const bool refused =
        c.find("@.") != std::string::npos || c == "@" || c.find("..") != std::string::npos ||
        c.find(".@") != std::string::npos || (!c.empty() && c[0] == '.') || (!c.empty() && c[0] == '@') ||
        c.find("@@") != std::string::npos || c.find('\x7F') != std::string::npos ||
        (at != std::string::npos && at == c.size() - 1) || c.find('.') == std::string::npos ||
        afterAt.find('.') == std::string::npos || Chars(c).size() < 5 || c.size() > 254;
    return !refused;
}

void LiteralExtractor::ExtractTitle() {
    if (m_page.empty())
        return;
    const std::size_t tag = Lower(m_page).find("<title>");
    if (tag == std::string::npos)
        return;
    const std::size_t last = PrevChar(m_page, m_page.size());
    std::string title;
    std::size_t pos = tag + 7;
    while (pos < m_page.size() && m_page[pos] != '<' && pos != last) {
        title += CharAt(m_page, pos);
        pos = NextChar(m_page, pos);
    }
    m_title = Lines(title);
}

void LiteralExtractor::ExtractMeta() {
    if (m_page.empty())
        return;
    std::string rest = m_page;
    while (Lower(rest).find("<meta") != std::string::npos) {
        const std::size_t m = Lower(rest).find("<meta");
        const std::size_t close = rest.find('>', m);
        const std::string tag = close == std::string::npos ? std::string() : rest.substr(m, close - m + 1);
        if (Lower(tag).find("description") != std::string::npos)
            m_description = Lines(MetaContent(tag));
        else if (Lower(tag).find("keywords") != std::string::npos)
            m_keywords = Lines(MetaContent(tag));
        rest = rest.substr(m + 5);
    }
}

std::string LiteralExtractor::MetaContent(const std::string& tag) {
    // Positions and lengths in characters, first character = 1, as Copy(tag, start, length) reads them.
    const std::vector<std::string> chars = Chars(tag);
    const std::string lower = Lower(tag);
    const auto charIndex = [&](std::size_t bytePos) {
        return Chars(tag.substr(0, bytePos)).size() + 1;
    };
    long long start, length;
    const long long tagLength = static_cast<long long>(chars.size());
    if (lower.find("content=") != std::string::npos) {
        const long long c = static_cast<long long>(charIndex(lower.find("content=")));
        start = c + 9;
        length = tagLength - c - 10;
    } else if (lower.find("content =") != std::string::npos) {
        const long long c = static_cast<long long>(charIndex(lower.find("content =")));
        start = c + 10;
        length = tagLength - c - 11;
    } else {
        return {};
    }
    if (length <= 0 || start > tagLength)
        return {};
    return Join(chars, static_cast<std::size_t>(start - 1), static_cast<std::size_t>(length));
}

bool LiteralExtractor::ExtractPhones() {
    if (!m_phoneKeywords)
        return false;
    const auto lists = m_phoneKeywords->Read();
    if (!lists)
        return false;
    std::vector<std::string> phones, faxes;
    for (const auto& k : lists->Phones)
        phones.push_back(Upper(k));
    for (const auto& k : lists->Faxes)
        faxes.push_back(Upper(k));
    std::vector<std::string> keywords = phones;
    keywords.insert(keywords.end(), faxes.begin(), faxes.end());
    bool aborted = false;
    for (const std::string& k : keywords) {
        if (aborted)
            break;
        std::string search = Upper(m_page);
        std::string value = m_page;
        bool isFax = false;
        for (const auto& fax : faxes)
            if (!TrimSpaces(fax).empty() && k.find(TrimSpaces(fax)) != std::string::npos)
                isFax = true;
        while (!k.empty() && search.find(k) != std::string::npos) {
            if (Aborted()) {
                aborted = true;
                break;
            }
            const std::size_t p = search.find(k);
            const std::vector<std::string> window = Chars(value.substr(p, AdvanceChars(value, p, 100) - p));
            std::string number;
            for (std::size_t i = Chars(k).size(); i < window.size() && IsPhoneCharacter(window[i]); ++i)
                number += window[i];
            std::string cleaned;
            for (const char ch : TrimSpaces(number))
                if (ch != ':' && ch != ' ')
                    cleaned += ch;
            if (Chars(cleaned).size() >= 6)
                (isFax ? m_faxText : m_phoneText) += k + ": " + cleaned + " / ";
            const std::size_t deleted = AdvanceChars(value, p, 3);
            search.erase(0, deleted);
            value.erase(0, deleted);
        }
    }
    for (std::string* text : {&m_phoneText, &m_faxText}) {
        *text = TrimSpaces(*text);
        if (!text->empty())
            text->erase(PrevChar(*text, text->size()));
    }
    return true;
}

void LiteralExtractor::HarvestResultLinks(const ResultEngineMarkers* engine) {
    if (!engine)
        return;
    std::string section = m_page;
    if (!engine->begin_search_text.empty() && section.find(engine->begin_search_text) != std::string::npos) {
        const std::size_t b = section.find(engine->begin_search_text);
        section = section.substr(b > 0 ? PrevChar(section, b) : 0);
    }
    if (!engine->end_search_text.empty() && section.find(engine->end_search_text) != std::string::npos)
        section = section.substr(0, section.find(engine->end_search_text) + engine->end_search_text.size());
    if (section.empty())
        return;
    std::string search = Upper(section);
    std::string value = section;
    const std::string tag = Upper(engine->tag_busca_link);
    while (!tag.empty() && search.find(tag) != std::string::npos) {
        if (Aborted())
            break;
        const std::size_t p = search.find(tag);
        const std::string window = value.substr(p, AdvanceChars(value, p, 500) - p);
        const std::size_t last = PrevChar(window, window.size());
        std::string raw;
        std::size_t current = tag.size();
        int doubleQuotes = 0, singleQuotes = 0;
        if (current < window.size()) {
            while (std::string(">\r\n< ").find(window[current]) == std::string::npos && current != last) {
                const std::size_t next = NextChar(window, current);
                raw += window.substr(current, next - current);
                current = next;
                if (window[current] == '"' && ++doubleQuotes == 2)
                    break;
                if (window[current] == '\'' && ++singleQuotes == 2)
                    break;
            }
        }
        for (const auto& line : Lines(engine->must_not_have))
            if (!line.empty() && raw.find(line) != std::string::npos) {
                raw.clear();
                break;
            }
        std::string link = CleanLink(raw);
        if (Upper(link).rfind("WWW", 0) == 0)
            link = "http://" + link;
        if (!link.empty())
            AddUnlessPresent(m_internal, link);
        const std::size_t deleted = AdvanceChars(value, p, 3);
        search.erase(0, deleted);
        value.erase(0, deleted);
    }
}

} // namespace harvexa::test
