#include "CliApplication.h"
#include "support/TempAppFolder.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sstream>

namespace harvexa {
namespace {

using test::TempAppFolder;
namespace fs = std::filesystem;

struct CliRun {
    int code;
    std::string out;
    std::string err;
};

CliRun RunCli(const std::vector<std::string>& args) {
    std::ostringstream out;
    std::ostringstream err;
    CliApplication app(out, err);
    const int code = app.Run(args);
    return {code, out.str(), err.str()};
}

TEST(CliApplication, HelpAndVersionNeedNoApplicationFolder) {
    TempAppFolder app(TempAppFolder::Contents::Empty);
    const CliRun help = RunCli({"--help"});
    EXPECT_EQ(help.code, 0);
    EXPECT_NE(help.out.find("config get SECTION KEY"), std::string::npos);
    const CliRun version = RunCli({"--version"});
    EXPECT_EQ(version.code, 0);
    EXPECT_EQ(version.out.rfind("harvexa-cli ", 0), 0u);
    EXPECT_TRUE(fs::is_empty(app.Path()));
}

TEST(CliApplication, FirstCommandSetsUpFolderAndConfigRoundTrips) {
    TempAppFolder app(TempAppFolder::Contents::Empty);
    const CliRun get = RunCli({"config", "get", "SYS CONFIG", "SimProcess_Capture"});
    EXPECT_EQ(get.code, 0) << get.err;
    EXPECT_EQ(get.out, "10\n");
    EXPECT_TRUE(fs::exists(app.File("tbResearch.xml")));
    EXPECT_EQ(app.ReadFile("registry.txt"), "ok\n");

    EXPECT_EQ(RunCli({"config", "set", "sys config", "simprocess_capture", "25"}).code, 0);
    EXPECT_EQ(RunCli({"config", "get", "SYS CONFIG", "SimProcess_Capture"}).out, "25\n");
    EXPECT_EQ(RunCli({"config", "get", "SYS CONFIG", "Export_Path"}).out, "<APP_PATH>/export/\n")
        << "values are shown as stored";
}

TEST(CliApplication, ErrorsHaveMessagesAndExitCodes) {
    TempAppFolder app;
    struct Case {
        std::vector<std::string> args;
        int code;
        const char* inError;
    };
    for (const Case& c : {Case{{}, 2, "Usage"}, Case{{"frobnicate"}, 2, "unknown command 'frobnicate'"},
                          Case{{"config", "get", "SYS CONFIG"}, 2, "usage"},
                          Case{{"config", "get", "SYS CONFIG", "Nope"}, 1, "no key 'Nope'"},
                          Case{{"config", "set", "SYS CONFIG", "Key", "two\nlines"}, 1, "cannot write"}}) {
        const CliRun run = RunCli(c.args);
        EXPECT_EQ(run.code, c.code) << run.err;
        EXPECT_NE(run.err.find(c.inError), std::string::npos) << run.err;
    }
}

TEST(CliApplication, UnusableApplicationFolderFailsClearly) {
    TempAppFolder app(TempAppFolder::Contents::Empty);
    app.WriteFile("plain-file", "x");
    ::setenv("HARVEXA_HOME", app.File("plain-file/home").c_str(), 1);
    const CliRun run = RunCli({"config", "get", "SYS CONFIG", "Max_Size"});
    EXPECT_EQ(run.code, 1);
    EXPECT_NE(run.err.find("plain-file/home"), std::string::npos) << run.err;
}

} // namespace
} // namespace harvexa
