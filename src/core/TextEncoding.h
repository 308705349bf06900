#pragma once

#include <string>
#include <string_view>

namespace harvexa {

bool IsValidUtf8(std::string_view bytes);

// Files brought from the Windows program are Windows-1252; everything inside is UTF-8.
std::string Windows1252ToUtf8(std::string_view bytes);

// Valid UTF-8 is returned as it is, anything else is taken as Windows-1252.
std::string FileTextToUtf8(std::string_view bytes);

} // namespace harvexa
