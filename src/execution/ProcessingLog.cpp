#include "execution/ProcessingLog.h"

#include "analysis/FlattenText.h"
#include "analysis/TextScan.h"
#include "core/AtomicFile.h"
#include "core/CLLang.h"
#include "execution/CLLogEnvio.h"
#include "execution/NetworkErrorRule.h"

#include <cerrno>
#include <charconv>
#include <cstring>
#include <filesystem>
#include <utility>

namespace harvexa {

namespace {

constexpr const char* kLogSection = "LOG";

// A whole number > 0, else 0 ("0", empty, "not found text", garbage).
int PositiveNumber(std::string_view text) {
    text = analysis::TrimBlanks(text);
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return (error == std::errc() && end == text.data() + text.size() && value > 0) ? value : 0;
}

bool BlankText(std::string_view text) {
    for (const char c : text) {
        if (static_cast<unsigned char>(c) > ' ')
            return false;
    }
    return true;
}

bool SameDay(const DateTime& a, const DateTime& b) {
    return a.Year() == b.Year() && a.Month() == b.Month() && a.Day() == b.Day();
}

const char* SwitchKey(LogSwitch which) {
    switch (which) {
    case LogSwitch::SiteAccessError:
        return "SITE_ACCESS_ERROR";
    case LogSwitch::UrlPositive:
        return "URL_POSITIVE";
    case LogSwitch::UrlNegative:
        return "URL_NEGATIVE";
    case LogSwitch::EmailPositive:
        return "EMAIL_POSITIVE";
    case LogSwitch::EmailNegative:
        return "EMAIL_NEGATIVE";
    case LogSwitch::ContentPositive:
        return "CONTENT_POSITIVE";
    case LogSwitch::ContentNegative:
        return "CONTENT_NEGATIVE";
    }
    return "SITE_ACCESS_ERROR";
}

LogSwitch FromFilterSwitch(FilterLogSwitch which) {
    switch (which) {
    case FilterLogSwitch::UrlPositive:
        return LogSwitch::UrlPositive;
    case FilterLogSwitch::UrlNegative:
        return LogSwitch::UrlNegative;
    case FilterLogSwitch::EmailPositive:
        return LogSwitch::EmailPositive;
    case FilterLogSwitch::EmailNegative:
        return LogSwitch::EmailNegative;
    case FilterLogSwitch::ContentPositive:
        return LogSwitch::ContentPositive;
    case FilterLogSwitch::ContentNegative:
        return LogSwitch::ContentNegative;
    }
    return LogSwitch::UrlPositive;
}

std::string OpenFailure(const std::string& path, int error) {
    return "The processing log cannot be written to " + path + ": " + std::strerror(error);
}

} // namespace

ProcessingLog::ProcessingLog(CLLang& lang, int lineLimit, Clock clock)
    : m_lang(lang)
    , m_clock(clock ? std::move(clock) : Clock([] { return DateTime::Now(); }))
    , m_lineLimit(lineLimit > 0 ? lineLimit : 0) {
    m_enabled = m_lang.ReadConfigFlag(kLogSection, "PROCESSAR_LOGS", true);
}

ProcessingLog::~ProcessingLog() {
    std::lock_guard lock(m_mutex);
    // The rows of the last moments must reach the file even when no rotation followed them.
    if (!m_folder.empty() && !m_unwritten.empty())
        (void)WriteUnwritten();
}

void ProcessingLog::SetView(IProcessingLogView* view) {
    std::lock_guard lock(m_mutex);
    m_view = view;
}

void ProcessingLog::SetStopHandler(StopHandler handler) {
    std::lock_guard lock(m_mutex);
    m_stopHandler = std::move(handler);
}

void ProcessingLog::SetLogFolder(std::string folder) {
    std::lock_guard lock(m_mutex);
    m_folder = std::move(folder);
}

std::optional<LogFileOutcome> ProcessingLog::Reset() {
    std::lock_guard lock(m_mutex);
    std::optional<LogFileOutcome> written;
    if (!m_folder.empty() && !m_unwritten.empty())
        written = WriteUnwritten();
    m_rows.clear();
    m_counters = {};
    m_enabled = m_lang.ReadConfigFlag(kLogSection, "PROCESSAR_LOGS", true);
    if (m_view) {
        m_view->Cleared();
        m_view->CountersChanged(m_counters);
    }
    return written;
}

LogPostResult ProcessingLog::PostLogEntry(const std::string& message, const std::string& subject, int kind,
                                          const std::string& caption) {
    LogPostResult result;
    StopHandler stopHandler;
    {
        std::lock_guard lock(m_mutex);
        if (!m_enabled)
            return result;
        ProcessingLogEntry entry;
        entry.message = FlattenText(message);
        entry.caption = FlattenText(caption);
        if (Ignored(entry.message, entry.caption, kind))
            return result;
        entry.subject = FlattenText(subject);
        entry.kind = kind;
        entry.dateTime = m_clock();
        entry.sequence = m_nextSequence++;
        const bool rotation = entry.message == kRotationMarker;
        const std::string plainMessage = entry.message;

        // Access violations are counted but never shown: they say nothing about the site.
        if (!analysis::Contains(entry.message, "violation")) {
            AddRow(std::move(entry));
            result.rowAdded = true;
        }
        result.counted = true;
        ++m_counters.total;
        ApplyLineLimit();
        if (kind == kLogPositive)
            ++m_counters.positive;
        else if (kind == kLogAlert)
            ++m_counters.alert;
        else
            ++m_counters.negative;
        if (CountNetworkError(plainMessage)) {
            result.stopRun = true;
            result.stopMessage = m_lang.ReadText(5000, 46);
            stopHandler = m_stopHandler;
        }
        NotifyCounters();

        if (rotation || (!m_folder.empty() && m_unwritten.size() >= m_nextAutoWrite))
            result.fileWrite = WriteUnwritten();
    }
    // Outside the lock: stopping the run may wait for workers that are posting.
    if (stopHandler)
        stopHandler(result.stopMessage);
    return result;
}

bool ProcessingLog::Ignored(const std::string& message, const std::string& caption, int kind) const {
    if (kind < kLogPositive || kind > kLogNegative)
        return true;
    // A caption holding an address is a producer mixing up its arguments.
    return analysis::Contains(caption, "http") || BlankText(message) || message == "0";
}

void ProcessingLog::AddRow(ProcessingLogEntry entry) {
    KeepUnwritten(entry);
    m_rows.push_back(std::move(entry));
    if (m_view)
        m_view->EntryAdded(m_rows.back());
}

void ProcessingLog::KeepUnwritten(const ProcessingLogEntry& entry) {
    m_unwritten.push_back(entry);
    if (m_unwritten.size() > kMaxUnwrittenLines) {
        m_unwritten.pop_front();
        ++m_droppedLines;
    }
}

void ProcessingLog::ApplyLineLimit() {
    if (m_lineLimit == 0)
        m_lineLimit = PositiveNumber(m_lang.ReadConfigString(kLogSection, "LIMPAR_LOG", "0"));
    const auto limit = static_cast<std::size_t>(m_lineLimit);
    std::size_t removed = 0;
    if (limit > 0) {
        while (m_rows.size() > limit) {
            m_rows.pop_front();
            ++removed;
        }
    }
    if (removed > 0 && m_view)
        m_view->OldestRowsRemoved(removed);
    m_counters.shownTotal = (limit > 0 && m_counters.total > limit) ? limit : m_counters.total;
}

bool ProcessingLog::CountNetworkError(const std::string& message) {
    if (NetworkErrorRule::IsNetworkError(message))
        ++m_counters.consecutiveNetworkErrors;
    else
        m_counters.consecutiveNetworkErrors = 0;
    if (m_counters.consecutiveNetworkErrors == 0)
        return false;
    const int maxError = ReadMaxError();
    return maxError > 0 && m_counters.consecutiveNetworkErrors % static_cast<std::uint64_t>(maxError) == 0;
}

int ProcessingLog::ReadMaxError() const {
    return PositiveNumber(m_lang.ReadSetting("Max_Error"));
}

void ProcessingLog::NotifyCounters() {
    if (m_view)
        m_view->CountersChanged(m_counters);
}

LogFileOutcome ProcessingLog::WriteLogFile() {
    std::lock_guard lock(m_mutex);
    return WriteUnwritten();
}

LogFileOutcome ProcessingLog::WriteUnwritten() {
    LogFileOutcome outcome;
    if (m_folder.empty()) {
        outcome.error = "No research folder is known for the processing log.";
        return outcome;
    }
    outcome.path = LogFileName(m_folder, m_unwritten.empty() ? m_clock() : m_unwritten.front().dateTime);
    bool failed = false;
    while (!m_unwritten.empty() && !failed) {
        const DateTime day = m_unwritten.front().dateTime;
        outcome.path = LogFileName(m_folder, day);
        CLLogEnvio writer;
        if (!writer.OpenAppend(outcome.path)) {
            // The folder may be gone (deleted by hand, or never made): make it and try once more.
            std::error_code ignored;
            std::filesystem::create_directories(m_folder, ignored);
            if (!writer.OpenAppend(outcome.path)) {
                outcome.error = OpenFailure(outcome.path, errno);
                break;
            }
        }
        while (!m_unwritten.empty() && SameDay(m_unwritten.front().dateTime, day)) {
            if (!writer.WriteLine(m_unwritten.front().FileLine())) {
                outcome.error = OpenFailure(outcome.path, errno);
                failed = true;
                break;
            }
            m_unwritten.pop_front();
            ++outcome.linesWritten;
        }
        writer.CloseFile();
    }
    outcome.written = m_unwritten.empty();
    outcome.linesDropped = std::exchange(m_droppedLines, 0);
    // After a failure, try again only once as many rows again have come in.
    m_nextAutoWrite = m_unwritten.size() + kAutoWriteLines;
    return outcome;
}

LogFileOutcome ProcessingLog::SaveLog(const std::string& path) const {
    std::lock_guard lock(m_mutex);
    std::string contents;
    for (const ProcessingLogEntry& row : m_rows) {
        contents += row.FileLine();
        contents += "\r\n";
    }
    LogFileOutcome outcome;
    outcome.path = path;
    if (!WriteFileAtomically(path, contents)) {
        std::error_code ignored;
        std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ignored);
        if (!WriteFileAtomically(path, contents)) {
            outcome.error = "The processing log cannot be written to " + path + ".";
            return outcome;
        }
    }
    outcome.written = true;
    outcome.linesWritten = m_rows.size();
    return outcome;
}

std::string ProcessingLog::LogFileName(const std::string& folder, const DateTime& day) {
    std::string name = folder;
    if (!name.empty() && name.back() != '/')
        name += '/';
    return name + "process [" + day.ToDisplayText().substr(0, 10) + "].log";
}

bool ProcessingLog::IsSwitchOn(LogSwitch which) const {
    return m_lang.ReadConfigFlag(kLogSection, SwitchKey(which), true);
}

bool ProcessingLog::IsSwitchOn(FilterLogSwitch which) const {
    return IsSwitchOn(FromFilterSwitch(which));
}

bool ProcessingLog::Enabled() const {
    std::lock_guard lock(m_mutex);
    return m_enabled;
}

int ProcessingLog::LineLimit() const {
    std::lock_guard lock(m_mutex);
    return m_lineLimit;
}

ProcessingLogCounters ProcessingLog::Counters() const {
    std::lock_guard lock(m_mutex);
    return m_counters;
}

std::size_t ProcessingLog::RowCount() const {
    std::lock_guard lock(m_mutex);
    return m_rows.size();
}

std::vector<ProcessingLogEntry> ProcessingLog::Rows() const {
    std::lock_guard lock(m_mutex);
    return {m_rows.begin(), m_rows.end()};
}

ProcessingLogEntry ProcessingLog::Row(std::size_t index) const {
    std::lock_guard lock(m_mutex);
    return index < m_rows.size() ? m_rows[index] : ProcessingLogEntry{};
}

std::size_t ProcessingLog::UnwrittenLineCount() const {
    std::lock_guard lock(m_mutex);
    return m_unwritten.size();
}

} // namespace harvexa
