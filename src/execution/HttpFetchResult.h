#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace harvexa {

// Why a fetch ended.
enum class FetchOutcome {
    Complete, // the whole response arrived with a status below 400
    TooLarge, // more than MaxSize bytes arrived: abandoned, the first MaxSize bytes are kept
    Halted,   // the halt flag or Disconnect() stopped it; what arrived so far is kept
    Failed,   // no usable page, FailureKind says why (an HTTP error keeps the error page's text)
};

// What went wrong when the outcome is Failed (None otherwise).
enum class FetchFailureKind {
    None,
    HostNotFound,      // the name of the site or of the proxy does not resolve
    ConnectTimedOut,   // no connection within the time-out
    ReadTimedOut,      // connected, but nothing arrived within the time-out
    ConnectionRefused, // nobody listens on that port
    InvalidArgument,   // the system refused the address as invalid
    OutOfBuffers,      // the system or the program ran out of memory for the transfer
    SocketError,       // any other network failure: reset, unreachable network, send or receive error
    TooManyRedirects,
    HttpError,       // the server answered with a status of 400 or more
    ProxyAuthFailed, // the proxy wants other credentials (407, or a refused tunnel)
    TlsError,        // the secure connection could not be made or its certificate was refused
    BadAddress,      // not a valid http or https address
    TransferFailed,  // the server broke the protocol: empty reply, cut-off body, bad encoding
};

// Whether a failure of this kind counts towards the run's Max_Error stop (consecutive connection
// errors): host not found, time-outs, out of buffers and socket errors other than a refused connection
// or an invalid argument.
[[nodiscard]] bool CountsAsConnectionError(FetchFailureKind kind);

// A short English name of the kind, for logs and test output.
[[nodiscard]] std::string_view FetchFailureKindName(FetchFailureKind kind);

// What one GET produced.
struct HttpFetchResult final {
    FetchOutcome Outcome = FetchOutcome::Failed;
    FetchFailureKind FailureKind = FetchFailureKind::None;
    // Plain English for the user; empty when the outcome is Complete.
    std::string Message;

    std::string FinalUrl;           // after redirects
    int HttpStatus = 0;             // of the last response; 0 when none came
    std::string ContentType;        // of the last response, as sent
    std::string Text;               // the body decoded to UTF-8 by its charset; at most MaxSize bytes went in
    std::int64_t BytesReceived = 0; // body bytes of the last response as they arrived, before any cut
    std::int64_t TransferBytes = 0; // the same on the wire (smaller when the server compressed)

    [[nodiscard]] bool CountsAsConnectionError() const {
        return Outcome == FetchOutcome::Failed && harvexa::CountsAsConnectionError(FailureKind);
    }
    // Whether the Content-Type names text (HTML, XML, JSON, scripts, plain text) or is missing;
    // false for images, archives and other binary content.
    [[nodiscard]] bool HasTextContent() const;
};

} // namespace harvexa
