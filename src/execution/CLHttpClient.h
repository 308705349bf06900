#pragma once

#include "execution/HttpFetchOptions.h"
#include "execution/HttpFetchResult.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>

namespace harvexa {

// Steps of one fetch, as the worker's status line shows them.
enum class FetchStatus {
    Resolving,    // once, before anything else: the host name is being looked up
    Connecting,   // a connection attempt to one address (site or proxy) starts
    Connected,    // a connection is ready and the request goes out (again after each redirect)
    Receiving,    // the first line of a response arrived (again after each redirect)
    Disconnected, // once, at the end, whatever the outcome
};

// The HTTP client of a capture worker: one GET per call, on the calling thread, with its own libcurl
// handle. Redirects are followed, compressed and HTTPS transfers are on, an HTTP proxy with basic
// authentication is used when configured (proxy variables of the environment are never used).
//
// Handlers run on the calling thread while the transfer is in progress; they may call Disconnect().
// Disconnect() may also be called from any other thread. After Disconnect() every fetch of this
// client, running or later, ends as Halted.
class CLHttpClient final {
public:
    // Body bytes of the current response received so far, after every piece that arrives.
    using WorkHandler = std::function<void(std::int64_t bytesSoFar)>;
    // A step of the fetch with a short English text ("Connecting to 127.0.0.1:80").
    using StatusHandler = std::function<void(FetchStatus status, const std::string& text)>;

    explicit CLHttpClient(HttpFetchOptions options = {});
    ~CLHttpClient() = default;
    CLHttpClient(const CLHttpClient&) = delete;
    CLHttpClient& operator=(const CLHttpClient&) = delete;

    void SetOnWork(WorkHandler handler) { m_onWork = std::move(handler); }
    void SetOnStatus(StatusHandler handler) { m_onStatus = std::move(handler); }
    const HttpFetchOptions& Options() const { return m_options; }

    // Fetches url with a GET. Blanks and other characters an address cannot carry are sent
    // percent-encoded. Never throws; everything that went wrong is in the result.
    [[nodiscard]] HttpFetchResult Get(const std::string& url);

    // Ends the running fetch as soon as possible (within about a tenth of a second).
    void Disconnect() { m_disconnect.store(true); }

    // Initialises libcurl for the process, once; safe to call from any thread. Every user of libcurl
    // in the program calls this before creating a handle.
    static void InitialiseLibrary();

private:
    HttpFetchOptions m_options;
    WorkHandler m_onWork;
    StatusHandler m_onStatus;
    std::atomic<bool> m_disconnect{false};
};

} // namespace harvexa
