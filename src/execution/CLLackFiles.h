#pragma once

#include "core/ProgressView.h"
#include "research/EntLackSites.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace harvexa {

class CLLogEnvio;

// What reading a research's pending-links file gave.
struct PendingLinksRead {
    bool found = false;        // false: no pending-links file, the research counts as finished
    bool readFailed = false;   // the pending-links file exists but could not be read: no links
    bool filterFailed = false; // the processed-links file could not be used; nothing was dropped
    std::size_t dropped = 0;   // lines dropped as processed
    std::size_t skipped = 0;   // malformed lines
    PendingLinkList links;
};

// The two link files of a research in the application folder: the pending-links file
// "d<id>-lack.dat" and the processed-links file "d<id>-lack_p.dat".
class CLLackFiles final {
public:
    // `progress` shows the processed-link filter.
    explicit CLLackFiles(IProgressView& progress);

    // Called with false before the processed-link filter and with true after it: the run's
    // monitor timers must not fire meanwhile.
    void SetMonitorTimerSwitch(std::function<void(bool running)> timerSwitch);

    static std::string PendingLinksFile(int researchId);
    static std::string ProcessedLinksFile(int researchId);

    // Reads the queue without changing any file: the pending lines less the processed ones.
    PendingLinksRead ReadPendingLinks(int researchId);

    // Reads the queue, then makes the files match it and points the journals at them: the
    // pending-links file is rewritten without the dropped lines (atomically), and only then is
    // the processed-links file started anew; `pendingWriter` appends to the pending-links
    // file. When no file exists, nothing is opened and `found` is false.
    PendingLinksRead LoadPendingLinks(int researchId, CLLogEnvio& pendingWriter, CLLogEnvio& processedWriter);

    // The processed-link filter over `text`, with the research's processed-links file; the
    // remaining lines, each ended by CR LF. `text` unchanged when that file does not exist;
    // nothing when it cannot be read. Changes no file.
    std::optional<std::string> DropProcessedLinks(int researchId, std::string_view text);

    // Writes the pending-links file anew from `links` (atomically), then deletes the
    // processed-links file. On failure both files stay as they were.
    [[nodiscard]] static bool SavePendingLinks(int researchId, const PendingLinkList& links);

    // The queue as the pending-links file holds it.
    static std::string FormatPendingLinks(const PendingLinkList& links);

    // Deletes both files of a research where they exist.
    static void DeleteLinkFiles(int researchId);

private:
    struct FilterOutcome;

    FilterOutcome FilterLines(int researchId, const std::vector<std::string_view>& lines);
    PendingLinksRead Read(int researchId, bool& converted);

    IProgressView& m_progress;
    std::function<void(bool)> m_timerSwitch;
};

} // namespace harvexa
