#pragma once

#include "analysis/FilterLogSink.h"
#include "analysis/LoggedEntrySet.h"
#include "analysis/ResearchFilterLists.h"

#include <string>
#include <string_view>
#include <vector>

namespace harvexa {

// The capture filters of one pending link: which URL is fetched, which page is analysed, which
// e-mail addresses are kept. One object per worker and link; the shared logged sets make every URL
// and address produce at most one log entry while the program runs.
class CLFilter final {
public:
    // Catalogue texts (section 6000) of the filter messages.
    enum TextKey : int {
        ContentAccepted = 121,
        ContentMissing = 122,
        ContentRefused = 123,
        ContentSubject = 124,
        ContentCaption = 125,
        EmailAccepted = 126,
        EmailCaption = 127,
        UrlAccepted = 128,
        UrlMissing = 129,
        UrlRefused = 130,
        UrlDomain = 131,
        UrlBinary = 132,
        UrlCaption = 133,
    };

    // Without a log sink no decision is logged.
    CLFilter(FilterLogSink* log, LoggedEntrySet& loggedUrls, LoggedEntrySet& loggedEmails);

    // The research whose lists apply (not owned); none accepts everything.
    void SetResearch(const ResearchFilterLists* research) { m_research = research; }
    void SetContent(std::string text) { m_content = std::move(text); }
    const std::string& Content() const { return m_content; }

    [[nodiscard]] bool FilterUrl(const std::string& url);
    // Empty, a text beginning with "#OK# " (accepted) or a refusal text. The content becomes its
    // normalised form.
    [[nodiscard]] std::string FilterContent();
    [[nodiscard]] bool FilterEmail(const std::string& address);
    // The accepted lines of a text of lines, lower-cased, without repeats.
    [[nodiscard]] std::string FilterEmails(std::string_view text);
    [[nodiscard]] std::vector<std::string> FilterEmails(const std::vector<std::string>& addresses);

    // Lower-cased, with the accented-letter entities and "&amp;" replaced.
    static std::string NormaliseContent(std::string_view text);
    // Replaces the HTML entities of a fixed table, ignoring letter case, with and then without ";".
    static std::string DecodeEntities(std::string_view text);

private:
    std::string Text(int key) const;
    bool SwitchOn(FilterLogSwitch which) const;
    void Post(const std::string& message, const std::string& subject, int kind, const std::string& caption);

    FilterLogSink* m_log;
    LoggedEntrySet& m_loggedUrls;
    LoggedEntrySet& m_loggedEmails;
    const ResearchFilterLists* m_research = nullptr;
    std::string m_content;
};

} // namespace harvexa
