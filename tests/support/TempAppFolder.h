#pragma once

#include <filesystem>
#include <string>

namespace harvexa::test {

// A fresh application folder for one test: HARVEXA_HOME points at it while the object lives.
class TempAppFolder final {
public:
    enum class Contents { Empty, Installed };

    explicit TempAppFolder(Contents contents = Contents::Installed);
    ~TempAppFolder();
    TempAppFolder(const TempAppFolder&) = delete;
    TempAppFolder& operator=(const TempAppFolder&) = delete;

    const std::filesystem::path& Path() const { return m_path; }
    // The folder as AppFolder() returns it, with a trailing "/".
    std::string Folder() const { return m_path.string() + "/"; }
    std::string File(const std::string& relative) const { return (m_path / relative).string(); }

    void WriteFile(const std::string& relative, const std::string& contents) const;
    std::string ReadFile(const std::string& relative) const;

private:
    std::filesystem::path m_path;
    std::string m_previousHome;
    bool m_hadPreviousHome = false;
};

std::filesystem::path FixturePath(const std::string& relative);

} // namespace harvexa::test
