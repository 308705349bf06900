#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

namespace harvexa {

// How a capture worker's HTTP client is set up for one link.
struct CaptureFetchSettings final {
    long timeOutMs = 30000;
    std::string userAgent = "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1)";
    bool proxyBasicAuthentication = false;
    std::string proxyServer;
    int proxyPort = 0;
    std::string proxyUsername;
    std::string proxyPassword;
    std::int64_t maxSize = 0;                // "Max_Size"; 0 = no limit
    const std::atomic<bool>* halt = nullptr; // the run's HaltWorkers
};

// What one GET gave.
struct CaptureFetchResult final {
    bool ok = false;
    std::string text;             // the body decoded to UTF-8 (also what arrived before a failure)
    std::uint64_t bytes = 0;      // raw bytes received
    std::string message;          // plain-English failure, for the processing log
    bool connectionError = false; // counts towards the run's network-error stop
    bool disconnected = false;    // the OnWork handler asked for the disconnect
    bool halted = false;          // the run's halt flag ended the transfer
    bool tooLarge = false;        // more than maxSize bytes arrived
};

// OnWork(bytes received so far): false disconnects the client.
using CaptureOnWork = std::function<bool(std::uint64_t bytes)>;

// One GET of a capture worker through its own CLHttpClient, with the worker's OnWork handler.
CaptureFetchResult CaptureFetch(const std::string& url, const CaptureFetchSettings& settings,
                                const CaptureOnWork& onWork);

} // namespace harvexa
