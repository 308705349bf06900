#pragma once

#include <string>

namespace harvexa {

// The fields of a research that the capture filters read, named as the research record's fields.
// Every list is a text of lines, one word per line.
struct ResearchFilterLists final {
    std::string url_must_have{};
    std::string url_must_not_have{};
    std::string email_must_have{};
    std::string email_must_not_have{};
    std::string site_must_have{};
    std::string site_must_not_have{};
    std::string domains{};
    std::string binary_files{};
    bool exigir_valid_domains = false;
};

} // namespace harvexa
