#include "ui/ShowingErrors.h"

#include "core/UserMessages.h"

#include <exception>

namespace harvexa {

bool RunShowingErrors(UserMessages& messages, const std::function<void()>& handler) {
    try {
        handler();
        return true;
    } catch (const std::exception& error) {
        messages.ShowError(error.what());
    } catch (...) {
        messages.ShowError("Unexpected error.");
    }
    return false;
}

} // namespace harvexa
