#include "execution/CapturePageFetch.h"

#include "execution/CLHttpClient.h"

namespace harvexa {

CaptureFetchResult CaptureFetch(const std::string& url, const CaptureFetchSettings& settings,
                                const CaptureOnWork& onWork) {
    HttpFetchOptions options;
    options.TimeoutMs = settings.timeOutMs;
    options.MaxSize = settings.maxSize;
    options.UserAgent = settings.userAgent;
    options.Proxy.Server = settings.proxyServer;
    options.Proxy.Port = settings.proxyPort;
    options.Proxy.BasicAuthentication = settings.proxyBasicAuthentication;
    options.Proxy.Username = settings.proxyUsername;
    options.Proxy.Password = settings.proxyPassword;
    options.Halt = settings.halt;

    CLHttpClient client(options);
    bool disconnected = false;
    client.SetOnWork([&](std::int64_t bytes) {
        if (onWork && !disconnected && !onWork(static_cast<std::uint64_t>(bytes))) {
            disconnected = true;
            client.Disconnect();
        }
    });
    const HttpFetchResult fetched = client.Get(url);

    CaptureFetchResult result;
    result.text = fetched.Text;
    result.bytes = static_cast<std::uint64_t>(fetched.BytesReceived);
    result.disconnected = disconnected;
    switch (fetched.Outcome) {
    case FetchOutcome::Complete:
        result.ok = true;
        break;
    case FetchOutcome::TooLarge:
        // The transfer was cut at Max_Size: a failed fetch, as when the client disconnects.
        result.tooLarge = true;
        result.message = fetched.Message.empty() ? "Page larger than Max_Size: " + url : fetched.Message;
        break;
    case FetchOutcome::Halted:
        result.halted = settings.halt != nullptr && settings.halt->load();
        result.message = fetched.Message.empty() ? "Disconnected while reading " + url : fetched.Message;
        break;
    case FetchOutcome::Failed:
        result.message = fetched.Message;
        result.connectionError = fetched.CountsAsConnectionError();
        break;
    }
    return result;
}

} // namespace harvexa
