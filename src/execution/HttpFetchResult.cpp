#include "execution/HttpFetchResult.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace harvexa {

bool CountsAsConnectionError(FetchFailureKind kind) {
    switch (kind) {
    case FetchFailureKind::HostNotFound:
    case FetchFailureKind::ConnectTimedOut:
    case FetchFailureKind::ReadTimedOut:
    case FetchFailureKind::OutOfBuffers:
    case FetchFailureKind::SocketError:
        return true;
    case FetchFailureKind::None:
    case FetchFailureKind::ConnectionRefused:
    case FetchFailureKind::InvalidArgument:
    case FetchFailureKind::TooManyRedirects:
    case FetchFailureKind::HttpError:
    case FetchFailureKind::ProxyAuthFailed:
    case FetchFailureKind::TlsError:
    case FetchFailureKind::BadAddress:
    case FetchFailureKind::TransferFailed:
        return false;
    }
    return false;
}

std::string_view FetchFailureKindName(FetchFailureKind kind) {
    switch (kind) {
    case FetchFailureKind::None:
        return "none";
    case FetchFailureKind::HostNotFound:
        return "host not found";
    case FetchFailureKind::ConnectTimedOut:
        return "connect timed out";
    case FetchFailureKind::ReadTimedOut:
        return "read timed out";
    case FetchFailureKind::ConnectionRefused:
        return "connection refused";
    case FetchFailureKind::InvalidArgument:
        return "invalid argument";
    case FetchFailureKind::OutOfBuffers:
        return "out of buffers";
    case FetchFailureKind::SocketError:
        return "socket error";
    case FetchFailureKind::TooManyRedirects:
        return "too many redirects";
    case FetchFailureKind::HttpError:
        return "HTTP error";
    case FetchFailureKind::ProxyAuthFailed:
        return "proxy authentication failed";
    case FetchFailureKind::TlsError:
        return "secure connection failed";
    case FetchFailureKind::BadAddress:
        return "bad address";
    case FetchFailureKind::TransferFailed:
        return "transfer failed";
    }
    return "unknown";
}

bool HttpFetchResult::HasTextContent() const {
    std::string type;
    for (const char c : ContentType) {
        if (c == ';')
            break;
        if (c != ' ' && c != '\t')
            type.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
    }
    if (type.empty() || type.starts_with("text/"))
        return true;
    static constexpr std::array<std::string_view, 4> kTextualParts = {"html", "xml", "json", "javascript"};
    return std::any_of(kTextualParts.begin(), kTextualParts.end(),
                       [&](std::string_view part) { return type.find(part) != std::string::npos; });
}

} // namespace harvexa
