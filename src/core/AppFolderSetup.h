#pragma once

#include <string>

namespace harvexa {

struct AppFolderSetupResult {
    bool ok = true;
    bool filled = false; // true when this start copied the default files in
    std::string error;   // what went wrong, for the user
};

// On the first start an application folder without config.ini is filled from the default one;
// files already present are never overwritten.
[[nodiscard]] AppFolderSetupResult PrepareAppFolder();

// Nothing needs registering on Linux: the first start only leaves the marker "registry.txt".
[[nodiscard]] bool RegisterLibrariesOnce();

} // namespace harvexa
