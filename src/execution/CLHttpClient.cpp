#include "execution/CLHttpClient.h"

#include "analysis/PageDecoder.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <curl/curl.h>
#include <exception>
#include <memory>
#include <netinet/in.h>
#include <string_view>
#include <sys/socket.h>
#include <utility>

namespace harvexa {

namespace {

// Longest wait between two looks at the halt flag while nothing arrives.
constexpr int kPollIntervalMs = 100;
// libcurl's own connect time-out, used when the read time-out is off.
constexpr std::int64_t kDefaultConnectTimeoutMs = 300000;

struct EasyDeleter {
    void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};
struct MultiDeleter {
    void operator()(CURLM* handle) const { curl_multi_cleanup(handle); }
};
struct UrlDeleter {
    void operator()(CURLU* handle) const { curl_url_cleanup(handle); }
};
using EasyHandle = std::unique_ptr<CURL, EasyDeleter>;
using MultiHandle = std::unique_ptr<CURLM, MultiDeleter>;
using UrlHandle = std::unique_ptr<CURLU, UrlDeleter>;

// Keeps the easy handle in the multi handle for one transfer.
class MultiAttachment final {
public:
    MultiAttachment(CURLM* multi, CURL* easy)
        : m_multi(multi)
        , m_easy(easy) {
        m_attached = curl_multi_add_handle(multi, easy) == CURLM_OK;
    }
    ~MultiAttachment() {
        if (m_attached)
            curl_multi_remove_handle(m_multi, m_easy);
    }
    MultiAttachment(const MultiAttachment&) = delete;
    MultiAttachment& operator=(const MultiAttachment&) = delete;
    bool Attached() const { return m_attached; }

private:
    CURLM* m_multi;
    CURL* m_easy;
    bool m_attached = false;
};

// Where the transfer was when a time-out struck: it tells a slow lookup, a slow connect and a
// silent server apart.
enum class Phase { Resolving, Connecting, Connected, Receiving };

enum class StopReason { None, TooLarge, Halted, HandlerError };

// The state of one Get, reached from libcurl's callbacks.
class FetchState final {
public:
    FetchState(const HttpFetchOptions& options, const CLHttpClient::WorkHandler& onWork,
               const CLHttpClient::StatusHandler& onStatus, const std::atomic<bool>& disconnect)
        : m_options(options)
        , m_onWork(onWork)
        , m_onStatus(onStatus)
        , m_disconnect(disconnect) {}

    bool StopRequested() const {
        return m_disconnect.load() || (m_options.Halt != nullptr && m_options.Halt->load());
    }

    // False when the handler failed: the transfer must then be ended.
    bool Report(FetchStatus status, const std::string& text) {
        if (!m_onStatus)
            return true;
        try {
            m_onStatus(status, text);
            return true;
        } catch (const std::exception& error) {
            FailInHandler(error.what());
        } catch (...) {
            FailInHandler("unknown error");
        }
        return false;
    }

    std::size_t OnBody(const char* data, std::size_t size) {
        if (StopRequested())
            return Abort(StopReason::Halted);
        const std::int64_t limit = m_options.MaxSize;
        std::size_t keep = size;
        if (limit > 0) {
            const auto room =
                static_cast<std::size_t>(limit) - std::min(m_body.size(), static_cast<std::size_t>(limit));
            keep = std::min(keep, room);
        }
        m_body.append(data, keep);
        m_bytesReceived += static_cast<std::int64_t>(size);
        if (m_onWork) {
            try {
                m_onWork(m_bytesReceived);
            } catch (const std::exception& error) {
                FailInHandler(error.what());
                return Abort(StopReason::HandlerError);
            } catch (...) {
                FailInHandler("unknown error");
                return Abort(StopReason::HandlerError);
            }
        }
        if (limit > 0 && m_bytesReceived > limit)
            return Abort(StopReason::TooLarge);
        if (StopRequested())
            return Abort(StopReason::Halted);
        return size;
    }

    std::size_t OnHeader(const char* data, std::size_t size) {
        if (StopRequested())
            return Abort(StopReason::Halted);
        const std::string_view line(data, size);
        if (line.starts_with("HTTP/")) {
            // A new response: a redirect's body never counts towards the page.
            m_status = ParseStatus(line);
            m_body.clear();
            m_bytesReceived = 0;
            m_phase = Phase::Receiving;
            if (!Report(FetchStatus::Receiving, "Receiving"))
                return Abort(StopReason::HandlerError);
        } else if ((line == "\r\n" || line == "\n") && m_status >= 300 && m_status < 400) {
            // End of a redirect's headers: the next step may look up and connect to another host.
            m_phase = Phase::Resolving;
        }
        return size;
    }

    curl_socket_t OnOpenSocket(const curl_sockaddr& address) {
        m_phase = Phase::Connecting;
        m_lastAddress = FormatAddress(address);
        if (!Report(FetchStatus::Connecting, "Connecting to " + m_lastAddress))
            return CURL_SOCKET_BAD;
        return ::socket(address.family, address.socktype | SOCK_CLOEXEC, address.protocol);
    }

    bool OnPrerequest(const char* ip, int port) {
        m_phase = Phase::Connected;
        m_lastAddress = JoinAddress(ip, port);
        return Report(FetchStatus::Connected, "Connected to " + m_lastAddress);
    }

    void MarkHalted() { m_stop = StopReason::Halted; }

    Phase CurrentPhase() const { return m_phase; }
    StopReason Stop() const { return m_stop; }
    const std::string& HandlerError() const { return m_handlerError; }
    const std::string& LastAddress() const { return m_lastAddress; }
    std::string& Body() { return m_body; }
    std::int64_t BytesReceived() const { return m_bytesReceived; }

private:
    std::size_t Abort(StopReason reason) {
        if (m_stop == StopReason::None)
            m_stop = reason;
        return CURL_WRITEFUNC_ERROR;
    }

    void FailInHandler(const char* what) {
        if (m_handlerError.empty())
            m_handlerError = what;
        if (m_stop == StopReason::None)
            m_stop = StopReason::HandlerError;
    }

    static int ParseStatus(std::string_view statusLine) {
        const std::size_t blank = statusLine.find(' ');
        int status = 0;
        for (std::size_t pos = blank == std::string_view::npos ? statusLine.size() : blank + 1;
             pos < statusLine.size() && statusLine[pos] >= '0' && statusLine[pos] <= '9' && status < 1000;
             ++pos)
            status = status * 10 + (statusLine[pos] - '0');
        return status;
    }

    static std::string JoinAddress(const char* ip, int port) {
        const std::string host = ip != nullptr ? ip : "";
        const bool v6 = host.find(':') != std::string::npos;
        return (v6 ? "[" + host + "]" : host) + ":" + std::to_string(port);
    }

    static std::string FormatAddress(const curl_sockaddr& address) {
        sockaddr_storage storage{};
        std::memcpy(&storage, &address.addr, std::min<std::size_t>(address.addrlen, sizeof storage));
        char ip[INET6_ADDRSTRLEN] = {};
        if (storage.ss_family == AF_INET) {
            const auto& in = reinterpret_cast<const sockaddr_in&>(storage);
            ::inet_ntop(AF_INET, &in.sin_addr, ip, sizeof ip);
            return JoinAddress(ip, ntohs(in.sin_port));
        }
        if (storage.ss_family == AF_INET6) {
            const auto& in6 = reinterpret_cast<const sockaddr_in6&>(storage);
            ::inet_ntop(AF_INET6, &in6.sin6_addr, ip, sizeof ip);
            return JoinAddress(ip, ntohs(in6.sin6_port));
        }
        return "?";
    }

    const HttpFetchOptions& m_options;
    const CLHttpClient::WorkHandler& m_onWork;
    const CLHttpClient::StatusHandler& m_onStatus;
    const std::atomic<bool>& m_disconnect;

    std::string m_body;
    std::int64_t m_bytesReceived = 0;
    int m_status = 0;
    Phase m_phase = Phase::Resolving;
    StopReason m_stop = StopReason::None;
    std::string m_lastAddress;
    std::string m_handlerError;
};

extern "C" {

static std::size_t WriteBody(char* data, std::size_t size, std::size_t count, void* state) {
    return static_cast<FetchState*>(state)->OnBody(data, size * count);
}

static std::size_t WriteHeader(char* data, std::size_t size, std::size_t count, void* state) {
    return static_cast<FetchState*>(state)->OnHeader(data, size * count);
}

static curl_socket_t OpenSocket(void* state, curlsocktype, curl_sockaddr* address) {
    return static_cast<FetchState*>(state)->OnOpenSocket(*address);
}

static int BeforeRequest(void* state, char* primaryIp, char*, int primaryPort, int) {
    return static_cast<FetchState*>(state)->OnPrerequest(primaryIp, primaryPort) ? CURL_PREREQFUNC_OK
                                                                                 : CURL_PREREQFUNC_ABORT;
}

} // extern "C"

// "2 s", "1.5 s", "0.25 s".
std::string Seconds(std::int64_t ms) {
    std::string text = std::to_string(ms / 1000);
    if (const std::int64_t rest = ms % 1000; rest != 0) {
        std::string fraction = std::to_string(1000 + rest).substr(1);
        while (fraction.back() == '0')
            fraction.pop_back();
        text += "." + fraction;
    }
    return text + " s";
}

std::string_view ReasonPhrase(int status) {
    switch (status) {
    case 400:
        return "Bad Request";
    case 401:
        return "Unauthorized";
    case 402:
        return "Payment Required";
    case 403:
        return "Forbidden";
    case 404:
        return "Not Found";
    case 405:
        return "Method Not Allowed";
    case 406:
        return "Not Acceptable";
    case 407:
        return "Proxy Authentication Required";
    case 408:
        return "Request Timeout";
    case 409:
        return "Conflict";
    case 410:
        return "Gone";
    case 411:
        return "Length Required";
    case 412:
        return "Precondition Failed";
    case 413:
        return "Content Too Large";
    case 414:
        return "URI Too Long";
    case 415:
        return "Unsupported Media Type";
    case 416:
        return "Range Not Satisfiable";
    case 417:
        return "Expectation Failed";
    case 421:
        return "Misdirected Request";
    case 422:
        return "Unprocessable Content";
    case 425:
        return "Too Early";
    case 426:
        return "Upgrade Required";
    case 428:
        return "Precondition Required";
    case 429:
        return "Too Many Requests";
    case 431:
        return "Request Header Fields Too Large";
    case 451:
        return "Unavailable For Legal Reasons";
    case 500:
        return "Internal Server Error";
    case 501:
        return "Not Implemented";
    case 502:
        return "Bad Gateway";
    case 503:
        return "Service Unavailable";
    case 504:
        return "Gateway Timeout";
    case 505:
        return "HTTP Version Not Supported";
    case 507:
        return "Insufficient Storage";
    case 508:
        return "Loop Detected";
    case 511:
        return "Network Authentication Required";
    default:
        return {};
    }
}

// "HTTP 500 Internal Server Error". Our own phrases: a server's reason text never reaches the log.
std::string StatusText(int status) {
    std::string text = "HTTP " + std::to_string(status);
    if (const std::string_view reason = ReasonPhrase(status); !reason.empty())
        text += " " + std::string(reason);
    return text;
}

// Why a connection broke, in English whatever the process locale; empty when not one of these.
std::string_view SocketErrorText(long osErrno) {
    switch (osErrno) {
    case ECONNRESET:
        return "Connection reset by the server";
    case EPIPE:
        return "Connection closed by the server";
    case ECONNABORTED:
        return "Connection aborted";
    case ENETUNREACH:
        return "Network unreachable";
    case ENETDOWN:
        return "Network is down";
    case EHOSTUNREACH:
        return "Host unreachable";
    case EHOSTDOWN:
        return "Host is down";
    case EADDRNOTAVAIL:
        return "Address not available";
    case EACCES:
    case EPERM:
        return "Connection blocked by the system";
    default:
        return {};
    }
}

// Pages link to addresses with blanks and other characters a request line cannot carry; browsers
// send them percent-encoded, and libcurl refuses them raw. The host part is left alone (libcurl
// turns a non-ASCII host name into its ASCII form), so is an existing %XX.
std::string EncodeUnsafeCharacters(const std::string& url) {
    static constexpr std::string_view kUnsafe = "\"<>\\^`{|}";
    static constexpr char kHex[] = "0123456789ABCDEF";
    const std::size_t scheme = url.find("://");
    const std::size_t authority = scheme == std::string::npos ? 0 : scheme + 3;
    const std::size_t pathStart = std::min(url.find_first_of("/?#", authority), url.size());
    std::string encoded = url.substr(0, pathStart);
    for (std::size_t pos = pathStart; pos < url.size(); ++pos) {
        const auto byte = static_cast<unsigned char>(url[pos]);
        if (byte <= 0x20 || byte >= 0x7F || kUnsafe.find(static_cast<char>(byte)) != std::string_view::npos) {
            encoded += '%';
            encoded += kHex[byte >> 4];
            encoded += kHex[byte & 0x0F];
        } else {
            encoded += static_cast<char>(byte);
        }
    }
    return encoded;
}

std::string HostOfUrl(const std::string& url) {
    const UrlHandle parsed(curl_url());
    if (!parsed || curl_url_set(parsed.get(), CURLUPART_URL, url.c_str(), CURLU_DEFAULT_SCHEME) != CURLUE_OK)
        return {};
    char* host = nullptr;
    if (curl_url_get(parsed.get(), CURLUPART_HOST, &host, 0) != CURLUE_OK || host == nullptr)
        return {};
    std::string result = host;
    curl_free(host);
    return result;
}

// The bytes in front of an incomplete UTF-8 sequence at the very end, or all of them.
std::size_t CompleteUtf8Length(std::string_view bytes) {
    const std::size_t size = bytes.size();
    for (std::size_t back = 1; back <= 4 && back <= size; ++back) {
        const auto byte = static_cast<unsigned char>(bytes[size - back]);
        if ((byte & 0xC0) == 0x80)
            continue; // a continuation byte: look further back for its lead
        const std::size_t needed = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
        return needed > back ? size - back : size;
    }
    return size;
}

// A body cut short may end inside a UTF-8 character; dropping that piece keeps a UTF-8 page from
// being taken for Windows-1252 (or gaining a replacement character) only because of where it was cut.
void DropCutCharacter(std::string& body, const std::string& contentType) {
    const std::size_t complete = CompleteUtf8Length(body);
    if (complete == body.size())
        return;
    std::string charset = PageDecoder::CharsetFromContentType(contentType);
    if (charset.empty())
        charset = PageDecoder::CharsetFromMarkup(body);
    const std::string_view kept = std::string_view(body).substr(0, complete);
    if (charset == "utf-8" || (charset.empty() && PageDecoder::IsValidUtf8(kept)))
        body.resize(complete);
}

class FetchRun final {
public:
    FetchRun(const HttpFetchOptions& options, FetchState& state)
        : m_options(options)
        , m_state(state) {}

    // Sets every option of the transfer; false when libcurl refused one.
    bool Configure(CURL* easy, const std::string& url, char* errorBuffer) {
        const std::int64_t timeout = m_options.TimeoutMs > 0 ? m_options.TimeoutMs : kDefaultConnectTimeoutMs;
        CURLcode code = CURLE_OK;
        const auto set = [&code](CURLcode result) {
            if (code == CURLE_OK)
                code = result;
        };
        set(curl_easy_setopt(easy, CURLOPT_URL, url.c_str()));
        set(curl_easy_setopt(easy, CURLOPT_HTTPGET, 1L));
        set(curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L));
        set(curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, errorBuffer));
        set(curl_easy_setopt(easy, CURLOPT_DEFAULT_PROTOCOL, "http"));
        set(curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https"));
        set(curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, "http,https"));
        set(curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 1L));
        set(curl_easy_setopt(easy, CURLOPT_MAXREDIRS, static_cast<long>(m_options.MaxRedirects)));
        set(curl_easy_setopt(easy, CURLOPT_USERAGENT, m_options.UserAgent.c_str()));
        set(curl_easy_setopt(easy, CURLOPT_ACCEPT_ENCODING, ""));
        set(curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(timeout)));
        if (m_options.TimeoutMs > 0) {
            // The read time-out: less than one byte per second for that long ends the transfer.
            set(curl_easy_setopt(easy, CURLOPT_LOW_SPEED_LIMIT, 1L));
            set(curl_easy_setopt(easy, CURLOPT_LOW_SPEED_TIME,
                                 static_cast<long>((m_options.TimeoutMs + 999) / 1000)));
        }
        set(curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, WriteBody));
        set(curl_easy_setopt(easy, CURLOPT_WRITEDATA, &m_state));
        set(curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, WriteHeader));
        set(curl_easy_setopt(easy, CURLOPT_HEADERDATA, &m_state));
        set(curl_easy_setopt(easy, CURLOPT_OPENSOCKETFUNCTION, OpenSocket));
        set(curl_easy_setopt(easy, CURLOPT_OPENSOCKETDATA, &m_state));
        set(curl_easy_setopt(easy, CURLOPT_PREREQFUNCTION, BeforeRequest));
        set(curl_easy_setopt(easy, CURLOPT_PREREQDATA, &m_state));

        const HttpProxySettings& proxy = m_options.Proxy;
        if (proxy.Server.empty()) {
            // An empty proxy also keeps libcurl from taking one from http_proxy and friends.
            set(curl_easy_setopt(easy, CURLOPT_PROXY, ""));
        } else {
            set(curl_easy_setopt(easy, CURLOPT_PROXY, proxy.Server.c_str()));
            set(curl_easy_setopt(easy, CURLOPT_PROXYTYPE, static_cast<long>(CURLPROXY_HTTP)));
            // No host bypasses the proxy, whatever no_proxy says.
            set(curl_easy_setopt(easy, CURLOPT_NOPROXY, ""));
            set(curl_easy_setopt(easy, CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L));
            if (proxy.Port >= 1 && proxy.Port <= 65535)
                set(curl_easy_setopt(easy, CURLOPT_PROXYPORT, proxy.Port));
            if (proxy.BasicAuthentication) {
                set(curl_easy_setopt(easy, CURLOPT_PROXYAUTH, CURLAUTH_BASIC));
                set(curl_easy_setopt(easy, CURLOPT_PROXYUSERNAME, proxy.Username.c_str()));
                set(curl_easy_setopt(easy, CURLOPT_PROXYPASSWORD, proxy.Password.c_str()));
            }
        }
        return code == CURLE_OK;
    }

private:
    const HttpFetchOptions& m_options;
    FetchState& m_state;
};

// Runs the transfer to its end, looking at the halt flag at least every kPollIntervalMs.
CURLcode Perform(CURLM* multi, FetchState& state) {
    for (;;) {
        int running = 0;
        if (curl_multi_perform(multi, &running) != CURLM_OK)
            return CURLE_OUT_OF_MEMORY;
        int queued = 0;
        while (CURLMsg* message = curl_multi_info_read(multi, &queued)) {
            if (message->msg == CURLMSG_DONE)
                return message->data.result;
        }
        if (state.StopRequested()) {
            state.MarkHalted();
            return CURLE_WRITE_ERROR;
        }
        if (curl_multi_poll(multi, nullptr, 0, kPollIntervalMs, nullptr) != CURLM_OK)
            return CURLE_OUT_OF_MEMORY;
    }
}

class FailureClassifier final {
public:
    FailureClassifier(const HttpFetchOptions& options, const FetchState& state, std::string url,
                      std::string finalUrl, const char* errorBuffer)
        : m_options(options)
        , m_state(state)
        , m_url(std::move(url))
        , m_finalUrl(std::move(finalUrl))
        , m_detail(errorBuffer) {}

    void Classify(CURLcode code, CURL* easy, HttpFetchResult& result) const {
        switch (m_state.Stop()) {
        case StopReason::TooLarge:
            result.Outcome = FetchOutcome::TooLarge;
            result.Message = "Page larger than the limit of " + std::to_string(m_options.MaxSize) +
                             " bytes: " + FinalUrl();
            return;
        case StopReason::Halted:
            result.Outcome = FetchOutcome::Halted;
            result.Message = "Download stopped: " + FinalUrl();
            return;
        case StopReason::HandlerError:
            Fail(result, FetchFailureKind::TransferFailed,
                 "Download stopped by an error while reporting progress (" + m_state.HandlerError() +
                     "): " + FinalUrl());
            return;
        case StopReason::None:
            break;
        }
        if (code != CURLE_OK) {
            ClassifyCurlError(code, easy, result);
            return;
        }
        if (result.HttpStatus >= 400) {
            ClassifyHttpStatus(result);
            return;
        }
        result.Outcome = FetchOutcome::Complete;
    }

private:
    static void Fail(HttpFetchResult& result, FetchFailureKind kind, std::string message) {
        result.Outcome = FetchOutcome::Failed;
        result.FailureKind = kind;
        result.Message = std::move(message);
    }

    const std::string& FinalUrl() const { return m_finalUrl; }
    bool ViaProxy() const { return !m_options.Proxy.Server.empty(); }
    std::string ProxyName() const {
        const HttpProxySettings& proxy = m_options.Proxy;
        return proxy.Port > 0 ? proxy.Server + ":" + std::to_string(proxy.Port) : proxy.Server;
    }
    // The address a connection failed on, else the host of the failing address.
    std::string Peer() const {
        if (!m_state.LastAddress().empty())
            return m_state.LastAddress();
        const std::string host = HostOfUrl(FinalUrl());
        return host.empty() ? FinalUrl() : host;
    }
    std::string Detail(CURLcode code) const {
        return m_detail.empty() ? std::string(curl_easy_strerror(code)) : m_detail;
    }

    // "Socket error (Connection reset by the server)". libcurl's own texts for the rest: its error
    // buffer may quote the system's text, which could name a refused connection.
    static std::string SocketErrorMessage(long osErrno, CURLcode code) {
        const std::string_view reason = SocketErrorText(osErrno);
        return "Socket error (" +
               (reason.empty() ? std::string(curl_easy_strerror(code)) : std::string(reason)) + ")";
    }

    void ClassifyHttpStatus(HttpFetchResult& result) const {
        const int status = result.HttpStatus;
        if (status == 407) {
            Fail(result, FetchFailureKind::ProxyAuthFailed,
                 "Proxy authentication failed (" + StatusText(status) + ") at proxy " + ProxyName() + ": " +
                     FinalUrl());
            return;
        }
        std::string message = StatusText(status) + ": " + FinalUrl();
        if (status == 401 && ViaProxy() && m_options.Proxy.BasicAuthentication)
            message += " (via the proxy " + ProxyName() + "; it may have refused its user name or password)";
        Fail(result, FetchFailureKind::HttpError, std::move(message));
    }

    void ClassifyCurlError(CURLcode code, CURL* easy, HttpFetchResult& result) const {
        long osErrno = 0;
        curl_easy_getinfo(easy, CURLINFO_OS_ERRNO, &osErrno);
        long connectCode = 0;
        curl_easy_getinfo(easy, CURLINFO_HTTP_CONNECTCODE, &connectCode);
        if (connectCode >= 400 && ViaProxy()) {
            // The proxy refused the tunnel of an https address.
            const bool auth = connectCode == 401 || connectCode == 407;
            Fail(result, auth ? FetchFailureKind::ProxyAuthFailed : FetchFailureKind::HttpError,
                 std::string(auth ? "Proxy authentication failed (" : "Proxy refused the connection (") +
                     StatusText(static_cast<int>(connectCode)) + ") at proxy " + ProxyName() + ": " +
                     FinalUrl());
            return;
        }
        switch (code) {
        case CURLE_COULDNT_RESOLVE_HOST:
            Fail(result, FetchFailureKind::HostNotFound, "Host not found: " + HostOfUrl(FinalUrl()));
            return;
        case CURLE_COULDNT_RESOLVE_PROXY:
            Fail(result, FetchFailureKind::HostNotFound, "Proxy host not found: " + m_options.Proxy.Server);
            return;
        case CURLE_OPERATION_TIMEDOUT:
            ClassifyTimeout(result);
            return;
        case CURLE_COULDNT_CONNECT:
            ClassifyConnectFailure(osErrno, code, result);
            return;
        case CURLE_OUT_OF_MEMORY:
            Fail(result, FetchFailureKind::OutOfBuffers, "Out of buffers while downloading: " + FinalUrl());
            return;
        case CURLE_SEND_ERROR:
        case CURLE_RECV_ERROR: {
            Fail(result, FetchFailureKind::SocketError,
                 SocketErrorMessage(osErrno, code) + ": " + FinalUrl());
            return;
        }
        case CURLE_TOO_MANY_REDIRECTS:
            Fail(result, FetchFailureKind::TooManyRedirects,
                 "Too many redirects (more than " + std::to_string(m_options.MaxRedirects) + "): " + m_url);
            return;
        case CURLE_URL_MALFORMAT:
            Fail(result, FetchFailureKind::BadAddress, "Invalid address: " + m_url);
            return;
        case CURLE_UNSUPPORTED_PROTOCOL:
            Fail(result, FetchFailureKind::BadAddress, "Not an http or https address: " + FinalUrl());
            return;
        case CURLE_SSL_CONNECT_ERROR:
        case CURLE_PEER_FAILED_VERIFICATION:
        case CURLE_SSL_CERTPROBLEM:
        case CURLE_SSL_CIPHER:
        case CURLE_SSL_CACERT_BADFILE:
        case CURLE_SSL_ISSUER_ERROR:
        case CURLE_SSL_PINNEDPUBKEYNOTMATCH:
        case CURLE_SSL_INVALIDCERTSTATUS:
        case CURLE_SSL_ENGINE_INITFAILED:
        case CURLE_SSL_SHUTDOWN_FAILED:
            Fail(result, FetchFailureKind::TlsError,
                 "Secure connection failed (" + Detail(code) + "): " + FinalUrl());
            return;
        case CURLE_GOT_NOTHING:
            Fail(result, FetchFailureKind::TransferFailed, "Empty reply from the server: " + FinalUrl());
            return;
        case CURLE_PARTIAL_FILE:
            Fail(result, FetchFailureKind::TransferFailed,
                 "The server closed the connection before the page was complete: " + FinalUrl());
            return;
        default:
            Fail(result, FetchFailureKind::TransferFailed,
                 "Download failed (" + Detail(code) + "): " + FinalUrl());
            return;
        }
    }

    void ClassifyTimeout(HttpFetchResult& result) const {
        const std::string after =
            Seconds(m_options.TimeoutMs > 0 ? m_options.TimeoutMs : kDefaultConnectTimeoutMs);
        switch (m_state.CurrentPhase()) {
        case Phase::Resolving:
            if (ViaProxy())
                Fail(result, FetchFailureKind::HostNotFound,
                     "Proxy host not found (no answer within " + after + "): " + m_options.Proxy.Server);
            else
                Fail(result, FetchFailureKind::HostNotFound,
                     "Host not found (no answer within " + after + "): " + HostOfUrl(FinalUrl()));
            return;
        case Phase::Connecting:
            Fail(result, FetchFailureKind::ConnectTimedOut,
                 "Connection timed out after " + after + ": " + Peer());
            return;
        case Phase::Connected:
        case Phase::Receiving:
            Fail(result, FetchFailureKind::ReadTimedOut,
                 "Connection timed out after " + after + " without an answer: " + FinalUrl());
            return;
        }
    }

    void ClassifyConnectFailure(long osErrno, CURLcode code, HttpFetchResult& result) const {
        const std::string peer = ViaProxy() ? "proxy " + Peer() : Peer();
        switch (osErrno) {
        case ECONNREFUSED:
            Fail(result, FetchFailureKind::ConnectionRefused, "Connection refused: " + peer);
            return;
        case EINVAL:
            Fail(result, FetchFailureKind::InvalidArgument, "Invalid argument (network address): " + peer);
            return;
        case ENOBUFS:
        case ENOMEM:
            Fail(result, FetchFailureKind::OutOfBuffers, "Out of buffers (network): " + peer);
            return;
        case ETIMEDOUT: {
            const std::int64_t timeout =
                m_options.TimeoutMs > 0 ? m_options.TimeoutMs : kDefaultConnectTimeoutMs;
            Fail(result, FetchFailureKind::ConnectTimedOut,
                 "Connection timed out after " + Seconds(timeout) + ": " + peer);
            return;
        }
        default:
            Fail(result, FetchFailureKind::SocketError, SocketErrorMessage(osErrno, code) + ": " + peer);
            return;
        }
    }

    const HttpFetchOptions& m_options;
    const FetchState& m_state;
    std::string m_url;
    std::string m_finalUrl;
    std::string m_detail;
};

HttpFetchResult Failure(const std::string& url, FetchFailureKind kind, std::string message) {
    HttpFetchResult result;
    result.FinalUrl = url;
    result.Outcome = FetchOutcome::Failed;
    result.FailureKind = kind;
    result.Message = std::move(message);
    return result;
}

std::string InfoText(CURL* easy, CURLINFO info) {
    char* text = nullptr;
    curl_easy_getinfo(easy, info, &text);
    return text != nullptr ? std::string(text) : std::string();
}

} // namespace

void CLHttpClient::InitialiseLibrary() {
    static const CURLcode initialised = curl_global_init(CURL_GLOBAL_DEFAULT);
    (void)initialised;
}

CLHttpClient::CLHttpClient(HttpFetchOptions options)
    : m_options(std::move(options)) {
    InitialiseLibrary();
}

HttpFetchResult CLHttpClient::Get(const std::string& address) {
    const std::string url = EncodeUnsafeCharacters(address);
    FetchState state(m_options, m_onWork, m_onStatus, m_disconnect);
    if (state.StopRequested()) {
        HttpFetchResult result;
        result.FinalUrl = url;
        result.Outcome = FetchOutcome::Halted;
        result.Message = "Download stopped: " + url;
        return result;
    }
    const std::string host = HostOfUrl(url);
    if (host.empty())
        return Failure(url, FetchFailureKind::BadAddress, "Invalid address: " + url);

    const EasyHandle easy(curl_easy_init());
    const MultiHandle multi(curl_multi_init());
    if (!easy || !multi)
        return Failure(url, FetchFailureKind::OutOfBuffers, "Out of buffers while downloading: " + url);
    char errorBuffer[CURL_ERROR_SIZE] = {};
    FetchRun run(m_options, state);
    if (!run.Configure(easy.get(), url, errorBuffer))
        return Failure(url, FetchFailureKind::BadAddress, "Invalid address: " + url);
    const MultiAttachment attachment(multi.get(), easy.get());
    if (!attachment.Attached())
        return Failure(url, FetchFailureKind::OutOfBuffers, "Out of buffers while downloading: " + url);

    HttpFetchResult result;
    CURLcode code = CURLE_OK;
    if (state.Report(FetchStatus::Resolving, "Resolving " + host))
        code = Perform(multi.get(), state);

    result.FinalUrl = InfoText(easy.get(), CURLINFO_EFFECTIVE_URL);
    if (result.FinalUrl.empty())
        result.FinalUrl = url;
    long status = 0;
    curl_easy_getinfo(easy.get(), CURLINFO_RESPONSE_CODE, &status);
    result.HttpStatus = static_cast<int>(status);
    result.ContentType = InfoText(easy.get(), CURLINFO_CONTENT_TYPE);
    curl_off_t wireBytes = 0;
    curl_easy_getinfo(easy.get(), CURLINFO_SIZE_DOWNLOAD_T, &wireBytes);
    result.TransferBytes = static_cast<std::int64_t>(wireBytes);
    result.BytesReceived = state.BytesReceived();

    const FailureClassifier classifier(m_options, state, url, result.FinalUrl, errorBuffer);
    classifier.Classify(code, easy.get(), result);

    std::string& body = state.Body();
    if (result.Outcome == FetchOutcome::TooLarge || result.Outcome == FetchOutcome::Halted)
        DropCutCharacter(body, result.ContentType);
    result.Text = PageDecoder::Decode(body, result.ContentType);
    state.Report(FetchStatus::Disconnected, "Disconnected");
    return result;
}

} // namespace harvexa
