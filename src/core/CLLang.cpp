#include "core/CLLang.h"

#include "core/AppPaths.h"
#include "core/AtomicFile.h"

#include <charconv>
#include <filesystem>
#include <stdexcept>

namespace harvexa {

namespace fs = std::filesystem;

namespace {

constexpr const char* kSysConfig = "SYS CONFIG";

int ToPort(const std::string& text) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || text.empty())
        throw std::invalid_argument("not a whole number: " + text);
    return value;
}

// Copy errors of the backup and restore are ignored by design.
void CopyIgnoringErrors(const fs::path& from, const fs::path& to, bool overwrite) {
    (void)CopyFileAtomically(from.string(), to.string(), overwrite);
}

} // namespace

CLLang::CLLang() = default;

std::string CLLang::ConfigPath() const { return AppFolder() + "config.ini"; }

IniFile& CLLang::Config() {
    std::lock_guard lock(m_readerMutex);
    if (!m_config)
        m_config = std::make_unique<IniFile>(ConfigPath());
    return *m_config;
}

IniFile& CLLang::Catalogue() {
    {
        std::lock_guard lock(m_readerMutex);
        if (m_catalogue)
            return *m_catalogue;
    }
    const std::string path = ReadSetting("Text_Path");
    std::lock_guard lock(m_readerMutex);
    if (!m_catalogue)
        m_catalogue = std::make_unique<IniFile>(path);
    return *m_catalogue;
}

std::string CLLang::ReadSetting(const std::string& key) {
    try {
        IniFile& config = Config();
        const std::string value = ExpandAppPath(config.ReadString(kSysConfig, key, kNotFoundText));
        if (value == kNotFoundText)
            (void)config.WriteString(kSysConfig, key, kNotFoundText);
        return value;
    } catch (...) {
        return kNotFoundText;
    }
}

std::string CLLang::ReadConfigString(const std::string& section, const std::string& key,
                                     const std::string& defaultValue) {
    return ExpandAppPath(Config().ReadString(ToUpperAscii(section), ToUpperAscii(key), defaultValue));
}

bool CLLang::ReadConfigFlag(const std::string& section, const std::string& key, bool defaultValue) {
    IniFile& config = Config();
    const std::string upperSection = ToUpperAscii(section);
    const std::string upperKey = ToUpperAscii(key);
    const bool flag = config.ReadInteger(upperSection, upperKey, defaultValue ? 1 : 0) != 0;
    // Writing back only what would change the file keeps per-page reads from rewriting it.
    const std::string defaultText = defaultValue ? "1" : "0";
    if (flag == defaultValue && config.Find(upperSection, upperKey) != defaultText)
        (void)config.WriteString(upperSection, upperKey, defaultText);
    return flag;
}

bool CLLang::WriteConfigString(const std::string& section, const std::string& key, const std::string& value) {
    return Config().WriteString(ToUpperAscii(section), ToUpperAscii(key), value);
}

bool CLLang::WriteConfigFlag(const std::string& section, const std::string& key, bool value) {
    return WriteConfigString(section, key, value ? "1" : "0");
}

std::optional<std::string> CLLang::FindConfigValue(const std::string& section, const std::string& key) {
    return Config().Find(section, key);
}

std::string CLLang::ReadText(const std::string& section, const std::string& key, const std::string& defaultValue) {
    try {
        IniFile& catalogue = Catalogue();
        if (catalogue.Path().empty() || catalogue.Path() == kNotFoundText)
            return kNotFoundText;
        const std::string value = catalogue.ReadString(section, key, kNotFoundText);
        if (value == kNotFoundText)
            (void)catalogue.WriteString(section, key, defaultValue.empty() ? kNotFoundText : defaultValue);
        return value;
    } catch (...) {
        return kNotFoundText;
    }
}

std::string CLLang::ReadText(int section, int key, const std::string& defaultValue) {
    return ReadText(std::to_string(section), std::to_string(key), defaultValue);
}

bool CLLang::TryLoadSettings() {
    try {
        BackupConfigOnce();
        SettingsSnapshot settings;
        settings.exportPath = ReadSetting("Export_Path");
        settings.textPath = ReadSetting("Text_Path");
        settings.maxSize = ReadSetting("Max_Size");
        settings.maxError = ReadSetting("Max_Error");
        settings.timeOut = ReadSetting("Http_Time_Out");
        settings.searchKeyName = ReadSetting("Search_Key_Name");
        settings.simProcessLack = ReadSetting("SimProcess_Lack");
        settings.simProcessCapture = ReadSetting("SimProcess_Capture");
        settings.proxyBasicAuthentication = ToUpperAscii(ReadSetting("Proxy_Basic_Authentication")) != "FALSE";
        settings.proxyServer = ReadSetting("Proxy_Server");
        settings.proxyPort = ToPort(ReadSetting("Proxy_Port"));
        settings.proxyPortSocks5 = ToPort(ReadSetting("Proxy_Port_Socks5"));
        settings.proxyUsername = ReadSetting("Proxy_Username");
        settings.proxyPassword = ReadSetting("Proxy_Password");
        m_settings = std::move(settings);
        return true;
    } catch (...) {
        return false;
    }
}

bool CLLang::LoadSettings() {
    if (TryLoadSettings())
        return true;
    // One restore and one more attempt; a second failure is reported, never retried without end.
    RestoreConfig();
    return TryLoadSettings();
}

void CLLang::BackupConfigOnce() {
    const fs::path app = AppFolder();
    const fs::path backup = app / "backup";
    std::error_code error;
    if (fs::exists(backup / "config.ini", error))
        return;
    fs::create_directories(backup, error);
    CopyIgnoringErrors(app / "config.ini", backup / "config.ini", false);
    CopyIgnoringErrors(app / "config" / "text.ini", backup / "text.ini", false);
}

void CLLang::RestoreConfig() {
    const fs::path app = AppFolder();
    const fs::path backup = app / "backup";
    std::error_code error;
    if (!fs::exists(backup / "config.ini", error))
        return;
    CopyIgnoringErrors(backup / "config.ini", app / "config.ini", true);
    fs::create_directories(app / "config", error);
    CopyIgnoringErrors(backup / "text.ini", app / "config" / "text.ini", true);
}

} // namespace harvexa
