#pragma once

#include <string>

namespace harvexa {

class UserMessages;

// Last stop of an error that reached the event loop: it is shown and appended to
// "harvexa.log" in the application folder. Nothing is silenced and nothing escapes.
void FilterException(const std::string& message, UserMessages& messages) noexcept;

// Appends one time-stamped line to "harvexa.log"; false when the log cannot be written.
bool AppendToErrorLog(const std::string& message) noexcept;

} // namespace harvexa
