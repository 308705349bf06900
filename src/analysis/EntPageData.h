#pragma once

#include <string>
#include <vector>

namespace harvexa {

// The facts page analysis found on one fetched page. Title, Description and Keywords are texts of
// lines (every line ended by CR LF), as the lists they come from.
struct EntPageData final {
    std::string Url;
    std::string Title;
    std::vector<std::string> Faxes;
    std::vector<std::string> ExternalLinks;
    std::vector<std::string> Phones;
    std::vector<std::string> Emails;
    std::vector<std::string> InternalLinks;
    std::string Description;
    std::string Keywords;

    bool operator==(const EntPageData&) const = default;
};

} // namespace harvexa
