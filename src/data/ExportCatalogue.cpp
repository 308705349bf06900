#include "data/ExportCatalogue.h"

#include "core/AppPaths.h"
#include "core/tables/DateTime.h"
#include "data/CLFileFind.h"

#include <charconv>
#include <optional>

namespace harvexa {

namespace {

constexpr std::string_view kTypes[] = {".txt", ".csv", ".xml"};

std::string LowerPath(std::string_view path) {
    return ToLowerAscii(std::string(path));
}

std::string_view FileName(std::string_view path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

std::optional<double> ListNumber(std::string_view text) {
    std::string plain;
    if (text.ends_with(" kb"))
        text.remove_suffix(3);
    for (const char c : text) {
        if (c != ',')
            plain.push_back(c);
    }
    if (plain.empty())
        return std::nullopt;
    double value = 0;
    const auto [end, error] = std::from_chars(plain.data(), plain.data() + plain.size(), value);
    if (error != std::errc() || end != plain.data() + plain.size())
        return std::nullopt;
    return value;
}

template <typename T> int Order(const T& a, const T& b) {
    return a < b ? -1 : (b < a ? 1 : 0);
}

} // namespace

bool ExportCatalogue::IsExportFile(std::string_view path) {
    return !ExportFileType(path).empty();
}

std::string ExportCatalogue::ExportFileType(std::string_view path) {
    const std::string lower = LowerPath(path);
    std::string type;
    for (const std::string_view candidate : kTypes) {
        if (lower.find(candidate) != std::string::npos)
            type = candidate;
    }
    return type;
}

int ExportCatalogue::ExportFileIcon(std::string_view type) {
    for (int i = 0; i < 3; ++i) {
        if (type == kTypes[i])
            return i + 1;
    }
    return 0;
}

std::string ExportCatalogue::FormatKilobytes(std::uintmax_t bytes) {
    // Hundredths of a kilobyte, rounded half up.
    const std::uintmax_t hundredths = (bytes * 100 + 512) / 1024;
    const std::string digits = std::to_string(hundredths / 100);
    std::string text;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            text += ',';
        text += digits[i];
    }
    text += '.';
    text += static_cast<char>('0' + hundredths % 100 / 10);
    text += static_cast<char>('0' + hundredths % 10);
    text += " kb";
    return text;
}

std::size_t ExportCatalogue::CountExportFiles(const std::string& folder) {
    std::size_t count = 0;
    CLFileFind finder;
    finder.SetOnFile([&count](const CLFileFind& found) {
        if (IsExportFile(found.CurrentPath()))
            ++count;
    });
    finder.Search(folder);
    return count;
}

std::vector<CatalogueResearch> ExportCatalogue::ListResearches(const std::string& exportPath,
                                                               int researchId) {
    std::vector<CatalogueResearch> researches;
    CLFileFind finder;
    finder.SetOnFile([&](const CLFileFind& found) {
        const std::string& path = found.CurrentPath();
        // The file itself must be info.ini; a folder of that name further up must not count.
        if (LowerPath(FileName(path)) != kResearchInfoFile)
            return;
        CatalogueResearch research;
        research.info = ReadResearchInfo(path);
        if (researchId != 0) {
            int id = 0;
            const std::string& text = research.info.researchId;
            const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), id);
            const bool isNumber = error == std::errc() && end == text.data() + text.size();
            if (isNumber && id != researchId)
                return;
        }
        research.folder = path.substr(0, path.size() - FileName(path).size());
        research.exportFiles = CountExportFiles(research.folder);
        researches.push_back(std::move(research));
    });
    finder.Search(exportPath);
    return researches;
}

std::vector<ExportFileEntry> ExportCatalogue::ListExportFiles(const std::string& folder) {
    std::vector<ExportFileEntry> files;
    CLFileFind finder;
    finder.SetOnFile([&files](const CLFileFind& found) {
        const std::string& path = found.CurrentPath();
        std::string type = ExportFileType(path);
        if (type.empty())
            return;
        files.push_back(ExportFileEntry{.path = path,
                                        .name = std::string(FileName(path)),
                                        .type = std::move(type),
                                        .size = found.CurrentSizeBytes(),
                                        .modified = found.CurrentDate()});
    });
    finder.Search(folder);
    return files;
}

int ExportCatalogue::CompareListValues(std::string_view a, std::string_view b, bool dates) {
    const auto numberA = ListNumber(a);
    const auto numberB = ListNumber(b);
    if (numberA && numberB)
        return Order(*numberA, *numberB);
    if (dates) {
        const auto dateA = DateTime::FromText(a);
        const auto dateB = DateTime::FromText(b);
        if (dateA && dateB)
            return Order(*dateA, *dateB);
    }
    const std::string lowerA = LowerPath(a);
    const std::string lowerB = LowerPath(b);
    return lowerA.compare(lowerB) < 0 ? -1 : (lowerA == lowerB ? 0 : 1);
}

} // namespace harvexa
