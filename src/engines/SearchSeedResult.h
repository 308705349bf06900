#pragma once

#include "research/EntLackSites.h"

#include <optional>
#include <string>

namespace harvexa {

// The search-result pages of a keyword research, for the run controller to queue.
struct SearchSeedResult final {
    // Kind kSearchResultPage, level kSearchResultLevel, link id 0, the research's id; ordered by
    // template, then keyword; no URL twice (letter case ignored) nor one the research already had.
    PendingLinkList links;
    // A template matched no engine (its error box was shown; the template was skipped): the controller
    // sets Stopped and its StatusMessage to `statusMessage` (text 5000/47).
    bool engineMissing = false;
    std::string statusMessage;
    // Why the seeding ended before building anything (an engine list line that is not an id).
    std::optional<std::string> failure;
};

} // namespace harvexa
