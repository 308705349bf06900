#pragma once

#include "execution/http/SilentListener.h"

#include <arpa/inet.h>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <netinet/in.h>
#include <spawn.h>
#include <sstream>
#include <string>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace harvexa::test {

// Debian's tinyproxy on a free loopback port, with basic authentication, for one test.
class TinyproxyProcess final {
public:
    static constexpr const char* kProgram = "/usr/bin/tinyproxy";

    static bool Installed() { return ::access(kProgram, X_OK) == 0; }

    TinyproxyProcess() = default;
    ~TinyproxyProcess() { Stop(); }
    TinyproxyProcess(const TinyproxyProcess&) = delete;
    TinyproxyProcess& operator=(const TinyproxyProcess&) = delete;

    // Writes a configuration into `folder`, starts tinyproxy in the foreground and waits until its
    // port accepts connections. False (see Log()) when it did not come up within 10 s.
    bool Start(const std::filesystem::path& folder, const std::string& user, const std::string& password) {
        m_port = SilentListener::ClosedPort();
        const std::filesystem::path config = folder / "tinyproxy.conf";
        m_logFile = folder / "tinyproxy.log";
        {
            std::ofstream out(config);
            out << "Port " << m_port << "\n"
                << "Listen 127.0.0.1\n"
                << "Timeout 30\n"
                << "MaxClients 20\n"
                << "LogLevel Info\n"
                << "Allow 127.0.0.1\n"
                << "BasicAuth " << user << " " << password << "\n";
        }
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        const std::string log = m_logFile.string();
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0644);
        posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
        const std::string configText = config.string();
        char* const argv[] = {const_cast<char*>(kProgram), const_cast<char*>("-d"), const_cast<char*>("-c"),
                              const_cast<char*>(configText.c_str()), nullptr};
        const int spawned = ::posix_spawn(&m_pid, kProgram, &actions, nullptr, argv, environ);
        posix_spawn_file_actions_destroy(&actions);
        if (spawned != 0) {
            m_pid = -1;
            return false;
        }
        return WaitUntilAccepting(std::chrono::seconds(10));
    }

    void Stop() {
        if (m_pid <= 0)
            return;
        ::kill(m_pid, SIGTERM);
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
        while (::waitpid(m_pid, nullptr, WNOHANG) == 0) {
            if (std::chrono::steady_clock::now() > deadline) {
                ::kill(m_pid, SIGKILL);
                ::waitpid(m_pid, nullptr, 0);
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        m_pid = -1;
    }

    int Port() const { return m_port; }

    std::string Log() const {
        std::ifstream in(m_logFile);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

private:
    bool WaitUntilAccepting(std::chrono::seconds limit) {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        while (std::chrono::steady_clock::now() < deadline) {
            if (::waitpid(m_pid, nullptr, WNOHANG) == m_pid) {
                m_pid = -1; // it ended: a bad configuration
                return false;
            }
            if (Accepts())
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return false;
    }

    bool Accepts() const {
        const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = htons(static_cast<std::uint16_t>(m_port));
        const bool connected = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
        ::close(fd);
        return connected;
    }

    pid_t m_pid = -1;
    int m_port = 0;
    std::filesystem::path m_logFile;
};

} // namespace harvexa::test
