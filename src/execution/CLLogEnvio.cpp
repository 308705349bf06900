#include "execution/CLLogEnvio.h"

#include <array>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace harvexa {

namespace {

bool WriteAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

// True when the file holds only bytes up to the blank; false also when it cannot be read.
bool FileIsBlank(const std::string& name) {
    const int fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    std::array<char, 65536> buffer{};
    bool blank = true;
    for (;;) {
        const ssize_t got = ::read(fd, buffer.data(), buffer.size());
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            blank = false;
            break;
        }
        if (got == 0)
            break;
        for (ssize_t i = 0; i < got && blank; ++i)
            blank = static_cast<unsigned char>(buffer[static_cast<std::size_t>(i)]) <= ' ';
        if (!blank)
            break;
    }
    ::close(fd);
    return blank;
}

} // namespace

CLLogEnvio::~CLLogEnvio() {
    CloseDescriptor();
}

bool CLLogEnvio::OpenFresh(const std::string& name) {
    return Open(name, O_TRUNC);
}

bool CLLogEnvio::OpenAppend(const std::string& name) {
    return Open(name, 0);
}

bool CLLogEnvio::Open(const std::string& name, int flags) {
    CloseDescriptor();
    m_name = name;
    m_fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC | flags, 0644);
    return m_fd >= 0;
}

bool CLLogEnvio::WriteLine(std::string_view text) {
    if (m_fd < 0)
        return false;
    // One write per line: a kill leaves whole lines, at worst a cut last one.
    m_line.assign(text);
    m_line += "\r\n";
    return WriteAll(m_fd, m_line.data(), m_line.size());
}

void CLLogEnvio::CloseFile() {
    CloseDescriptor();
    if (!m_name.empty() && FileIsBlank(m_name))
        ::unlink(m_name.c_str());
}

void CLLogEnvio::CloseDescriptor() {
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

} // namespace harvexa
