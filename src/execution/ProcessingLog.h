#pragma once

#include "analysis/FilterLogSink.h"
#include "core/tables/DateTime.h"
#include "execution/IProcessingLogView.h"
#include "execution/LogFileOutcome.h"
#include "execution/LogPostResult.h"
#include "execution/LogSwitch.h"
#include "execution/ProcessingLogCounters.h"
#include "execution/ProcessingLogEntry.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace harvexa {

class CLLang;

// The processing log of one run: its rows with the on-screen line limit, the counters, the stop on
// a run of connection errors, and the log file "process [yyyy-mm-dd].log" in the research folder.
//
// Entries belong on the user-interface thread (workers hand theirs over in order), but every member
// takes one recursive lock, so a call from any thread is safe.
//
// The file keeps every row: each write appends the rows added since the last write to the file of
// the row's day, so rows the line limit removed from the screen, and the rows of an earlier run of
// the same day, stay in it.
class ProcessingLog final {
public:
    using Clock = std::function<DateTime()>;
    using StopHandler = std::function<void(const std::string& statusMessage)>;

    // The message of the capture-file rotation, which makes the log write its file.
    static constexpr const char* kRotationMarker = "99999";
    // Rows kept for the file before they are written without waiting for a rotation.
    static constexpr std::size_t kAutoWriteLines = 1000;
    // Rows kept at most while the file cannot be written; older ones are given up.
    static constexpr std::size_t kMaxUnwrittenLines = 100000;

    // `lineLimit` is the line limit already known (the main data module's), 0 when not read yet.
    // Reads "PROCESSAR_LOGS" (default on): a disabled log ignores every entry.
    explicit ProcessingLog(CLLang& lang, int lineLimit = 0, Clock clock = {});
    // Writes the rows not yet in the file when a folder is set.
    ~ProcessingLog();
    ProcessingLog(const ProcessingLog&) = delete;
    ProcessingLog& operator=(const ProcessingLog&) = delete;

    // The view told of every change; nullptr for none. Not owned.
    void SetView(IProcessingLogView* view);
    // Called, outside the lock, when the connection-error limit stops the run (besides the result).
    void SetStopHandler(StopHandler handler);
    // The research folder that receives the log file. Rows not yet written go to the folder set at the
    // time of the write: call WriteLogFile before moving to another research's folder.
    void SetLogFolder(std::string folder);

    // A new processing window: no rows, counters 0, and "PROCESSAR_LOGS" read again. Rows not yet
    // written to the file are written first when a folder is set; the outcome of that write.
    std::optional<LogFileOutcome> Reset();

    // Appends an entry stamped with the clock's time. Kinds: 0 positive, 1 access error, 2 negative;
    // any other kind is ignored. The texts are made one-line first.
    LogPostResult PostLogEntry(const std::string& message, const std::string& subject, int kind,
                               const std::string& caption);

    // Appends the rows not yet written to the log file of their day, creating the folder when needed.
    [[nodiscard]] LogFileOutcome WriteLogFile();
    // Writes every row now in the list to `path`, replacing it.
    [[nodiscard]] LogFileOutcome SaveLog(const std::string& path) const;
    // folder + "/process [yyyy-mm-dd].log".
    static std::string LogFileName(const std::string& folder, const DateTime& day);

    // The producers' switches of section "LOG", read on use, default on.
    bool IsSwitchOn(LogSwitch which) const;
    bool IsSwitchOn(FilterLogSwitch which) const;

    bool Enabled() const;
    int LineLimit() const;
    ProcessingLogCounters Counters() const;
    std::size_t RowCount() const;
    std::vector<ProcessingLogEntry> Rows() const;
    // Row `index` (0 = oldest shown); an empty entry when out of range.
    ProcessingLogEntry Row(std::size_t index) const;
    std::size_t UnwrittenLineCount() const;

private:
    bool Ignored(const std::string& message, const std::string& caption, int kind) const;
    void AddRow(ProcessingLogEntry entry);
    void ApplyLineLimit();
    bool CountNetworkError(const std::string& message);
    int ReadMaxError() const;
    LogFileOutcome WriteUnwritten();
    void KeepUnwritten(const ProcessingLogEntry& entry);
    void NotifyCounters();

    CLLang& m_lang;
    Clock m_clock;
    mutable std::recursive_mutex m_mutex;
    IProcessingLogView* m_view = nullptr;
    StopHandler m_stopHandler;
    std::string m_folder;
    bool m_enabled = true;
    int m_lineLimit = 0;
    std::deque<ProcessingLogEntry> m_rows;
    std::deque<ProcessingLogEntry> m_unwritten;
    std::size_t m_droppedLines = 0;
    std::size_t m_nextAutoWrite = kAutoWriteLines;
    std::uint64_t m_nextSequence = 1;
    ProcessingLogCounters m_counters;
};

} // namespace harvexa
