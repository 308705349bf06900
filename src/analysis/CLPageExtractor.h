#pragma once

#include "analysis/EntPageData.h"
#include "analysis/PhoneKeywordSource.h"
#include "analysis/ResultEngineMarkers.h"
#include "analysis/UniqueLinkList.h"

#include <atomic>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace harvexa {

// Analyses the text of one fetched page: links (or the links of a search-engine result page),
// e-mail addresses, title, meta description and keywords, phone and fax entries. Searches plain
// substrings, never parses HTML. Every scan advances through the page once, so the cost grows
// linearly with the page size.
class CLPageExtractor final {
public:
    static constexpr std::size_t kLinkWindowChars = 500;
    static constexpr std::size_t kPhoneWindowChars = 100;
    // Longest address kept (RFC 5321 path limit, in bytes).
    static constexpr std::size_t kMaxEmailLength = 254;

    CLPageExtractor() = default;

    // The fetched page as UTF-8 text; line ends become CR LF and every line, the last included, ends with
    // one.
    void SetPageText(std::string_view text);
    const std::string& PageText() const { return m_pageText; }

    void SetResultPageMode(bool on) { m_resultPageMode = on; }
    bool ResultPageMode() const { return m_resultPageMode; }
    // The engine whose result page this is; none when the worker found no engine for the page.
    void SetResultEngine(std::optional<ResultEngineMarkers> engine) { m_resultEngine = std::move(engine); }
    const std::optional<ResultEngineMarkers>& ResultEngine() const { return m_resultEngine; }

    // The run's AbortExtraction flag: every scan stops at the top of its next turn once it is set.
    void SetAbortFlag(const std::atomic<bool>* abortExtraction) { m_abort = abortExtraction; }
    // The setting "Repeated_emails": "0" keeps the address list sorted and without repeats.
    void SetRepeatedEmails(std::string settingValue) { m_repeatedEmails = std::move(settingValue); }
    // Where the phone and fax labels come from; without a source the phone step fails.
    void SetPhoneKeywordSource(const PhoneKeywordSource* source) { m_phoneKeywords = source; }

    // Runs the steps in their fixed order; nothing when a step other than the harvesting fails
    // (the phone and fax labels cannot be read). The link and e-mail lists move into the record.
    [[nodiscard]] std::optional<EntPageData> Extract(const std::string& url, bool captureEmails,
                                                     bool captureTitle, bool captureLinks, bool captureMeta,
                                                     bool capturePhones);

    void ExtractLinks(const std::string& url, bool refreshDone);
    void ExtractEmails();
    void ExtractTitle();
    void ExtractMeta();
    // False when the keyword lists cannot be read.
    [[nodiscard]] bool ExtractPhones();
    void HarvestResultLinks(const ResultEngineMarkers* engine);

    const std::vector<std::string>& EmailList() const { return m_emailList; }
    const std::vector<std::string>& DescriptionList() const { return m_descriptionList; }
    const std::vector<std::string>& KeywordList() const { return m_keywordList; }
    const std::vector<std::string>& TitleList() const { return m_titleList; }
    const std::vector<std::string>& InternalLinkList() const { return m_internalLinks.Items(); }
    const std::vector<std::string>& ExternalLinkList() const { return m_externalLinks.Items(); }
    const std::string& PhoneText() const { return m_phoneText; }
    const std::string& FaxText() const { return m_faxText; }

    // Cleans the candidate in place and tells whether it is an acceptable address.
    static bool ValidateEmail(std::string& candidate);
    // The content value of one meta tag text.
    static std::string MetaContent(std::string_view tag);
    // Blanks and ":" removed; empty when fewer than 6 characters are left.
    static std::string CleanPhoneNumber(std::string_view text);
    // True when a non-empty fax label, trimmed of blanks, occurs inside the keyword.
    static bool IsFaxKeyword(std::string_view keyword, const std::vector<std::string>& faxKeywords);
    // True when the character starting at pos ends an e-mail candidate.
    static bool IsEmailDelimiterAt(std::string_view text, std::size_t pos);

private:
    bool Aborted() const { return m_abort && m_abort->load(std::memory_order_relaxed); }
    void ScanLinks(const std::string& url, std::string_view word);
    void AddResolvedLink(std::string link, const std::string& root, const std::string& folder);
    void CollectEmails(std::vector<std::string>& found);
    // False when the run was aborted.
    bool ScanPhoneKeyword(const std::string& keyword, bool fax);

    std::string m_pageText;
    bool m_resultPageMode = false;
    std::optional<ResultEngineMarkers> m_resultEngine;
    const std::atomic<bool>* m_abort = nullptr;
    std::string m_repeatedEmails = "1";
    const PhoneKeywordSource* m_phoneKeywords = nullptr;

    std::vector<std::string> m_emailList;
    std::vector<std::string> m_descriptionList;
    std::vector<std::string> m_keywordList;
    std::vector<std::string> m_titleList;
    analysis::UniqueLinkList m_internalLinks;
    analysis::UniqueLinkList m_externalLinks;
    std::string m_phoneText;
    std::string m_faxText;
};

} // namespace harvexa
