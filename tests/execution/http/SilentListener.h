#pragma once

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace harvexa::test {

// A loopback port that listens but never accepts or answers. Connections still complete (the
// kernel queues them), so a client waits for an answer that never comes. With FillQueue() the queue
// is full and further connection attempts get no reply at all: the client cannot even connect.
class SilentListener final {
public:
    SilentListener() {
        m_socket = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (m_socket < 0 || ::bind(m_socket, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
            ::listen(m_socket, 0) != 0 ||
            ::getsockname(m_socket, reinterpret_cast<sockaddr*>(&address), &length) != 0)
            return;
        m_port = ntohs(address.sin_port);
    }
    ~SilentListener() {
        for (const int fd : m_fillers)
            ::close(fd);
        if (m_socket >= 0)
            ::close(m_socket);
    }
    SilentListener(const SilentListener&) = delete;
    SilentListener& operator=(const SilentListener&) = delete;

    int Port() const { return m_port; }
    std::string Url() const { return "http://127.0.0.1:" + std::to_string(m_port) + "/"; }

    // Fills the accept queue (one connection for a backlog of 0); false when that connection
    // did not complete.
    bool FillQueue() {
        const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        if (fd < 0)
            return false;
        m_fillers.push_back(fd);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = htons(static_cast<std::uint16_t>(m_port));
        ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
        pollfd wait{fd, POLLOUT, 0};
        if (::poll(&wait, 1, 5000) != 1)
            return false;
        int error = 0;
        socklen_t length = sizeof error;
        return ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) == 0 && error == 0;
    }

    // A loopback port nobody listens on (connections to it are refused).
    static int ClosedPort() {
        SilentListener probe;
        const int port = probe.Port();
        return port; // the listener closes when probe goes out of scope
    }

private:
    int m_socket = -1;
    int m_port = 0;
    std::vector<int> m_fillers;
};

} // namespace harvexa::test
