#include "core/AppPaths.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#ifndef HARVEXA_INSTALL_SOURCE_DIR
#define HARVEXA_INSTALL_SOURCE_DIR ""
#endif

namespace harvexa {

namespace fs = std::filesystem;

namespace {

std::string WithTrailingSlash(std::string folder) {
    if (folder.empty() || folder.back() != '/')
        folder += '/';
    return folder;
}

fs::path ExecutableFolder() {
    std::error_code error;
    const fs::path exe = fs::read_symlink("/proc/self/exe", error);
    if (error)
        return fs::current_path();
    return exe.parent_path();
}

} // namespace

std::string AppFolder() {
    if (const char* home = std::getenv("HARVEXA_HOME"); home && *home)
        return WithTrailingSlash(fs::absolute(home).lexically_normal().string());
    return WithTrailingSlash(ExecutableFolder().string());
}

std::string ExpandAppPath(const std::string& value) {
    static const std::string macro = "<APP_PATH>";
    const std::string upper = ToUpperAscii(value);
    const auto pos = upper.find(macro);
    if (pos == std::string::npos)
        return value;
    std::string folder = AppFolder();
    folder.pop_back();
    return value.substr(0, pos) + folder + value.substr(pos + macro.size());
}

std::string InstallSourceFolder() {
    if (const char* source = std::getenv("HARVEXA_INSTALL_SOURCE"); source && *source)
        return WithTrailingSlash(source);
    const fs::path exe = ExecutableFolder();
    for (const fs::path& candidate : {exe / "install", exe / ".." / "share" / "harvexa" / "install"}) {
        std::error_code error;
        if (fs::is_regular_file(candidate / "config.ini", error))
            return WithTrailingSlash(candidate.lexically_normal().string());
    }
    return WithTrailingSlash(HARVEXA_INSTALL_SOURCE_DIR);
}

std::string ToUpperAscii(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return (c >= 'a' && c <= 'z') ? char(c - 32) : char(c); });
    return text;
}

std::string ToLowerAscii(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return (c >= 'A' && c <= 'Z') ? char(c + 32) : char(c); });
    return text;
}

bool EqualsIgnoreCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && ToLowerAscii(a) == ToLowerAscii(b);
}

} // namespace harvexa
