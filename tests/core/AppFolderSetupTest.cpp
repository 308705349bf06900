#include "core/AppFolderSetup.h"
#include "core/AppPaths.h"
#include "support/TempAppFolder.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace harvexa {
namespace {

using test::TempAppFolder;
namespace fs = std::filesystem;

TEST(AppFolderSetup, FirstStartFillsEmptyFolderOnce) {
    TempAppFolder app(TempAppFolder::Contents::Empty);
    EXPECT_EQ(AppFolder(), app.Folder());
    auto first = PrepareAppFolder();
    ASSERT_TRUE(first.ok) << first.error;
    EXPECT_TRUE(first.filled);
    for (const char* file : {"config.ini", "config/text.ini", "config/phones.txt", "config/fax.txt"})
        EXPECT_TRUE(fs::exists(app.File(file))) << file;

    app.WriteFile("config.ini", "[SYS CONFIG]\nMax_Error=7\n");
    auto second = PrepareAppFolder();
    ASSERT_TRUE(second.ok);
    EXPECT_FALSE(second.filled);
    EXPECT_EQ(app.ReadFile("config.ini"), "[SYS CONFIG]\nMax_Error=7\n");
}

TEST(AppFolderSetup, UnwritableFolderGivesClearError) {
    TempAppFolder app(TempAppFolder::Contents::Empty);
    // A folder below a plain file cannot be created, not even by root.
    app.WriteFile("plain-file", "x");
    ::setenv("HARVEXA_HOME", app.File("plain-file/home").c_str(), 1);
    const auto result = PrepareAppFolder();
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.error.find("plain-file/home"), std::string::npos) << result.error;
}

TEST(AppFolderSetup, RegistryMarkerWrittenOnce) {
    TempAppFolder app(TempAppFolder::Contents::Empty);
    ASSERT_TRUE(RegisterLibrariesOnce());
    EXPECT_EQ(app.ReadFile("registry.txt"), "ok\n");
    app.WriteFile("registry.txt", "kept");
    ASSERT_TRUE(RegisterLibrariesOnce());
    EXPECT_EQ(app.ReadFile("registry.txt"), "kept");
}

TEST(AppPaths, ExpandAppPathReplacesFirstMacroIgnoringCase) {
    TempAppFolder app(TempAppFolder::Contents::Empty);
    EXPECT_EQ(ExpandAppPath("<App_Path>/export/<APP_PATH>"), app.Path().string() + "/export/<APP_PATH>");
    EXPECT_EQ(ExpandAppPath("/plain"), "/plain");
}

} // namespace
} // namespace harvexa
