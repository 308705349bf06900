#include "analysis/PhoneKeywordFiles.h"

#include "analysis/PageDecoder.h"
#include "analysis/TextScan.h"

#include <filesystem>
#include <fstream>
#include <iterator>

namespace harvexa {

namespace {

std::string InFolder(std::string folder, const char* name) {
    if (!folder.empty() && folder.back() != '/')
        folder.push_back('/');
    return folder + name;
}

} // namespace

PhoneKeywordFiles::PhoneKeywordFiles(std::string folder)
    : m_phonesFile(InFolder(folder, "phones.txt"))
    , m_faxFile(InFolder(folder, "fax.txt")) {}

PhoneKeywordFiles::PhoneKeywordFiles(std::string phonesFile, std::string faxFile)
    : m_phonesFile(std::move(phonesFile))
    , m_faxFile(std::move(faxFile)) {}

std::optional<std::vector<std::string>> PhoneKeywordFiles::ReadLines(const std::string& path) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error))
        return std::nullopt;
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return std::nullopt;
    const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (file.bad())
        return std::nullopt;
    return analysis::SplitLines(PageDecoder::FileTextToUtf8(bytes));
}

std::optional<PhoneKeywordLists> PhoneKeywordFiles::Read() const {
    auto phones = ReadLines(m_phonesFile);
    auto faxes = ReadLines(m_faxFile);
    if (!phones || !faxes)
        return std::nullopt;
    return PhoneKeywordLists{std::move(*phones), std::move(*faxes)};
}

} // namespace harvexa
