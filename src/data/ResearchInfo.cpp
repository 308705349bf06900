#include "data/ResearchInfo.h"

#include "core/IniFile.h"
#include "core/tables/DateTime.h"

namespace harvexa {

namespace {

constexpr const char* kId = "RESEARCH_ID";
constexpr const char* kName = "NOME_PESQUISA";
constexpr const char* kDescription = "DESCRIÇÃO";
constexpr const char* kUpdated = "DATA_ATUALIZACAO";

// An INI value is one line: line breaks in a description become blanks.
std::string OneLine(std::string value) {
    for (char& c : value) {
        if (c == '\r' || c == '\n')
            c = ' ';
    }
    return value;
}

} // namespace

ResearchInfo ReadResearchInfo(const std::string& iniPath) {
    const IniFile ini(iniPath);
    ResearchInfo info;
    info.researchId = ini.ReadString(kResearchInfoSection, kId, "-1");
    info.shortName = ini.ReadString(kResearchInfoSection, kName, "");
    info.description = ini.ReadString(kResearchInfoSection, kDescription, "");
    info.updated = ini.ReadString(kResearchInfoSection, kUpdated, "");
    return info;
}

bool WriteResearchInfo(const std::string& iniPath, const ResearchInfo& info) {
    IniFile ini(iniPath);
    bool written = ini.WriteString(kResearchInfoSection, kId, OneLine(info.researchId));
    written = ini.WriteString(kResearchInfoSection, kName, OneLine(info.shortName)) && written;
    written = ini.WriteString(kResearchInfoSection, kDescription, OneLine(info.description)) && written;
    written = ini.WriteString(kResearchInfoSection, kUpdated, OneLine(info.updated)) && written;
    return written;
}

std::string NowAsText() {
    return DateTime::Now().ToDisplayText();
}

} // namespace harvexa
