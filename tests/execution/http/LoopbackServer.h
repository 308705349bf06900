#pragma once

#include <chrono>
#include <condition_variable>
#include <httplib.h>
#include <mutex>
#include <string>
#include <thread>

namespace harvexa::test {

// A cpp-httplib server on 127.0.0.1 with a free port, serving on its own thread for one test.
// Register routes on Routes() before Start().
class LoopbackServer final {
public:
    LoopbackServer() { m_server.set_keep_alive_timeout(1); }
    ~LoopbackServer() { Stop(); }
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    httplib::Server& Routes() { return m_server; }

    // False when no port could be bound. The port accepts connections from the moment this returns.
    bool Start() {
        m_port = m_server.bind_to_any_port("127.0.0.1");
        if (m_port <= 0)
            return false;
        m_thread = std::thread([this] { m_server.listen_after_bind(); });
        // stop() only works once the accept loop runs.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (!m_server.is_running() && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        return m_server.is_running();
    }

    void Stop() {
        ReleaseStalledHandlers();
        if (m_thread.joinable()) {
            m_server.stop();
            m_thread.join();
        }
    }

    int Port() const { return m_port; }
    std::string Url(const std::string& target) const {
        return "http://127.0.0.1:" + std::to_string(m_port) + target;
    }

    // For a handler that has to hang: returns when the test releases it or ends, at the latest
    // after `failsafe`.
    void WaitForRelease(std::chrono::milliseconds failsafe) {
        std::unique_lock lock(m_mutex);
        m_released.wait_for(lock, failsafe, [this] { return m_release; });
    }
    void ReleaseStalledHandlers() {
        {
            const std::lock_guard lock(m_mutex);
            m_release = true;
        }
        m_released.notify_all();
    }

private:
    httplib::Server m_server;
    std::thread m_thread;
    int m_port = 0;
    std::mutex m_mutex;
    std::condition_variable m_released;
    bool m_release = false;
};

} // namespace harvexa::test
