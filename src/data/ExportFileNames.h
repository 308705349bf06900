#pragma once

#include <chrono>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace harvexa {

// Shown when no capture or export file name can be built.
inline constexpr const char* kExportFileNameError = "Erro ao criar arquivo de Exportação";

// The name of a further file of a split export: the path with "_" and the number of records before
// the file (at least seven digits) inserted before its last four characters.
std::string SplitExportFileName(std::string_view path, std::size_t recordsBefore);

// First free capture or export file name:
// base.[yyyy-mm-dd](.[range a-b])(.[number]).[file kkk].extension, k counting from 0.
// nullopt when the folder cannot be examined.
std::optional<std::string> NextExportFileName(const std::string& base, const std::string& extension,
                                              int number, int rangeSize, std::chrono::year_month_day today);
std::optional<std::string> NextExportFileName(const std::string& base, const std::string& extension,
                                              int number, int rangeSize);

std::chrono::year_month_day TodayLocal();
std::string FormatDate(std::chrono::year_month_day date); // yyyy-mm-dd

// A research short name made usable as one file or folder name: "/" and control characters become
// "_", "." and ".." are not left as they are, and the name fits the file system's 255 bytes.
std::string SafeNamePart(std::string_view shortName);

} // namespace harvexa
