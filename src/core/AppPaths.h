#pragma once

#include <string>

namespace harvexa {

// The application folder: HARVEXA_HOME when set, else the executable's folder; always ends with "/".
std::string AppFolder();

// Replaces the first "<APP_PATH>" (any letter case) by AppFolder() without its trailing "/".
std::string ExpandAppPath(const std::string& value);

// Folder holding the default application folder that a first start copies from.
std::string InstallSourceFolder();

// ASCII-only case folding: keeps byte positions of UTF-8 text unchanged.
std::string ToUpperAscii(std::string text);
std::string ToLowerAscii(std::string text);
bool EqualsIgnoreCase(const std::string& a, const std::string& b);

} // namespace harvexa
