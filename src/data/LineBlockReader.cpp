#include "data/LineBlockReader.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace harvexa {

namespace {

constexpr std::size_t kInitialCapacity = std::size_t{4} << 20;

// End of the last whole line in [data, data + size): after its last line feed, else after its last
// carriage return unless that is the final byte (a line feed may follow in the next read).
std::size_t WholeLinesEnd(const char* data, std::size_t size, bool atEnd) {
    if (atEnd)
        return size;
    if (const void* feed = ::memrchr(data, '\n', size))
        return static_cast<std::size_t>(static_cast<const char*>(feed) - data) + 1;
    if (size > 1) {
        if (const void* cr = ::memrchr(data, '\r', size - 1))
            return static_cast<std::size_t>(static_cast<const char*>(cr) - data) + 1;
    }
    return 0;
}

} // namespace

LineBlockReader::~LineBlockReader() {
    Close();
}

void LineBlockReader::Close() {
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

bool LineBlockReader::Open(const std::string& path) {
    Close();
    m_path = path;
    m_error.clear();
    m_start = m_end = 0;
    m_atEnd = false;
    m_fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (m_fd < 0) {
        m_error = "Cannot open " + path + ": " + std::strerror(errno);
        return false;
    }
    if (!m_buffer) {
        m_capacity = kInitialCapacity;
        m_buffer.reset(new char[m_capacity]); // filled by read(); no need to clear it
    }
    return true;
}

// Reads more bytes behind those not handed out yet; false on a read error.
bool LineBlockReader::Fill() {
    if (m_start > 0) {
        std::memmove(m_buffer.get(), m_buffer.get() + m_start, m_end - m_start);
        m_end -= m_start;
        m_start = 0;
    }
    if (m_end == m_capacity) { // one line longer than the buffer
        auto bigger = std::unique_ptr<char[]>(new char[m_capacity * 2]);
        std::memcpy(bigger.get(), m_buffer.get(), m_end);
        m_buffer = std::move(bigger);
        m_capacity *= 2;
    }
    for (;;) {
        const ssize_t got = ::read(m_fd, m_buffer.get() + m_end, m_capacity - m_end);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            m_error = "Cannot read " + m_path + ": " + std::strerror(errno);
            return false;
        }
        if (got == 0)
            m_atEnd = true;
        m_end += static_cast<std::size_t>(got);
        return true;
    }
}

bool LineBlockReader::NextBlock(std::string_view& block) {
    if (m_fd < 0)
        return false;
    for (;;) {
        const std::size_t whole = WholeLinesEnd(m_buffer.get() + m_start, m_end - m_start, m_atEnd);
        if (whole > 0) {
            block = std::string_view(m_buffer.get() + m_start, whole);
            m_start += whole;
            return true;
        }
        if (m_atEnd || !Fill()) {
            Close();
            return false;
        }
    }
}

} // namespace harvexa
