#pragma once

#include "analysis/EntPageData.h"
#include "analysis/PhoneKeywordSource.h"
#include "analysis/ResultEngineMarkers.h"

#include <atomic>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace harvexa::test {

// The page analysis written the slow, literal way: two copies of the text whose heads
// are deleted after every hit, windows copied out and walked character by character, lists searched
// one entry at a time. Slow (quadratic) on purpose; the fast extractor must give the same results.
class LiteralExtractor final {
public:
    void SetPageText(std::string_view text);
    void SetResultPageMode(bool on) { m_resultPageMode = on; }
    void SetResultEngine(std::optional<ResultEngineMarkers> engine) { m_resultEngine = std::move(engine); }
    void SetAbortFlag(const std::atomic<bool>* flag) { m_abort = flag; }
    void SetRepeatedEmails(std::string value) { m_repeatedEmails = std::move(value); }
    void SetPhoneKeywordSource(const PhoneKeywordSource* source) { m_phoneKeywords = source; }

    std::optional<EntPageData> Extract(const std::string& url, bool captureEmails, bool captureTitle,
                                       bool captureLinks, bool captureMeta, bool capturePhones);

    static std::string CleanLink(const std::string& raw);
    static bool ValidateEmail(std::string& candidate);
    static std::string MetaContent(const std::string& tag);
    static std::string NormaliseLineEnds(std::string_view text);

    const std::string& PageText() const { return m_page; }

private:
    bool Aborted() const { return m_abort && m_abort->load(); }
    void ExtractLinks(const std::string& url, bool refreshDone);
    void ExtractEmails();
    void ExtractTitle();
    void ExtractMeta();
    bool ExtractPhones();
    void HarvestResultLinks(const ResultEngineMarkers* engine);
    static void AddUnlessPresent(std::vector<std::string>& list, const std::string& entry);

    std::string m_page;
    bool m_resultPageMode = false;
    std::optional<ResultEngineMarkers> m_resultEngine;
    const std::atomic<bool>* m_abort = nullptr;
    std::string m_repeatedEmails = "1";
    const PhoneKeywordSource* m_phoneKeywords = nullptr;

    std::vector<std::string> m_emails, m_description, m_keywords, m_title, m_internal, m_external;
    std::string m_phoneText, m_faxText;
};

} // namespace harvexa::test
