#pragma once

#include "core/IniFile.h"

#include <memory>
#include <mutex>
#include <optional>
#include <string>

namespace harvexa {

inline constexpr const char* kNotFoundText = "not found text";

// Values of "SYS CONFIG" held in memory between LoadSettings calls.
struct SettingsSnapshot {
    std::string exportPath;
    std::string textPath;
    std::string maxSize;
    std::string maxError;
    std::string timeOut;
    std::string searchKeyName;
    std::string simProcessLack;
    std::string simProcessCapture;
    bool proxyBasicAuthentication = true;
    std::string proxyServer;
    int proxyPort = 0;
    int proxyPortSocks5 = 0;
    std::string proxyUsername;
    std::string proxyPassword;
};

// Settings of config.ini and texts of the catalogue, read on use.
// Safe to call from worker threads; the snapshot is written on the UI thread only.
class CLLang final {
public:
    CLLang();

    std::string ReadSetting(const std::string& key);
    std::string ReadConfigString(const std::string& section, const std::string& key,
                                 const std::string& defaultValue);
    bool ReadConfigFlag(const std::string& section, const std::string& key, bool defaultValue);
    // True when the file was written.
    bool WriteConfigString(const std::string& section, const std::string& key, const std::string& value);
    bool WriteConfigFlag(const std::string& section, const std::string& key, bool value);
    // The raw stored value, without expansion or write-back.
    std::optional<std::string> FindConfigValue(const std::string& section, const std::string& key);

    std::string ReadText(const std::string& section, const std::string& key, const std::string& defaultValue);
    std::string ReadText(int section, int key, const std::string& defaultValue = {});

    // Fills the snapshot; on a failure restores the backup and tries once more.
    [[nodiscard]] bool LoadSettings();
    const SettingsSnapshot& Settings() const { return m_settings; }

    void BackupConfigOnce();
    void RestoreConfig();

    std::string ConfigPath() const;

private:
    IniFile& Config();
    IniFile& Catalogue();
    bool TryLoadSettings();

    std::mutex m_readerMutex;
    std::unique_ptr<IniFile> m_config;
    std::unique_ptr<IniFile> m_catalogue;
    SettingsSnapshot m_settings;
};

} // namespace harvexa
