#pragma once

#include <string>

namespace harvexa {

// The description file of a research export folder.
inline constexpr const char* kResearchInfoFile = "info.ini";
inline constexpr const char* kResearchInfoSection = "INFO";

// The four keys of section "INFO" as text.
struct ResearchInfo final {
    std::string researchId; // decimal; "-1" when the file has none
    std::string shortName;
    std::string description;
    std::string updated; // date and time of the last run start

    bool operator==(const ResearchInfo&) const = default;
};

// Missing keys read as empty (the id as "-1"); a file that cannot be read reads as all missing.
ResearchInfo ReadResearchInfo(const std::string& iniPath);
// Writes the four keys, keeping every other line of the file; false when the file cannot be written.
[[nodiscard]] bool WriteResearchInfo(const std::string& iniPath, const ResearchInfo& info);

// The current local date and time as info.ini records it: "yyyy-mm-dd hh:mm:ss".
std::string NowAsText();

} // namespace harvexa
