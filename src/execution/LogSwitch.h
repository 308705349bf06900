#pragma once

namespace harvexa {

// The switches of section "LOG" that decide which events producers write to the processing log.
enum class LogSwitch {
    SiteAccessError, // pages whose fetch failed
    UrlPositive,     // fetched pages and URLs accepted by the URL filter
    UrlNegative,
    EmailPositive,
    EmailNegative,
    ContentPositive,
    ContentNegative
};

} // namespace harvexa
