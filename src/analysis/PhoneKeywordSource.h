#pragma once

#include <optional>
#include <string>
#include <vector>

namespace harvexa {

// The phone and fax labels, read afresh for every analysed page.
struct PhoneKeywordLists final {
    std::vector<std::string> Phones;
    std::vector<std::string> Faxes;
};

class PhoneKeywordSource {
public:
    virtual ~PhoneKeywordSource() = default;
    // Both lists as lines of their files; nothing when either cannot be read.
    [[nodiscard]] virtual std::optional<PhoneKeywordLists> Read() const = 0;
};

} // namespace harvexa
