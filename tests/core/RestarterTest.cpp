#include "core/Restarter.h"
#include "support/TempAppFolder.h"

#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

namespace harvexa {
namespace {

using test::TempAppFolder;

TEST(Restarter, DisarmRemovesHandOverOnlyWhileRestarterHoldsLock) {
    TempAppFolder app;
    app.WriteFile("research.txt", "3");
    EXPECT_FALSE(RestarterIsRunning());
    DisarmRestarter();
    EXPECT_TRUE(std::filesystem::exists(app.File("research.txt")));

    // Another open file description holding the lock stands for the restarter process.
    const int fd = ::open(app.File("torvelle.lock").c_str(), O_RDWR | O_CREAT, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::flock(fd, LOCK_EX | LOCK_NB), 0);
    EXPECT_TRUE(RestarterIsRunning());
    DisarmRestarter();
    EXPECT_FALSE(std::filesystem::exists(app.File("research.txt")));
    ::close(fd);
    EXPECT_FALSE(RestarterIsRunning());
}

} // namespace
} // namespace harvexa
