// torvelle: the restarter. While it runs it holds an exclusive lock on "torvelle.lock" in the
// application folder; when the watched process has ended and "research.txt" names a research,
// it starts the program again with that id as its only argument.

#include "core/AppPaths.h"
#include "core/AtomicFile.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <iostream>
#include <string>
#include <sys/file.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr const char* kUsage = "Usage: torvelle PID PROGRAM\n"
                               "Waits until process PID has ended, then, when research.txt in the application\n"
                               "folder names a research, starts PROGRAM with that research id.\n";

bool ProcessAlive(pid_t pid) { return ::kill(pid, 0) == 0 || errno == EPERM; }

std::string Trimmed(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' '))
        text.pop_back();
    return text;
}

} // namespace

int main(int argc, char* argv[]) {
    const std::string first = argc > 1 ? argv[1] : "";
    if (first == "-h" || first == "--help") {
        std::cout << kUsage;
        return 0;
    }
    if (argc != 3) {
        std::cerr << kUsage;
        return 2;
    }
    char* end = nullptr;
    const long pid = std::strtol(argv[1], &end, 10);
    if (*end != '\0' || pid <= 0) {
        std::cerr << "torvelle: not a process id: " << argv[1] << '\n';
        return 2;
    }
    const std::string program = argv[2];

    const std::string folder = harvexa::AppFolder();
    const int lock = ::open((folder + "torvelle.lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (lock < 0 || ::flock(lock, LOCK_EX | LOCK_NB) != 0) {
        std::cerr << "torvelle: another restarter is already watching " << folder << '\n';
        return 1;
    }

    while (ProcessAlive(static_cast<pid_t>(pid)))
        std::this_thread::sleep_for(std::chrono::milliseconds(200));

    std::string id;
    if (!harvexa::ReadWholeFile(folder + "research.txt", id) || Trimmed(id).empty())
        return 0;
    id = Trimmed(id);
    // Release the lock first: the new process must see no restarter until it arms one itself.
    ::close(lock);
    ::execl(program.c_str(), program.c_str(), id.c_str(), static_cast<char*>(nullptr));
    std::cerr << "torvelle: cannot start " << program << '\n';
    return 1;
}
