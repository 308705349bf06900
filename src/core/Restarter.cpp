#include "core/Restarter.h"

#include "core/AppPaths.h"

#include <cstdio>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace harvexa {

bool RestarterIsRunning() {
    const std::string lockPath = AppFolder() + "torvelle.lock";
    const int fd = ::open(lockPath.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool held = ::flock(fd, LOCK_EX | LOCK_NB) != 0;
    if (!held)
        ::flock(fd, LOCK_UN);
    ::close(fd);
    return held;
}

void DisarmRestarter() {
    if (RestarterIsRunning())
        std::remove((AppFolder() + "research.txt").c_str());
}

} // namespace harvexa
