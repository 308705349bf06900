#pragma once

#include <atomic>
#include <cstdint>
#include <string>

namespace harvexa {

// The capture worker's user agent unless "SYS CONFIG" key "User_Agent" names another.
inline constexpr const char* kDefaultUserAgent = "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1)";

// An HTTP proxy as the settings snapshot gives it. An empty Server means a direct connection.
struct HttpProxySettings final {
    std::string Server;
    // 1..65535; anything else leaves libcurl's default proxy port (1080).
    long Port = 0;
    // Send Username and Password to the proxy with basic authentication.
    bool BasicAuthentication = false;
    std::string Username;
    std::string Password;
};

// How one CLHttpClient fetches its pages.
struct HttpFetchOptions final {
    // Read time-out ("Http_Time_Out", ms): the connection must be made, and afterwards some byte must
    // arrive, within this time. 0 switches the read time-out off (connecting then gives up after 300 s).
    std::int64_t TimeoutMs = 30000;
    // Largest page ("Max_Size", bytes): the download is abandoned as soon as more bytes than this have
    // arrived, and only the first MaxSize bytes are kept. 0 = no limit.
    std::int64_t MaxSize = 0;
    std::string UserAgent = kDefaultUserAgent;
    int MaxRedirects = 10;
    HttpProxySettings Proxy;
    // The run's stop request (HaltWorkers); may be null. Read, never written.
    const std::atomic<bool>* Halt = nullptr;
};

} // namespace harvexa
