#pragma once

#include "analysis/PhoneKeywordSource.h"

#include <string>

namespace harvexa {

// "phones.txt" and "fax.txt" of one folder (the folder of the text catalogue).
class PhoneKeywordFiles final : public PhoneKeywordSource {
public:
    explicit PhoneKeywordFiles(std::string folder);
    PhoneKeywordFiles(std::string phonesFile, std::string faxFile);

    [[nodiscard]] std::optional<PhoneKeywordLists> Read() const override;

    const std::string& PhonesFile() const { return m_phonesFile; }
    const std::string& FaxFile() const { return m_faxFile; }

    // The lines of a keyword file; nothing when it cannot be read. Text that is not UTF-8 is Windows-1252.
    [[nodiscard]] static std::optional<std::vector<std::string>> ReadLines(const std::string& path);

private:
    std::string m_phonesFile;
    std::string m_faxFile;
};

} // namespace harvexa
