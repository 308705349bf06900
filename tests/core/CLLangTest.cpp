#include "core/CLLang.h"
#include "core/IniFile.h"
#include "support/TempAppFolder.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace harvexa {
namespace {

using test::TempAppFolder;

TEST(CLLang, ReadSettingExpandsOnlyTheFirstMacro) {
    TempAppFolder app(TempAppFolder::Contents::Empty);
    app.WriteFile("config.ini", "[SYS CONFIG]\nExport_Path=<APP_PATH>/export/\nTwice=<app_path>/a;<APP_PATH>/b\n");
    CLLang lang;
    const std::string folder = app.Path().string();
    EXPECT_EQ(lang.ReadSetting("Export_Path"), folder + "/export/");
    EXPECT_EQ(lang.ReadSetting("twice"), folder + "/a;<APP_PATH>/b");
}

TEST(CLLang, MissingSettingIsWrittenBackAsMarker) {
    TempAppFolder app(TempAppFolder::Contents::Empty);
    app.WriteFile("config.ini", "[SYS CONFIG]\nExport_Path=x\n");
    CLLang lang;
    EXPECT_EQ(lang.ReadSetting("Max_Size"), kNotFoundText);
    EXPECT_EQ(IniFile(app.File("config.ini")).ReadString("SYS CONFIG", "Max_Size", ""), kNotFoundText);
}

TEST(CLLang, FlagDefaultIsWrittenByWhicheverReaderComesFirst) {
    TempAppFolder app(TempAppFolder::Contents::Empty);
    app.WriteFile("config.ini", "[LOG]\nURL_POSITIVE=0\nBAD=yes\n");
    CLLang lang;
    EXPECT_TRUE(lang.ReadConfigFlag("log", "site_access_error", true));
    EXPECT_FALSE(lang.ReadConfigFlag("LOG", "SITE_ACCESS_ERROR", false) == false)
        << "the first reader wrote 1, so a later reader with default false sees true";
    EXPECT_FALSE(lang.ReadConfigFlag("LOG", "CONTENT_NEGATIVE", false));
    EXPECT_FALSE(lang.ReadConfigFlag("LOG", "URL_POSITIVE", true));
    EXPECT_TRUE(lang.ReadConfigFlag("LOG", "BAD", true));
    const IniFile ini(app.File("config.ini"));
    EXPECT_EQ(ini.ReadString("LOG", "SITE_ACCESS_ERROR", ""), "1");
    EXPECT_EQ(ini.ReadString("LOG", "CONTENT_NEGATIVE", ""), "0");
    EXPECT_EQ(ini.ReadString("LOG", "URL_POSITIVE", ""), "0");
    EXPECT_EQ(ini.ReadString("LOG", "BAD", ""), "1");
}

TEST(CLLang, ReadTextWritesBackDefaultOrMarker) {
    TempAppFolder app(TempAppFolder::Contents::Empty);
    app.WriteFile("config.ini", "[SYS CONFIG]\nText_Path=<APP_PATH>/config/text.ini\n");
    app.WriteFile("config/text.ini", "[5000]\n3=Close Harvexa?\n");
    CLLang lang;
    EXPECT_EQ(lang.ReadText(5000, 3), "Close Harvexa?");
    EXPECT_EQ(lang.ReadText(5000, 48), kNotFoundText);
    EXPECT_EQ(lang.ReadText(5000, 48), kNotFoundText) << "no default: the marker itself was written";
    EXPECT_EQ(lang.ReadText("400", "12", "Short name"), kNotFoundText);
    EXPECT_EQ(lang.ReadText("400", "12", "other"), "Short name");
}

TEST(CLLang, ReadTextDoesNotExpandTheMacro) {
    TempAppFolder app(TempAppFolder::Contents::Empty);
    app.WriteFile("config.ini", "[SYS CONFIG]\nText_Path=<APP_PATH>/config/text.ini\n");
    app.WriteFile("config/text.ini", "[6000]\n1=<APP_PATH>\n");
    CLLang lang;
    EXPECT_EQ(lang.ReadText(6000, 1), "<APP_PATH>");
}

TEST(CLLang, LoadSettingsFillsSnapshot) {
    TempAppFolder app;
    CLLang lang;
    ASSERT_TRUE(lang.LoadSettings());
    EXPECT_EQ(lang.Settings().exportPath, app.Path().string() + "/export/");
    EXPECT_EQ(lang.Settings().simProcessCapture, "10");
    EXPECT_FALSE(lang.Settings().proxyBasicAuthentication);
    EXPECT_EQ(lang.Settings().proxyPort, 0);
    EXPECT_TRUE(std::filesystem::exists(app.File("backup/config.ini")));
    EXPECT_TRUE(std::filesystem::exists(app.File("backup/text.ini")));
}

TEST(CLLang, PortHoldingTextRestoresBackupAndLoadsAgain) {
    TempAppFolder app;
    CLLang lang;
    ASSERT_TRUE(lang.LoadSettings()); // takes the one-time backup
    IniFile config(app.File("config.ini"));
    ASSERT_TRUE(config.WriteString("SYS CONFIG", "Proxy_Port", "eighty"));
    ASSERT_TRUE(config.WriteString("SYS CONFIG", "SimProcess_Capture", "3"));
    ASSERT_TRUE(lang.LoadSettings());
    EXPECT_EQ(lang.Settings().proxyPort, 0);
    EXPECT_EQ(lang.Settings().simProcessCapture, "10") << "the whole backup came back";
}

TEST(CLLang, SecondFailureIsReportedNotRetried) {
    TempAppFolder app(TempAppFolder::Contents::Empty);
    app.WriteFile("config.ini", "[SYS CONFIG]\nProxy_Port=abc\n");
    CLLang lang;
    EXPECT_FALSE(lang.LoadSettings()) << "the backup taken now holds the same faulty value";
}

TEST(CLLang, BackupIsTakenOnceAndNeverRefreshed) {
    TempAppFolder app;
    CLLang lang;
    lang.BackupConfigOnce();
    const std::string first = app.ReadFile("backup/config.ini");
    app.WriteFile("config.ini", "[SYS CONFIG]\nchanged=1\n");
    lang.BackupConfigOnce();
    EXPECT_EQ(app.ReadFile("backup/config.ini"), first);
}

TEST(CLLang, RestoreBringsBackMissingCatalogue) {
    TempAppFolder app;
    CLLang lang;
    lang.BackupConfigOnce();
    std::filesystem::remove(app.File("config/text.ini"));
    lang.RestoreConfig();
    EXPECT_EQ(app.ReadFile("config/text.ini"), app.ReadFile("backup/text.ini"));
    EXPECT_FALSE(app.ReadFile("config/text.ini").empty());
}

TEST(CLLang, MissingFolderAndCatalogueStillAnswer) {
    TempAppFolder app(TempAppFolder::Contents::Empty);
    app.WriteFile("plain-file", "x");
    ::setenv("HARVEXA_HOME", app.File("plain-file/home").c_str(), 1);
    CLLang lang;
    EXPECT_EQ(lang.ReadSetting("Max_Size"), kNotFoundText);
    EXPECT_EQ(lang.ReadText(5000, 1, "x"), kNotFoundText);
    EXPECT_FALSE(std::filesystem::exists(kNotFoundText)) << "an unknown catalogue path creates no file";
}

} // namespace
} // namespace harvexa
