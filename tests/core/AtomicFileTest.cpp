#include "core/AtomicFile.h"
#include "core/IniFile.h"
#include "support/TempAppFolder.h"

#include <csignal>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

namespace harvexa {
namespace {

using test::TempAppFolder;

void KillSelf(const std::string&) { ::raise(SIGKILL); }

// Runs `save` in a child process that is killed between writing the temporary file and the rename.
int RunKilledDuringSave(const std::function<void()>& save) {
    const pid_t child = ::fork();
    if (child == 0) {
        SetBeforeRenameHookForTesting(&KillSelf);
        save();
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return status;
}

TEST(AtomicFile, WritesAndReplacesWholeFile) {
    TempAppFolder app(TempAppFolder::Contents::Empty);
    const std::string path = app.File("data.txt");
    ASSERT_TRUE(WriteFileAtomically(path, "first version"));
    ASSERT_TRUE(WriteFileAtomically(path, "second"));
    std::string contents;
    ASSERT_TRUE(ReadWholeFile(path, contents));
    EXPECT_EQ(contents, "second");
}

TEST(AtomicFile, FailsInMissingFolder) {
    TempAppFolder app(TempAppFolder::Contents::Empty);
    EXPECT_FALSE(WriteFileAtomically(app.File("missing/data.txt"), "x"));
}

TEST(AtomicFile, KillBetweenWriteAndRenameKeepsOldIniWhole) {
    TempAppFolder app(TempAppFolder::Contents::Empty);
    const std::string path = app.File("config.ini");
    const std::string original = "[SYS CONFIG]\nMax_Size=1048576\nMax_Error=50\n";
    app.WriteFile("config.ini", original);

    const int status = RunKilledDuringSave([&] {
        IniFile ini(path);
        (void)ini.WriteString("SYS CONFIG", "Max_Size", std::string(100000, '9'));
    });
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(WTERMSIG(status), SIGKILL);
    EXPECT_EQ(app.ReadFile("config.ini"), original);
    EXPECT_EQ(IniFile(path).ReadString("SYS CONFIG", "Max_Size", ""), "1048576");
}

TEST(AtomicFile, CopyWithoutOverwriteLeavesTargetAlone) {
    TempAppFolder app(TempAppFolder::Contents::Empty);
    app.WriteFile("a.txt", "new");
    app.WriteFile("b.txt", "old");
    EXPECT_FALSE(CopyFileAtomically(app.File("a.txt"), app.File("b.txt"), false));
    EXPECT_EQ(app.ReadFile("b.txt"), "old");
    EXPECT_TRUE(CopyFileAtomically(app.File("a.txt"), app.File("b.txt"), true));
    EXPECT_EQ(app.ReadFile("b.txt"), "new");
}

} // namespace
} // namespace harvexa
