#pragma once

#include <optional>
#include <string>
#include <vector>

namespace harvexa {

// The query templates of a research's chosen engines, in order.
struct CollectedTemplates final {
    std::vector<std::string> templates;
    // The first line of the engine list that is not an engine id; collecting stopped there.
    std::optional<std::string> invalidEngineLine;
};

} // namespace harvexa
