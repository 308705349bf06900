#pragma once

#include <string>
#include <string_view>

namespace harvexa {

// Makes a text one line for a log entry or an export field: line breaks and tabs become blanks and
// double quotes go.
std::string FlattenText(std::string_view text);

} // namespace harvexa
