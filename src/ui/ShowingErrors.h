#pragma once

#include <functional>

namespace harvexa {

class UserMessages;

// Runs a handler from a window; an error must not cross the event loop, so it goes to the
// error box instead. False when the handler failed.
bool RunShowingErrors(UserMessages& messages, const std::function<void()>& handler);

} // namespace harvexa
