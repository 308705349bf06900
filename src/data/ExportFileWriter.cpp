#include "data/ExportFileWriter.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace harvexa {

namespace {

constexpr std::size_t kBufferSize = std::size_t{1} << 20;

// The file a rename must replace: a symbolic link keeps pointing at the new contents.
std::string RenameTarget(const std::string& path) {
    std::error_code error;
    if (std::filesystem::is_symlink(path, error)) {
        const auto resolved = std::filesystem::weakly_canonical(path, error);
        if (!error)
            return resolved.string();
    }
    return path;
}

} // namespace

ExportFileWriter::~ExportFileWriter() {
    Abandon();
}

bool ExportFileWriter::Fail(const std::string& what, int error) {
    if (!m_failed) {
        m_failed = true;
        m_error = what + " " + m_target + ": " + std::strerror(error);
    }
    return false;
}

void ExportFileWriter::CloseDescriptor() {
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

bool ExportFileWriter::Open(const std::string& path) {
    Abandon();
    m_target = RenameTarget(path);
    m_failed = false;
    m_error.clear();
    m_buffer.clear();
    m_buffer.reserve(kBufferSize);

    struct stat existing {};
    const bool exists = ::stat(m_target.c_str(), &existing) == 0;
    if (exists && S_ISDIR(existing.st_mode))
        return Fail("Cannot write the export file", EISDIR);
    if (exists && !S_ISREG(existing.st_mode)) {
        m_fd = ::open(m_target.c_str(), O_WRONLY | O_CLOEXEC);
        return m_fd >= 0 || Fail("Cannot open the export file", errno);
    }
    std::string pattern = m_target + ".tmp-XXXXXX";
    m_fd = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (m_fd < 0)
        return Fail("Cannot create the export file", errno);
    m_temporary = pattern;
    ::fchmod(m_fd, exists ? (existing.st_mode & 07777) : 0644);
    return true;
}

bool ExportFileWriter::WriteThrough(std::string_view data) {
    while (!data.empty()) {
        const ssize_t written = ::write(m_fd, data.data(), data.size());
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return Fail("Cannot write the export file", errno);
        }
        data.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

bool ExportFileWriter::Flush() {
    const bool written = WriteThrough(m_buffer);
    m_buffer.clear();
    return written;
}

bool ExportFileWriter::Write(std::string_view data) {
    if (m_failed || m_fd < 0)
        return false;
    if (m_buffer.size() + data.size() > kBufferSize && !Flush())
        return false;
    if (data.size() >= kBufferSize)
        return WriteThrough(data);
    m_buffer.append(data);
    return true;
}

bool ExportFileWriter::Commit() {
    if (m_fd < 0 && !m_failed)
        return Fail("Cannot write the export file", EBADF);
    if (!m_failed && Flush()) {
        // A device or pipe may not support syncing; a regular file must reach the disk before the rename.
        if (!m_temporary.empty() && ::fsync(m_fd) != 0)
            Fail("Cannot write the export file", errno);
    }
    const int fd = std::exchange(m_fd, -1);
    if (fd >= 0 && ::close(fd) != 0)
        Fail("Cannot close the export file", errno);
    if (!m_failed && !m_temporary.empty()) {
        if (::rename(m_temporary.c_str(), m_target.c_str()) != 0)
            Fail("Cannot put the export file in place", errno);
        else
            m_temporary.clear();
    }
    if (m_failed) {
        Abandon();
        return false;
    }
    return true;
}

void ExportFileWriter::Abandon() {
    CloseDescriptor();
    if (!m_temporary.empty())
        ::unlink(m_temporary.c_str());
    m_temporary.clear();
    m_buffer.clear();
}

} // namespace harvexa
