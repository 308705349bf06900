#include "support/TempAppFolder.h"

#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

namespace harvexa::test {

namespace fs = std::filesystem;

namespace {

fs::path MakeUniqueFolder() {
    std::random_device device;
    std::mt19937_64 random(device());
    const fs::path base = fs::temp_directory_path();
    for (int attempt = 0; attempt < 100; ++attempt) {
        const fs::path candidate = base / ("harvexa-test-" + std::to_string(random()));
        if (fs::create_directory(candidate))
            return candidate;
    }
    throw std::runtime_error("cannot create a temporary application folder");
}

} // namespace

TempAppFolder::TempAppFolder(Contents contents) : m_path(MakeUniqueFolder()) {
    if (const char* previous = std::getenv("HARVEXA_HOME")) {
        m_hadPreviousHome = true;
        m_previousHome = previous;
    }
    ::setenv("HARVEXA_HOME", m_path.c_str(), 1);
    if (contents == Contents::Installed)
        fs::copy(HARVEXA_INSTALL_SOURCE_DIR, m_path, fs::copy_options::recursive | fs::copy_options::skip_existing);
}

TempAppFolder::~TempAppFolder() {
    if (m_hadPreviousHome)
        ::setenv("HARVEXA_HOME", m_previousHome.c_str(), 1);
    else
        ::unsetenv("HARVEXA_HOME");
    std::error_code ignored;
    fs::permissions(m_path, fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(m_path, ignored);
}

void TempAppFolder::WriteFile(const std::string& relative, const std::string& contents) const {
    const fs::path target = m_path / relative;
    fs::create_directories(target.parent_path());
    std::ofstream out(target, std::ios::binary | std::ios::trunc);
    out << contents;
    if (!out)
        throw std::runtime_error("cannot write " + target.string());
}

std::string TempAppFolder::ReadFile(const std::string& relative) const {
    std::ifstream in(m_path / relative, std::ios::binary);
    if (!in)
        return {};
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

fs::path FixturePath(const std::string& relative) { return fs::path(HARVEXA_FIXTURES_DIR) / relative; }

} // namespace harvexa::test
