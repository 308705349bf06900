#include "data/ExportFileNames.h"

#include "analysis/Utf8Chars.h"

#include <algorithm>
#include <cstdint>
#include <ctime>
#include <filesystem>
#include <system_error>

namespace harvexa {

namespace {

constexpr std::size_t kMaxNameBytes = 255;
constexpr int kMaxCandidates = 1000000;

// A number with at least `digits` digits; a negative one is written without its sign, as a
// two-section pattern such as "00000;#####" does.
std::string Padded(std::int64_t value, std::size_t digits) {
    if (value < 0)
        return std::to_string(-value);
    std::string text = std::to_string(value);
    if (text.size() < digits)
        text.insert(0, digits - text.size(), '0');
    return text;
}

std::string Candidate(const std::string& base, const std::string& extension, int number, int rangeSize,
                      const std::string& date, int k) {
    std::string name = base + ".[" + date;
    const std::int64_t rangeStart = std::int64_t{rangeSize} * k;
    if (rangeStart != 0)
        name += "].[range " + Padded(rangeStart, 5) + "-" + Padded(rangeStart + rangeSize, 5);
    if (number > 0)
        name += "].[" + std::to_string(number);
    name += "].[file " + Padded(k, 3) + "]." + extension;
    return name;
}

} // namespace

std::string SplitExportFileName(std::string_view path, std::size_t recordsBefore) {
    std::size_t cut = path.size();
    for (int i = 0; i < 4 && cut > 0; ++i)
        cut = analysis::PrevChar(path, cut);
    std::string name(path.substr(0, cut));
    name += '_';
    name += Padded(static_cast<std::int64_t>(recordsBefore), 7);
    name += path.substr(cut);
    return name;
}

std::string FormatDate(std::chrono::year_month_day date) {
    return Padded(static_cast<int>(date.year()), 4) + "-" + Padded(static_cast<unsigned>(date.month()), 2) +
           "-" + Padded(static_cast<unsigned>(date.day()), 2);
}

std::chrono::year_month_day TodayLocal() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    return std::chrono::year_month_day(std::chrono::year(local.tm_year + 1900),
                                       std::chrono::month(static_cast<unsigned>(local.tm_mon + 1)),
                                       std::chrono::day(static_cast<unsigned>(local.tm_mday)));
}

std::optional<std::string> NextExportFileName(const std::string& base, const std::string& extension,
                                              int number, int rangeSize, std::chrono::year_month_day today) {
    const std::string date = FormatDate(today);
    for (int k = 0; k < kMaxCandidates; ++k) {
        std::string candidate = Candidate(base, extension, number, rangeSize, date, k);
        std::error_code error;
        const auto status = std::filesystem::symlink_status(candidate, error);
        if (status.type() == std::filesystem::file_type::not_found)
            return candidate;
        if (error)
            return std::nullopt;
    }
    return std::nullopt;
}

std::optional<std::string> NextExportFileName(const std::string& base, const std::string& extension,
                                              int number, int rangeSize) {
    return NextExportFileName(base, extension, number, rangeSize, TodayLocal());
}

std::string SafeNamePart(std::string_view shortName) {
    std::string name;
    name.reserve(shortName.size());
    for (const char c : shortName) {
        const auto byte = static_cast<unsigned char>(c);
        name.push_back(c == '/' || byte < 0x20 || byte == 0x7F ? '_' : c);
    }
    // "", "." and ".." would name the export folder or the one above it.
    if (name.find_first_not_of('.') == std::string::npos)
        name.assign(std::max<std::size_t>(name.size(), 1), '_');
    if (name.size() > kMaxNameBytes) {
        std::size_t cut = 0;
        while (cut < name.size()) {
            const std::size_t next = analysis::NextChar(name, cut);
            if (next > kMaxNameBytes)
                break;
            cut = next;
        }
        name.resize(cut);
    }
    return name;
}

} // namespace harvexa
