#include "core/ExceptionFilter.h"

#include "core/AppPaths.h"
#include "core/UserMessages.h"

#include <chrono>
#include <cstdio>
#include <ctime>
#include <fstream>

namespace harvexa {

bool AppendToErrorLog(const std::string& message) noexcept {
    try {
        const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
        std::tm local{};
        localtime_r(&now, &local);
        char stamp[32];
        std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S", &local);
        std::ofstream log(AppFolder() + "harvexa.log", std::ios::app);
        log << stamp << ' ' << message << '\n';
        log.flush();
        return static_cast<bool>(log);
    } catch (...) {
        return false;
    }
}

void FilterException(const std::string& message, UserMessages& messages) noexcept {
    AppendToErrorLog(message);
    try {
        messages.ShowError(message);
    } catch (...) {
        // The filter is the last handler; an error while showing must not escape it.
    }
}

} // namespace harvexa
