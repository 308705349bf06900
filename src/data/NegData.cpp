#include "data/NegData.h"

#include "analysis/Utf8Chars.h"
#include "core/AppPaths.h"
#include "core/CLLang.h"
#include "core/IniFile.h"
#include "data/ExportFileNames.h"
#include "data/ExportLines.h"
#include "data/ResearchInfo.h"

#include <filesystem>

namespace harvexa {

namespace {

constexpr std::size_t kCaptureNameChars = 15;
constexpr const char* kDefaultExportFolder = "export/";

std::string JoinLines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) {
        text += line;
        text += "\r\n";
    }
    return text;
}

EntData PageRow(const EntData& page, std::string url, std::string email) {
    EntData row = page;
    row.url = std::move(url);
    row.email = std::move(email);
    return row;
}

} // namespace

NegData::NegData(CLLang& lang, std::unique_ptr<RepData> repository)
    : m_lang(lang)
    , m_repository(std::move(repository)) {}

std::vector<EntData> NegData::RowsOfPage(const EntPageData& page) {
    EntData values;
    values.title = std::string(TrimControlAndBlanks(page.Title));
    values.meta_tag_description = std::string(TrimControlAndBlanks(page.Description));
    values.meta_tag_keywords = std::string(TrimControlAndBlanks(page.Keywords));
    values.url = page.Url;
    values.fone = std::string(TrimControlAndBlanks(JoinLines(page.Phones)));
    values.fax = std::string(TrimControlAndBlanks(JoinLines(page.Faxes)));

    std::vector<EntData> rows;
    const bool pageShowsSomething = !values.url.empty() || !values.meta_tag_description.empty() ||
                                    !values.meta_tag_keywords.empty() || !values.title.empty();
    if (page.Emails.empty() && pageShowsSomething) {
        rows.push_back(PageRow(values, values.url, {}));
        // A page that shows nothing but its address stands for the sites it links to.
        const bool onlyAddress = !values.url.empty() && values.meta_tag_description.empty() &&
                                 values.meta_tag_keywords.empty() && values.title.empty() &&
                                 values.fone.empty();
        if (onlyAddress) {
            for (const std::string& link : page.ExternalLinks)
                rows.push_back(PageRow(values, link, {}));
        }
        return rows;
    }
    for (const std::string& email : page.Emails)
        rows.push_back(PageRow(values, values.url, email));
    return rows;
}

LoadOutcome NegData::LoadCsvFiles(const std::vector<std::string>& paths, IDataGrid* grid) {
    if (TableResult prepared = PrepareWorkbenchTable(); !prepared)
        return LoadOutcome{.failures = {prepared.Message()}};
    return m_repository->LoadCsvFiles(paths, grid);
}

LoadOutcome NegData::LoadTxtFiles(const std::vector<std::string>& paths, const std::string& separatorName,
                                  IDataGrid* grid) {
    if (TableResult prepared = PrepareWorkbenchTable(); !prepared)
        return LoadOutcome{.failures = {prepared.Message()}};
    return m_repository->LoadTxtFiles(paths, separatorName, grid);
}

LoadOutcome NegData::LoadXmlFiles(const std::vector<std::string>& paths, IDataGrid* grid) {
    if (TableResult prepared = PrepareWorkbenchTable(); !prepared)
        return LoadOutcome{.failures = {prepared.Message()}};
    return m_repository->LoadXmlFiles(paths, grid);
}

std::optional<std::string> NegData::NextExportFileName(const std::string& base, const std::string& extension,
                                                       int number, int rangeSize) {
    return harvexa::NextExportFileName(base, extension, number, rangeSize);
}

std::string NegData::ExportPath() {
    std::string path = m_lang.ReadSetting("Export_Path");
    // A missing key reads as the not-found marker, which must not become a folder name.
    if (path.empty() || path == kNotFoundText)
        path = AppFolder() + kDefaultExportFolder;
    return path;
}

std::string NegData::ResearchFolder(const std::string& shortName) {
    return ExportPath() + SafeNamePart(shortName);
}

std::string NegData::CaptureFileBase(const std::string& shortName) {
    return ResearchFolder(shortName) + "/" +
           std::string(analysis::FirstChars(SafeNamePart(shortName), kCaptureNameChars));
}

bool NegData::PrepareResearchFolder(const std::string& shortName, const std::string& description,
                                    int researchId) {
    const std::string folder = ResearchFolder(shortName);
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (!std::filesystem::is_directory(folder, error))
        return false;
    return WriteResearchInfo(folder + "/" + kResearchInfoFile, shortName, researchId, description);
}

bool NegData::WriteResearchInfo(const std::string& iniPath, const std::string& shortName, int researchId,
                                const std::string& description) {
    return harvexa::WriteResearchInfo(iniPath, ResearchInfo{.researchId = std::to_string(researchId),
                                                            .shortName = shortName,
                                                            .description = description,
                                                            .updated = NowAsText()});
}

} // namespace harvexa
