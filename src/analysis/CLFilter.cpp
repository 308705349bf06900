#include "analysis/CLFilter.h"

#include "analysis/FlattenText.h"
#include "analysis/TextScan.h"
#include "analysis/Utf8Chars.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <exception>
#include <optional>
#include <unordered_set>
#include <utility>

namespace harvexa {

using namespace analysis;

namespace {

constexpr std::string_view kClose = "\")";
constexpr std::string_view kCut = "...\")";

// The words of a list, lower-cased; empty lines never match and are left out.
std::vector<std::string> LowerWords(std::string_view list) {
    std::vector<std::string> words = SplitLines(list);
    std::erase_if(words, [](const std::string& word) { return word.empty(); });
    for (auto& word : words)
        word = LowerCopy(word);
    return words;
}

std::optional<std::string> FirstOccurring(const std::vector<std::string>& words, std::string_view text) {
    for (const auto& word : words)
        if (Contains(text, word))
            return word;
    return std::nullopt;
}

// The last four characters (all of a shorter text).
std::string_view LastFourChars(std::string_view text) {
    std::size_t start = text.size();
    for (int chars = 0; chars < 4 && start > 0; ++chars)
        start = PrevChar(text, start);
    return text.substr(start);
}

struct Entity {
    std::string_view name; // without "&" and ";"
    std::string_view replacement;
};

// Accented letters of the content filter; "&amp;" follows them.
constexpr std::array<Entity, 23> kContentEntities = {{
    {"aacute", "á"}, {"eacute", "é"}, {"iacute", "í"}, {"oacute", "ó"}, {"uacute", "ú"}, {"auml", "ä"},
    {"euml", "ë"},   {"iuml", "ï"},   {"ouml", "ö"},   {"uuml", "ü"},   {"agrave", "à"}, {"egrave", "è"},
    {"igrave", "ì"}, {"ograve", "ò"}, {"ugrave", "ù"}, {"acirc", "â"},  {"ecirc", "ê"},  {"icirc", "î"},
    {"ocirc", "ô"},  {"ucirc", "û"},  {"atilde", "ã"}, {"otilde", "õ"}, {"ccedil", "ç"},
}};

// The shared entity table, in its order.
constexpr std::array<Entity, 28> kDecodeEntities = {{
    {"aacute", "á"}, {"eacute", "é"}, {"iacute", "í"}, {"oacute", "ó"}, {"uacute", "ú"}, {"auml", "ä"},
    {"euml", "ë"},   {"iuml", "ï"},   {"ouml", "ö"},   {"uuml", "ü"},   {"uml", "¨"},    {"nbsp", " "},
    {"agrave", "à"}, {"egrave", "è"}, {"igrave", "ì"}, {"ograve", "ò"}, {"ugrave", "ù"}, {"acirc", "â"},
    {"ecirc", "ê"},  {"icirc", "î"},  {"ocirc", "ô"},  {"ucirc", "û"},  {"atilde", "ã"}, {"otilde", "õ"},
    {"ccedil", "ç"}, {"amp", "&"},    {"gt", ">"},     {"lt", "<"},
}};

void ReplaceAllInPlaceIgnoreCase(std::string& text, std::string_view from, std::string_view to) {
    if (FindIgnoreCase(text, from) != npos)
        text = ReplaceAllIgnoreCase(text, from, to);
}

} // namespace

CLFilter::CLFilter(FilterLogSink* log, LoggedEntrySet& loggedUrls, LoggedEntrySet& loggedEmails)
    : m_log(log)
    , m_loggedUrls(loggedUrls)
    , m_loggedEmails(loggedEmails) {}

std::string CLFilter::Text(int key) const {
    return m_log ? m_log->Text(key) : std::string();
}

bool CLFilter::SwitchOn(FilterLogSwitch which) const {
    return m_log && m_log->IsOn(which);
}

void CLFilter::Post(const std::string& message, const std::string& subject, int kind,
                    const std::string& caption) {
    try {
        m_log->PostLogEntry(message, subject, kind, caption);
    } catch (const std::exception&) {
        // A failure while logging is ignored.
    }
}

bool CLFilter::FilterUrl(const std::string& url) {
    const std::string u = LowerCopy(url);
    std::string message;
    int kind = 0;
    bool accepted = false;
    // Each test either passes the URL on or decides; logging follows every decision.
    [&] {
        if (!m_research) {
            accepted = true;
            return;
        }
        const ResearchFilterLists& research = *m_research;
        if (const auto words = LowerWords(research.url_must_have); !words.empty()) {
            if (const auto word = FirstOccurring(words, u)) {
                message = Text(UrlAccepted) + *word + std::string(kClose);
                kind = 0;
            } else {
                message = Text(UrlMissing) + std::string(FirstChars(research.url_must_have, 15)) +
                          std::string(kCut);
                kind = 2;
                return;
            }
        }
        if (const auto word = FirstOccurring(LowerWords(research.url_must_not_have), u)) {
            message = Text(UrlRefused) + *word + std::string(kClose);
            kind = 2;
            return;
        }
        if (research.exigir_valid_domains) {
            if (const auto domains = LowerWords(research.domains); !domains.empty()) {
                if (FirstOccurring(domains, u)) {
                    message.clear();
                } else {
                    message =
                        Text(UrlDomain) + std::string(FirstChars(research.domains, 10)) + std::string(kCut);
                    kind = 2;
                    return;
                }
            }
        }
        const std::string_view ending = LastFourChars(u);
        for (const auto& word : LowerWords(research.binary_files)) {
            if (ending == word) {
                message = Text(UrlBinary) + word + std::string(kClose);
                kind = 2;
                return;
            }
        }
        accepted = true;
    }();
    const bool wanted = (kind == 0 && SwitchOn(FilterLogSwitch::UrlPositive)) ||
                        (kind == 2 && SwitchOn(FilterLogSwitch::UrlNegative));
    if (!message.empty() && wanted && m_loggedUrls.InsertIfAbsent(url))
        Post(FlattenText(message), FlattenText(url), kind, Text(UrlCaption));
    return accepted;
}

std::string CLFilter::NormaliseContent(std::string_view text) {
    const std::string lower = LowerCopy(text);
    std::string result;
    result.reserve(lower.size());
    std::size_t copied = 0;
    // The entities cannot overlap and their replacements form no new entity, so one pass replaces
    // them as the table's replace-all passes do, "&amp;" last.
    for (std::size_t amp = lower.find('&'); amp != std::string::npos; amp = lower.find('&', amp + 1)) {
        const std::string_view rest = std::string_view(lower).substr(amp + 1);
        std::string_view replacement;
        std::size_t length = 0;
        for (const Entity& entity : kContentEntities) {
            if (rest.size() > entity.name.size() && rest.substr(0, entity.name.size()) == entity.name &&
                rest[entity.name.size()] == ';') {
                replacement = entity.replacement;
                length = entity.name.size() + 2;
                break;
            }
        }
        if (length == 0 && rest.substr(0, 4) == "amp;") {
            replacement = "&";
            length = 5;
        }
        if (length == 0)
            continue;
        result.append(lower, copied, amp - copied).append(replacement);
        copied = amp + length;
        amp = copied - 1;
    }
    result.append(lower, copied);
    return result;
}

std::string CLFilter::FilterContent() {
    m_content = NormaliseContent(m_content);
    if (!m_research)
        return {};
    std::string result;
    int kind = 0;
    if (const auto words = LowerWords(m_research->site_must_have); !words.empty()) {
        if (const auto word = FirstOccurring(words, m_content)) {
            result = std::string("#OK# ") + Text(ContentAccepted) + *word + std::string(kClose);
            kind = 0;
        } else {
            result = Text(ContentMissing) + std::string(FirstChars(m_research->site_must_have, 15)) +
                     std::string(kCut);
            kind = 2;
        }
    }
    if (kind == 0) {
        if (const auto word = FirstOccurring(LowerWords(m_research->site_must_not_have), m_content)) {
            result = Text(ContentRefused) + *word + std::string(kClose);
            kind = 2;
        }
    }
    const bool wanted = (kind == 0 && SwitchOn(FilterLogSwitch::ContentPositive)) ||
                        (kind == 2 && SwitchOn(FilterLogSwitch::ContentNegative));
    if (!result.empty() && wanted)
        Post(result, Text(ContentSubject), kind, Text(ContentCaption));
    return result;
}

bool CLFilter::FilterEmail(const std::string& address) {
    const std::string a = LowerCopy(address);
    std::string message;
    int kind = 0;
    bool accepted = false;
    [&] {
        if (!m_research) {
            accepted = true;
            return;
        }
        if (const auto words = LowerWords(m_research->email_must_have); !words.empty()) {
            if (const auto word = FirstOccurring(words, a)) {
                message = a + Text(EmailAccepted) + *word + std::string(kClose);
                kind = 0;
            } else {
                kind = 2; // refused without a message
                return;
            }
        }
        if (const auto word = FirstOccurring(LowerWords(m_research->email_must_not_have), a)) {
            message = a + std::string(" (\"") + std::string(FirstChars(*word, 15)) + std::string(kClose);
            kind = 2;
            return;
        }
        accepted = true;
    }();
    const bool wanted = (kind == 0 && SwitchOn(FilterLogSwitch::EmailPositive)) ||
                        (kind == 2 && SwitchOn(FilterLogSwitch::EmailNegative));
    if (!message.empty() && wanted && m_loggedEmails.InsertIfAbsent(a))
        Post(message, a, kind, Text(EmailCaption));
    return accepted;
}

std::vector<std::string> CLFilter::FilterEmails(const std::vector<std::string>& addresses) {
    std::vector<std::string> taken;
    std::unordered_set<std::string> seen;
    for (const auto& address : addresses) {
        std::string line = LowerCopy(address);
        if (FilterEmail(line) && seen.insert(line).second)
            taken.push_back(std::move(line));
    }
    return taken;
}

std::string CLFilter::FilterEmails(std::string_view text) {
    return JoinLines(FilterEmails(SplitLines(LowerCopy(text))));
}

std::string CLFilter::DecodeEntities(std::string_view text) {
    std::string decoded(text);
    for (const bool withSemicolon : {true, false}) {
        for (const Entity& entity : kDecodeEntities) {
            std::string pattern(1, '&');
            pattern.append(entity.name);
            if (withSemicolon)
                pattern += ';';
            ReplaceAllInPlaceIgnoreCase(decoded, pattern, entity.replacement);
        }
    }
    return decoded;
}

} // namespace harvexa
