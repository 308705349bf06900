#pragma once

#include <string>

namespace harvexa {

// One captured row: one e-mail address (or none) with the facts of the page where it was found.
// Members are named like the workbench columns.
struct EntData final {
    std::string email;
    std::string meta_tag_description;
    std::string meta_tag_keywords;
    std::string title;
    std::string url;
    std::string fax;
    std::string fone;

    bool operator==(const EntData&) const = default;
};

} // namespace harvexa
