#include "core/AtomicFile.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace harvexa {

namespace {

bool WriteAll(int fd, std::string_view contents) {
    const char* data = contents.data();
    std::size_t left = contents.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, left);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += written;
        left -= static_cast<std::size_t>(written);
    }
    return true;
}

BeforeRenameHook g_beforeRename = nullptr;

} // namespace

void SetBeforeRenameHookForTesting(BeforeRenameHook hook) { g_beforeRename = hook; }

bool WriteFileAtomically(const std::string& path, std::string_view contents) {
    std::string pattern = path + ".tmp-XXXXXX";
    const int fd = ::mkstemp(pattern.data());
    if (fd < 0)
        return false;
    // Keep the permissions of the file being replaced (mkstemp creates 0600).
    struct stat existing {};
    ::fchmod(fd, ::stat(path.c_str(), &existing) == 0 ? (existing.st_mode & 07777) : 0644);
    const bool written = WriteAll(fd, contents) && ::fsync(fd) == 0;
    const bool closed = ::close(fd) == 0;
    if (g_beforeRename && written && closed)
        g_beforeRename(pattern);
    if (!written || !closed || ::rename(pattern.c_str(), path.c_str()) != 0) {
        ::unlink(pattern.c_str());
        return false;
    }
    return true;
}

bool ReadWholeFile(const std::string& path, std::string& contents) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    std::ostringstream buffer;
    buffer << in.rdbuf();
    if (in.bad())
        return false;
    contents = std::move(buffer).str();
    return true;
}

bool CopyFileAtomically(const std::string& from, const std::string& to, bool overwrite) {
    if (!overwrite && FileExists(to))
        return false;
    std::string contents;
    return ReadWholeFile(from, contents) && WriteFileAtomically(to, contents);
}

bool FileExists(const std::string& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

} // namespace harvexa
