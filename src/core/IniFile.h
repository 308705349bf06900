#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace harvexa {

// An INI file read afresh on every call, as the Windows profile functions do.
// Section and key names match ignoring ASCII case; writes keep every other line
// (comments and unparseable lines included) and replace the file atomically.
// Calls on the same path are serialised by one mutex per path, so workers may read.
class IniFile final {
public:
    explicit IniFile(std::string path);

    const std::string& Path() const { return m_path; }

    std::string ReadString(const std::string& section, const std::string& key,
                           const std::string& defaultValue) const;
    // A value that is not a whole number reads as the default.
    long long ReadInteger(const std::string& section, const std::string& key, long long defaultValue) const;
    std::optional<std::string> Find(const std::string& section, const std::string& key) const;

    std::vector<std::string> ReadSections() const;
    std::vector<std::pair<std::string, std::string>> ReadSection(const std::string& section) const;

    [[nodiscard]] bool WriteString(const std::string& section, const std::string& key, const std::string& value);
    [[nodiscard]] bool DeleteKey(const std::string& section, const std::string& key);

private:
    std::string m_path;
};

} // namespace harvexa
