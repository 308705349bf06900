#pragma once

#include <string>
#include <string_view>

namespace harvexa {

// Writes a temporary file beside `path`, flushes it to disk and renames it over `path`,
// so a crash at any moment leaves either the old or the new file whole.
[[nodiscard]] bool WriteFileAtomically(const std::string& path, std::string_view contents);

// Reads the whole file; false when it cannot be opened.
[[nodiscard]] bool ReadWholeFile(const std::string& path, std::string& contents);

// Copies through WriteFileAtomically; with overwrite false an existing target is left alone (false).
[[nodiscard]] bool CopyFileAtomically(const std::string& from, const std::string& to, bool overwrite = true);

bool FileExists(const std::string& path);

// Tests use this to stop a save between writing the temporary file and renaming it.
using BeforeRenameHook = void (*)(const std::string& temporaryPath);
void SetBeforeRenameHookForTesting(BeforeRenameHook hook);

} // namespace harvexa
