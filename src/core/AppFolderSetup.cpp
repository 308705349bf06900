#include "core/AppFolderSetup.h"

#include "core/AppPaths.h"
#include "core/AtomicFile.h"

#include <filesystem>

namespace harvexa {

namespace fs = std::filesystem;

AppFolderSetupResult PrepareAppFolder() {
    AppFolderSetupResult result;
    const fs::path app = AppFolder();
    std::error_code error;
    if (fs::is_regular_file(app / "config.ini", error))
        return result;
    const fs::path source = InstallSourceFolder();
    if (!fs::is_regular_file(source / "config.ini", error)) {
        result.ok = false;
        result.error = "The default application files were not found in " + source.string();
        return result;
    }
    fs::create_directories(app, error);
    if (!error)
        fs::copy(source, app, fs::copy_options::recursive | fs::copy_options::skip_existing, error);
    if (error) {
        result.ok = false;
        result.error = "Cannot set up the application folder " + app.string() + ": " + error.message();
        return result;
    }
    result.filled = true;
    return result;
}

bool RegisterLibrariesOnce() {
    const std::string marker = AppFolder() + "registry.txt";
    if (FileExists(marker))
        return true;
    return WriteFileAtomically(marker, "ok\n");
}

} // namespace harvexa
