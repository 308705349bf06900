#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

namespace harvexa {

// Recursive file finder: walks a folder depth first (entries in name order), skipping names that
// begin with "." and not following links to folders, and reports every file it finds.
class CLFileFind final {
public:
    using FileCallback = std::function<void(const CLFileFind&)>;

    void SetOnFile(FileCallback callback) { m_onFile = std::move(callback); }
    // Ends a running search after the current entry; the next search starts afresh.
    void RequestStop() { m_stop = true; }

    void Search(const std::string& folder);

    // Every file found so far, full path, one per line ("\n" after each).
    const std::string& FoundFiles() const { return m_foundFiles; }
    // Their sizes in bytes, decimal, one per line.
    const std::string& FoundSizes() const { return m_foundSizes; }

    // The file just found, for the callback.
    const std::string& CurrentPath() const { return m_currentPath; }
    const std::string& CurrentSize() const { return m_currentSize; }
    std::uintmax_t CurrentSizeBytes() const { return m_currentSizeBytes; }
    // Its modification date and time, "yyyy-mm-dd hh:mm:ss" local time.
    const std::string& CurrentDate() const { return m_currentDate; }

private:
    void SearchFolder(const std::string& folder);
    void FoundFile(const std::string& path);

    std::atomic<bool> m_stop{false};
    FileCallback m_onFile;
    std::string m_foundFiles;
    std::string m_foundSizes;
    std::string m_currentPath;
    std::string m_currentSize;
    std::uintmax_t m_currentSizeBytes = 0;
    std::string m_currentDate;
};

} // namespace harvexa
