#pragma once

#include <optional>
#include <string>

namespace harvexa {

class CLLang;

// Each returns the message to show when the value is refused, nothing when it is accepted.
[[nodiscard]] std::optional<std::string> CheckTextField(CLLang& lang, const std::string& value, bool allowEmpty,
                                                        const std::string& label);
[[nodiscard]] std::optional<std::string> CheckNumberField(CLLang& lang, const std::string& value, long long maximum,
                                                          const std::string& label, long long minimum);

} // namespace harvexa
