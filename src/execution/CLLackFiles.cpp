#include "execution/CLLackFiles.h"

#include "core/AppPaths.h"
#include "core/AtomicFile.h"
#include "core/TextEncoding.h"
#include "execution/CLLogEnvio.h"
#include "execution/CLProcessedLinkFilter.h"
#include "execution/PendingLinkLines.h"
#include "research/ResearchLinkFiles.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <new>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace harvexa {

namespace {

constexpr const char* kFilterTotalCaption = "Processando...";
constexpr const char* kFilterPartialCaption = "Identificando links processados...(";

// Gauge updates of the filter: about a hundred, however many lines it drops.
constexpr std::size_t kFilterGaugeUpdates = 100;

// Lines brought from the Windows program are Windows-1252; each line is converted on its
// own, so one cut line does not change how the others read.
std::string LinesToUtf8(std::string raw, bool& converted) {
    converted = false;
    if (IsValidUtf8(raw))
        return raw;
    converted = true;
    std::string text;
    text.reserve(raw.size() + raw.size() / 8);
    const std::string_view all = raw;
    std::size_t start = 0;
    while (start < all.size()) {
        const std::size_t end = FindLineEnd(all, start);
        const std::string_view line = all.substr(start, end - start);
        if (IsValidUtf8(line))
            text += line;
        else
            text += Windows1252ToUtf8(line);
        std::size_t breakEnd = end;
        while (breakEnd < all.size() && (all[breakEnd] == '\r' || all[breakEnd] == '\n'))
            ++breakEnd;
        text.append(all.substr(end, breakEnd - end));
        start = breakEnd;
    }
    return text;
}

// The whole file in one buffer sized from the start: these files reach tens of megabytes.
bool ReadFileBytes(const std::string& path, std::string& contents) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat info {};
    bool ok = ::fstat(fd, &info) == 0;
    std::size_t used = 0;
    if (ok)
        contents.resize(static_cast<std::size_t>(std::max<off_t>(info.st_size, 0)) + 1);
    while (ok) {
        if (used == contents.size())
            contents.resize(contents.size() * 2);
        const ssize_t got = ::read(fd, contents.data() + used, contents.size() - used);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0) {
            ok = got == 0;
            break;
        }
        used += static_cast<std::size_t>(got);
    }
    ::close(fd);
    contents.resize(used);
    return ok;
}

std::string PartialCaption(std::size_t count) {
    return kFilterPartialCaption + std::to_string(count) + ")";
}

int ClampToInt(std::size_t value) {
    return static_cast<int>(std::min<std::size_t>(value, INT_MAX));
}

} // namespace

struct CLLackFiles::FilterOutcome {
    bool processedFileExists = false;
    bool failed = false;
    std::vector<char> dropped; // one flag per line; empty when nothing was compared
    std::size_t droppedCount = 0;
};

CLLackFiles::CLLackFiles(IProgressView& progress)
    : m_progress(progress) {}

void CLLackFiles::SetMonitorTimerSwitch(std::function<void(bool running)> timerSwitch) {
    m_timerSwitch = std::move(timerSwitch);
}

std::string CLLackFiles::PendingLinksFile(int researchId) {
    return PendingLinksFileName(AppFolder(), researchId);
}

std::string CLLackFiles::ProcessedLinksFile(int researchId) {
    return ProcessedLinksFileName(AppFolder(), researchId);
}

CLLackFiles::FilterOutcome CLLackFiles::FilterLines(int researchId,
                                                    const std::vector<std::string_view>& lines) {
    FilterOutcome outcome;
    if (m_timerSwitch)
        m_timerSwitch(false);
    const std::string processedFile = ProcessedLinksFile(researchId);
    outcome.processedFileExists = FileExists(processedFile);
    if (outcome.processedFileExists) {
        bool progressShown = false;
        try {
            std::string raw;
            if (!ReadFileBytes(processedFile, raw)) {
                outcome.failed = true;
            } else {
                bool converted = false;
                const CLProcessedLinkFilter filter(LinesToUtf8(std::move(raw), converted));
                const int gaugeMax = ClampToInt(filter.ProcessedLineCount());
                m_progress.ProgressStart(gaugeMax, 1);
                m_progress.ProgressTotal(0, kFilterTotalCaption);
                progressShown = true;
                const std::size_t step =
                    std::max<std::size_t>(1, filter.ProcessedLineCount() / kFilterGaugeUpdates);
                outcome.dropped.assign(lines.size(), 0);
                for (std::size_t i = 0; i < lines.size(); ++i) {
                    if (!filter.IsProcessed(lines[i]))
                        continue;
                    outcome.dropped[i] = 1;
                    if (++outcome.droppedCount % step == 0)
                        m_progress.ProgressPartial(ClampToInt(outcome.droppedCount),
                                                   PartialCaption(outcome.droppedCount));
                }
                if (outcome.droppedCount % step != 0)
                    m_progress.ProgressPartial(ClampToInt(outcome.droppedCount),
                                               PartialCaption(outcome.droppedCount));
            }
        } catch (const std::bad_alloc&) {
            outcome.failed = true;
        }
        if (outcome.failed) {
            outcome.dropped.clear();
            outcome.droppedCount = 0;
        }
        if (progressShown)
            m_progress.ProgressClose();
    }
    if (m_timerSwitch)
        m_timerSwitch(true);
    return outcome;
}

std::optional<std::string> CLLackFiles::DropProcessedLinks(int researchId, std::string_view text) {
    const std::vector<std::string_view> lines = SplitTextLines(text);
    const FilterOutcome outcome = FilterLines(researchId, lines);
    if (!outcome.processedFileExists)
        return std::string(text);
    if (outcome.failed)
        return std::nullopt;
    std::string kept;
    kept.reserve(text.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (outcome.dropped[i])
            continue;
        kept += lines[i];
        kept += kLineBreak;
    }
    return kept;
}

PendingLinksRead CLLackFiles::ReadPendingLinks(int researchId) {
    bool converted = false;
    return Read(researchId, converted);
}

PendingLinksRead CLLackFiles::Read(int researchId, bool& converted) {
    PendingLinksRead result;
    const std::string pendingFile = PendingLinksFile(researchId);
    if (!FileExists(pendingFile))
        return result;
    result.found = true;
    std::string raw;
    if (!ReadFileBytes(pendingFile, raw)) {
        result.readFailed = true;
        return result;
    }
    const std::string text = LinesToUtf8(std::move(raw), converted);
    const std::vector<std::string_view> lines = SplitTextLines(text);
    const FilterOutcome outcome = FilterLines(researchId, lines);
    result.filterFailed = outcome.failed;
    result.dropped = outcome.droppedCount;
    result.links.reserve(lines.size() - outcome.droppedCount);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (!outcome.dropped.empty() && outcome.dropped[i])
            continue;
        if (auto link = ParsePendingLine(lines[i], researchId))
            result.links.push_back(std::move(*link));
        else if (!TrimBlanks(lines[i]).empty())
            ++result.skipped;
    }
    return result;
}

PendingLinksRead CLLackFiles::LoadPendingLinks(int researchId, CLLogEnvio& pendingWriter,
                                               CLLogEnvio& processedWriter) {
    bool converted = false;
    PendingLinksRead result = Read(researchId, converted);
    if (!result.found || result.readFailed)
        return result;
    const std::string pendingFile = PendingLinksFile(researchId);
    const std::string processedFile = ProcessedLinksFile(researchId);
    // The processed lines may be forgotten only once the pending-links file no longer holds
    // what they name; a kill in between then filters the same lines again.
    bool fileMatchesQueue = true;
    if (result.dropped > 0 || result.skipped > 0 || converted)
        fileMatchesQueue = WriteFileAtomically(pendingFile, FormatPendingLinks(result.links));
    if (fileMatchesQueue && !result.filterFailed) {
        ::unlink(processedFile.c_str());
        processedWriter.OpenFresh(processedFile);
    } else {
        processedWriter.OpenAppend(processedFile);
    }
    pendingWriter.OpenAppend(pendingFile);
    return result;
}

bool CLLackFiles::SavePendingLinks(int researchId, const PendingLinkList& links) {
    if (!WriteFileAtomically(PendingLinksFile(researchId), FormatPendingLinks(links)))
        return false;
    ::unlink(ProcessedLinksFile(researchId).c_str());
    return true;
}

std::string CLLackFiles::FormatPendingLinks(const PendingLinkList& links) {
    std::size_t size = 0;
    for (const EntLackSites& link : links)
        size += link.lack_sites.size() + 24;
    std::string text;
    text.reserve(size);
    for (const EntLackSites& link : links) {
        AppendPendingLine(text, link);
        text += kLineBreak;
    }
    return text;
}

void CLLackFiles::DeleteLinkFiles(int researchId) {
    ::unlink(PendingLinksFile(researchId).c_str());
    ::unlink(ProcessedLinksFile(researchId).c_str());
}

} // namespace harvexa
