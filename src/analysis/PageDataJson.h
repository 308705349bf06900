#pragma once

#include "analysis/EntPageData.h"

#include <string>
#include <string_view>

namespace harvexa {

// The page facts as one JSON object (keys url, title, description, keywords, emails, phones, faxes,
// internal_links, external_links). Bytes that are not UTF-8 become U+FFFD.
std::string PageDataToJson(const EntPageData& page);

// A JSON string literal, quotes included.
std::string JsonString(std::string_view text);

} // namespace harvexa
