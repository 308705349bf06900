#include "data/CLFileFind.h"

#include "core/tables/DateTime.h"

#include <algorithm>
#include <ctime>
#include <filesystem>
#include <sys/stat.h>
#include <vector>

namespace harvexa {

namespace fs = std::filesystem;

namespace {

std::string LocalTimeText(std::time_t when) {
    std::tm local{};
    ::localtime_r(&when, &local);
    const auto moment = DateTime::FromParts(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                                            local.tm_hour, local.tm_min, std::min(local.tm_sec, 59));
    return moment ? moment->ToDisplayText() : std::string();
}

} // namespace

void CLFileFind::Search(const std::string& folder) {
    m_stop = false;
    m_foundFiles.clear();
    m_foundSizes.clear();
    std::string start = folder;
    if (start.empty() || start.back() != '/')
        start += '/';
    SearchFolder(start);
}

void CLFileFind::SearchFolder(const std::string& folder) {
    std::error_code error;
    std::vector<std::string> names;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error))
        names.push_back(it->path().filename().string());
    std::sort(names.begin(), names.end());
    for (const std::string& name : names) {
        if (m_stop)
            return;
        if (name.starts_with('.'))
            continue;
        const std::string path = folder + name;
        struct stat entry {};
        if (::lstat(path.c_str(), &entry) != 0)
            continue;
        if (S_ISDIR(entry.st_mode))
            SearchFolder(path + "/");
        else if (S_ISREG(entry.st_mode) || (S_ISLNK(entry.st_mode) && fs::is_regular_file(path, error)))
            FoundFile(path);
    }
}

void CLFileFind::FoundFile(const std::string& path) {
    struct stat entry {};
    if (::stat(path.c_str(), &entry) != 0)
        return;
    m_currentPath = path;
    m_currentSizeBytes = static_cast<std::uintmax_t>(entry.st_size);
    m_currentSize = std::to_string(m_currentSizeBytes);
    m_currentDate = LocalTimeText(entry.st_mtime);
    m_foundFiles += path;
    m_foundFiles += '\n';
    m_foundSizes += m_currentSize;
    m_foundSizes += '\n';
    if (m_onFile)
        m_onFile(*this);
}

} // namespace harvexa
