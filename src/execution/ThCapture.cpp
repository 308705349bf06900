#include "execution/ThCapture.h"

#include "analysis/CLFilter.h"
#include "analysis/CLPageExtractor.h"
#include "analysis/PhoneKeywordFiles.h"
#include "analysis/TextScan.h"
#include "analysis/UrlHelpers.h"
#include "core/AppPaths.h"
#include "core/CLFacade.h"
#include "execution/CapturePageFetch.h"
#include "execution/NegResearch.h"
#include "execution/UiThread.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>

namespace harvexa {

namespace {

// The filters' log goes to the processing log on the user-interface thread.
class WorkerFilterLog final : public FilterLogSink {
public:
    explicit WorkerFilterLog(NegResearch& controller)
        : m_controller(controller) {}

    bool IsOn(FilterLogSwitch which) const override {
        static constexpr const char* kKeys[] = {"URL_POSITIVE",   "URL_NEGATIVE",     "EMAIL_POSITIVE",
                                                "EMAIL_NEGATIVE", "CONTENT_POSITIVE", "CONTENT_NEGATIVE"};
        return m_controller.Facade().lang.ReadConfigFlag("LOG", kKeys[static_cast<int>(which)], true);
    }
    std::string Text(int key) const override { return m_controller.Facade().lang.ReadText(6000, key); }
    void PostLogEntry(const std::string& message, const std::string& subject, int kind,
                      const std::string& caption) override {
        RunOnUiThread([&] { m_controller.PostLogEntry(message, subject, kind, caption); });
    }

private:
    NegResearch& m_controller;
};

ResearchFilterLists FilterListsOf(const EntResearch& research) {
    ResearchFilterLists lists;
    lists.url_must_have = research.url_must_have;
    lists.url_must_not_have = research.url_must_not_have;
    lists.email_must_have = research.email_must_have;
    lists.email_must_not_have = research.email_must_not_have;
    lists.site_must_have = research.site_must_have;
    lists.site_must_not_have = research.site_must_not_have;
    lists.domains = research.domains;
    lists.binary_files = research.binary_files;
    lists.exigir_valid_domains = research.exigir_valid_domains;
    return lists;
}

std::int64_t ToNumber(const std::string& text, std::int64_t fallback) {
    char* end = nullptr;
    const long long value = std::strtoll(text.c_str(), &end, 10);
    return (text.empty() || end == text.c_str()) ? fallback : value;
}

std::string Trimmed(std::string_view text) {
    return std::string(analysis::TrimBlanks(text));
}

} // namespace

ThCapture::ThCapture(NegResearch& controller, std::int64_t workerId,
                     std::shared_ptr<const EntResearch> research)
    : m_controller(controller)
    , m_workerId(workerId)
    , m_research(std::move(research)) {}

ThCapture::~ThCapture() {
    Join();
}

void ThCapture::Resume() {
    if (!m_thread.joinable())
        m_thread = std::thread([this] { Body(); });
}

void ThCapture::Join() {
    if (m_thread.joinable())
        m_thread.join();
}

std::string ThCapture::Text(int key) {
    return m_controller.Facade().lang.ReadText(6000, key);
}

void ThCapture::Report(const ClVclThreadAccess& carrier) {
    RunOnUiThread([&] { m_controller.ApplyReport(carrier); });
}

void ThCapture::ReportStatus(const std::string& message, const std::string& url, std::int64_t progress,
                             std::int64_t icon) {
    ClVclThreadAccess carrier;
    carrier.kind = ClVclThreadAccess::Kind::Status;
    carrier.Message = message;
    carrier.Subject = url;
    carrier.Value = m_workerId;
    carrier.Progress = progress;
    carrier.Icon = icon;
    Report(carrier);
}

void ThCapture::ReportLog(const std::string& message, const std::string& subject, int kind,
                          const std::string& caption, bool connectionError) {
    ClVclThreadAccess carrier;
    carrier.kind = ClVclThreadAccess::Kind::Log;
    carrier.Message = message;
    carrier.Subject = subject;
    carrier.Caption = caption;
    carrier.Value = kind;
    carrier.ConnectionError = connectionError;
    Report(carrier);
}

void ThCapture::ReportRemaining(std::int64_t count) {
    ClVclThreadAccess carrier;
    carrier.kind = ClVclThreadAccess::Kind::Remaining;
    carrier.Value = count;
    Report(carrier);
}

void ThCapture::ReportBytes(std::int64_t count) {
    ClVclThreadAccess carrier;
    carrier.kind = ClVclThreadAccess::Kind::Bytes;
    carrier.Value = count;
    Report(carrier);
}

void ThCapture::Body() {
    CLLinkQueue& queue = m_controller.Queue();
    std::optional<TakenLink> taken = queue.TakeNextLink();
    ReportRemaining(taken ? static_cast<std::int64_t>(taken->remaining) : 0);
    while (taken && !taken->link.lack_sites.empty() && !m_terminate) {
        if (m_controller.HaltWorkers) {
            ReportStatus(Text(72), "", 95, 3);
            m_terminate = true;
            break;
        }
        ReportStatus(Text(70), taken->link.lack_sites, 1, -1);
        if (m_terminate)
            break;
        if (ProcessLink(taken->link) == LinkOutcome::Interrupted)
            break;
        // Completed only now that the links found on the page are queued (and journaled).
        (void)queue.MarkCompleted(taken->ticket);
        taken.reset();
        if (m_terminate)
            break;
        taken = queue.TakeNextLink();
        ReportRemaining(taken ? static_cast<std::int64_t>(taken->remaining) : 0);
    }
    if (taken) {
        // A blank link is done with; a link left unfinished goes back for the next worker or run.
        if (taken->link.lack_sites.empty())
            (void)queue.MarkCompleted(taken->ticket);
        else
            (void)queue.ReturnLink(taken->ticket);
    }
    RunOnUiThread([this] {
        m_finished = true;
        m_controller.WorkerEnded(*this);
    });
}

ThCapture::LinkOutcome ThCapture::ProcessLink(const EntLackSites& link) {
    CLLang& lang = m_controller.Facade().lang;
    const EntResearch& research = *m_research;
    const std::string url = Trimmed(link.lack_sites);
    const bool resultPage = link.tipo_lack_site == kSearchResultPage;

    const bool wantEmail = analysis::Contains(research.capture_list, "email");
    const bool wantTitle = analysis::Contains(research.capture_list, "titulo");
    const bool wantMeta = analysis::Contains(research.capture_list, "metatags");
    const bool wantPhone = analysis::Contains(research.capture_list, "fone");
    m_controller.CaptureEmail = wantEmail;

    WorkerFilterLog filterLog(m_controller);
    CLFilter filter(&filterLog, m_controller.LoggedUrls(), m_controller.LoggedEmails());
    const ResearchFilterLists lists = FilterListsOf(research);
    filter.SetResearch(&lists);
    if (!resultPage && !filter.FilterUrl(url))
        return LinkOutcome::Completed;

    CaptureFetchSettings settings;
    settings.timeOutMs = static_cast<long>(ToNumber(lang.ReadSetting("Http_Time_Out"), 30000));
    const std::string agent = lang.ReadConfigString("SYS CONFIG", "User_Agent", "");
    if (!agent.empty() && agent != kNotFoundText)
        settings.userAgent = agent;
    const SettingsSnapshot& snapshot = lang.Settings();
    settings.proxyBasicAuthentication = snapshot.proxyBasicAuthentication;
    settings.proxyServer = snapshot.proxyServer;
    settings.proxyPort = snapshot.proxyPort;
    settings.proxyUsername = snapshot.proxyUsername;
    settings.proxyPassword = snapshot.proxyPassword;
    const std::int64_t maxSize = ToNumber(lang.ReadSetting("Max_Size"), 1048576);

    ReportStatus("", link.lack_sites, 0, -1);
    if (url.empty())
        return LinkOutcome::Completed;

    m_downloadProgress = 20;
    bool halted = false;
    const CaptureOnWork onWork = [&](std::uint64_t bytes) {
        if (m_controller.HaltWorkers) {
            halted = true;
            return false;
        }
        if (bytes > 5000 && m_downloadProgress < 60) {
            ReportStatus(std::to_string(bytes) + " " + Text(73), "", m_downloadProgress, 5);
            m_downloadProgress += 5;
        }
        return maxSize <= 0 || bytes <= static_cast<std::uint64_t>(maxSize);
    };
    settings.maxSize = maxSize;
    settings.halt = &m_controller.HaltWorkers;
    CaptureFetchResult fetched = CaptureFetch(url, settings, onWork);
    if (halted || fetched.halted)
        return LinkOutcome::Interrupted; // fetched again when the research is continued
    if (fetched.ok && lang.ReadConfigFlag("LOG", "URL_POSITIVE", true))
        ReportLog(Text(74), link.lack_sites, 0, "");
    if (!fetched.ok) {
        std::string message = fetched.message;
        if (fetched.disconnected && !fetched.tooLarge)
            message = "Page larger than Max_Size (" + std::to_string(maxSize) + " bytes): " + url;
        if (lang.ReadConfigFlag("LOG", "SITE_ACCESS_ERROR", true))
            ReportLog(message, link.lack_sites, 1, Text(75), fetched.connectionError);
        ClVclThreadAccess error;
        error.kind = ClVclThreadAccess::Kind::Error;
        Report(error);
        return LinkOutcome::Completed;
    }
    std::string text = analysis::ReplaceAllIgnoreCase(fetched.text, "&quot;", "\"");
    const std::int64_t length = static_cast<std::int64_t>(text.size());
    if (maxSize > 0 && length > maxSize)
        text.resize(static_cast<std::size_t>(maxSize));

    std::string verdict;
    if (!resultPage) {
        filter.SetContent(text);
        verdict = filter.FilterContent();
    }
    ReportBytes(length);
    if (!verdict.empty() && !analysis::Contains(verdict, "#OK#"))
        return LinkOutcome::Completed;

    CLPageExtractor extractor;
    extractor.SetPageText(text);
    extractor.SetResultPageMode(resultPage);
    extractor.SetAbortFlag(&m_controller.AbortExtraction);
    extractor.SetRepeatedEmails(lang.ReadSetting("Repeated_emails"));
    const std::string textPath = ExpandAppPath(lang.ReadSetting("Text_Path"));
    const PhoneKeywordFiles keywords(std::filesystem::path(textPath).parent_path().string());
    extractor.SetPhoneKeywordSource(&keywords);
    ReportStatus(Text(77), "", 60, 3);

    std::optional<EntPageData> page;
    RunOnUiThread([&] { page = extractor.Extract(url, wantEmail, wantTitle, true, wantMeta, wantPhone); });
    if (!page)
        return LinkOutcome::Completed;
    ReportStatus(Text(88), "", 65, 4);

    if (research.maximo_links > 0 && !resultPage) {
        const auto limit = static_cast<std::size_t>(research.maximo_links);
        if (page->InternalLinks.size() > limit)
            page->InternalLinks.resize(limit);
        if (page->ExternalLinks.size() > limit)
            page->ExternalLinks.resize(limit);
    }
    ReportStatus("", "", 70, 3);
    if (!page->Emails.empty() && research.parar_email)
        PruneSameDirectory(url);
    page->Emails = filter.FilterEmails(page->Emails);
    if (!m_controller.Exporting)
        AcceptPage(*page);
    ReportStatus("", "", 75, 3);
    ReportStatus("", "", 85, 3);
    if (link.nivel < research.follow_indoor_links)
        QueueFoundLinks(page->InternalLinks, kInternalLink, link.nivel + 1);
    if (link.nivel < research.follow_external_links)
        QueueFoundLinks(page->ExternalLinks, kExternalLink, link.nivel + 1);
    ReportStatus("", "", 95, 3);
    ReportStatus(Text(72), "", 95, 3);
    return LinkOutcome::Completed;
}

void ThCapture::AcceptPage(EntPageData& page) {
    int handled = 0;
    RunOnUiThread([&] {
        ReportStatus(Text(71), "", 80, 3);
        handled = m_controller.HandOverPage(page);
    });
    (void)handled;
}

void ThCapture::QueueFoundLinks(const std::vector<std::string>& links, int kind, int level) {
    if (m_terminate)
        return;
    CLLinkQueue& queue = m_controller.Queue();
    const RecentList list = kind == kInternalLink ? RecentList::Internal : RecentList::External;
    for (const std::string& found : links) {
        if (queue.SeenRecently(list, found) || analysis::TrimBlanks(found).empty())
            continue;
        queue.AppendLink(EntLackSites(0, m_research->id_research, level, kind, found));
    }
}

void ThCapture::PruneSameDirectory(const std::string& url) {
    const std::string directory = TrimToLastSlash(url);
    const std::string lowered = analysis::LowerCopy(analysis::TrimBlanks(directory));
    if (lowered == "http://www." || lowered == "http://www" || lowered == "http://" || lowered == "http:")
        return;
    (void)m_controller.Queue().PruneSameDirectory(directory, url);
}

} // namespace harvexa
