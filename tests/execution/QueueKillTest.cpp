// A child process queues, takes and completes links on several threads and is killed with
// SIGKILL at a random moment; the files it leaves must hold every link it queued and did not
// complete, and no link it completed. The child reports each step on a pipe: a lower-case
// letter before the call, an upper-case one after it returned, so the parent knows what
// certainly happened and what may have.

#include "execution/CLLackFiles.h"
#include "execution/CLLinkQueue.h"
#include "execution/CLLogEnvio.h"
#include "support/RecordingFrontEnd.h"
#include "support/TempAppFolder.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <gtest/gtest.h>
#include <map>
#include <poll.h>
#include <random>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace harvexa {
namespace {

using test::RecordingProgress;
using test::TempAppFolder;

constexpr int kId = 31;
constexpr int kChildWorkers = 3;
constexpr std::size_t kQueueTarget = 300;

std::string UrlOf(int id) {
    char url[64];
    std::snprintf(url, sizeof url, "http://kill.example/page/%09d.html", id);
    return url;
}

int IdOf(const std::string& url) {
    int id = -1;
    std::sscanf(url.c_str(), "http://kill.example/page/%d.html", &id);
    return id;
}

class Reporter {
public:
    explicit Reporter(int fd)
        : m_fd(fd) {}
    void operator()(char event, int id) const {
        char line[32];
        const int n = std::snprintf(line, sizeof line, "%c %d\n", event, id);
        // Short lines on a pipe are written whole.
        if (::write(m_fd, line, static_cast<std::size_t>(n)) != n)
            ::_exit(7);
    }

private:
    int m_fd;
};

[[noreturn]] void RunChild(bool firstRun, int idBase, int reportFd, unsigned seed) {
    RecordingProgress progress;
    CLLackFiles files(progress);
    CLLogEnvio pendingWriter;
    CLLogEnvio processedWriter;
    CLLinkQueue queue(pendingWriter, processedWriter);
    const Reporter report(reportFd);
    std::atomic<int> nextId{idBase};

    auto queueNew = [&](int level, std::mt19937& random) {
        const int id = nextId++;
        const bool page = random() % 10 == 0;
        report('q', id);
        queue.AppendLink(page ? EntLackSites(0, kId, kSearchResultLevel, kSearchResultPage, UrlOf(id))
                              : EntLackSites(0, kId, level, static_cast<int>(random() % 2), UrlOf(id)));
        report('Q', id);
    };

    std::mt19937 random(seed);
    if (firstRun) {
        queue.StartFirstRun(kId);
        for (int i = 0; i < 20; ++i)
            queueNew(0, random);
    } else if (!queue.LoadPendingLinks(kId, files).found) {
        ::_exit(4);
    }
    queue.PromoteSearchPages();

    for (;;) {
        std::atomic<bool> stop{false};
        std::vector<std::thread> workers;
        for (int w = 0; w < kChildWorkers; ++w) {
            workers.emplace_back([&, w] {
                std::mt19937 own(seed * 31 + static_cast<unsigned>(w));
                while (!stop) {
                    const auto taken = queue.TakeNextLink();
                    if (!taken) {
                        queueNew(0, own);
                        continue;
                    }
                    const int id = IdOf(taken->link.lack_sites);
                    report('T', id);
                    if (queue.RemainingCount() < kQueueTarget) {
                        const int found = static_cast<int>(own() % 4);
                        for (int k = 0; k < found; ++k)
                            queueNew(taken->link.nivel + 1, own);
                    }
                    if (own() % 20 == 0)
                        queue.MergePriorityLinks();
                    // The fetch.
                    std::this_thread::sleep_for(std::chrono::microseconds(own() % 300));
                    if (own() % 15 == 0) {
                        if (!queue.ReturnLink(taken->ticket))
                            ::_exit(5);
                        continue;
                    }
                    report('c', id);
                    if (!queue.MarkCompleted(taken->ticket))
                        ::_exit(5);
                    report('C', id);
                }
            });
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2 + random() % 15));
        stop = true;
        for (std::thread& worker : workers)
            worker.join();
        // A stop and a continue: the end-of-run save, then the load of the next run.
        queue.MergePriorityLinks();
        if (!queue.FlushPendingLinks(kId))
            ::_exit(6);
        if (!queue.LoadPendingLinks(kId, files).found)
            ::_exit(4);
        queue.PromoteSearchPages();
    }
}

enum class State { MaybeQueued, Queued, MaybeCompleted, Completed };

struct Tally {
    std::map<int, State> links;
    std::size_t completed = 0;
    std::size_t heldAtKill = 0;
};

void Raise(State& state, State to) {
    if (static_cast<int>(to) > static_cast<int>(state))
        state = to;
}

void ApplyEvents(const std::string& events, Tally& tally, std::map<int, bool>& takenNotStarted) {
    std::istringstream in(events);
    char event = 0;
    int id = 0;
    while (in >> event >> id) {
        auto [it, added] = tally.links.try_emplace(id, State::MaybeQueued);
        switch (event) {
        case 'q':
            break;
        case 'Q':
            Raise(it->second, State::Queued);
            break;
        case 'T':
            takenNotStarted[id] = true;
            break;
        case 'c':
            takenNotStarted.erase(id);
            Raise(it->second, State::MaybeCompleted);
            break;
        case 'C':
            Raise(it->second, State::Completed);
            ++tally.completed;
            break;
        default:
            FAIL() << "unknown event " << event;
        }
    }
}

// Appends what the pipe holds within `timeoutMs`; false once the writer has gone.
bool ReadAvailable(int fd, int timeoutMs, std::string& text) {
    pollfd poller{fd, POLLIN, 0};
    if (::poll(&poller, 1, timeoutMs) <= 0)
        return true;
    char buffer[65536];
    const ssize_t got = ::read(fd, buffer, sizeof buffer);
    if (got > 0)
        text.append(buffer, static_cast<std::size_t>(got));
    return got != 0;
}

std::string ReadToEnd(int fd) {
    std::string text;
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return text;
        text.append(buffer, static_cast<std::size_t>(got));
    }
}

TEST(QueueKillTest, KillingTheProcessAtAnyMomentLosesNoLink) {
    TempAppFolder folder(TempAppFolder::Contents::Empty);
    RecordingProgress progress;
    CLLackFiles files(progress);
    Tally tally;
    std::mt19937 random(20240611);
    bool filesExist = false;
    constexpr int kRounds = 40;

    for (int round = 0; round < kRounds; ++round) {
        int fds[2];
        ASSERT_EQ(::pipe(fds), 0);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::close(fds[0]);
            RunChild(!filesExist, (round + 1) * 1'000'000, fds[1], static_cast<unsigned>(round + 1));
        }
        ::close(fds[1]);

        // Kill after a random number of reported steps plus a random delay, so slow builds
        // (sanitizers) are caught at as many moments as fast ones. Step 0 kills hit the start
        // of a run: opening or loading the files.
        const std::size_t steps = round % 4 == 0 ? 0 : random() % 4000;
        const auto jitter = std::chrono::microseconds(random() % 3000);
        std::string events;
        bool childAlive = true;
        const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (childAlive &&
               static_cast<std::size_t>(std::count(events.begin(), events.end(), '\n')) < steps &&
               std::chrono::steady_clock::now() < giveUp)
            childAlive = ReadAvailable(fds[0], 5, events);
        const auto deadline = std::chrono::steady_clock::now() + jitter;
        while (childAlive && std::chrono::steady_clock::now() < deadline)
            childAlive = ReadAvailable(fds[0], 0, events);
        ::kill(child, SIGKILL);
        events += ReadToEnd(fds[0]);
        ::close(fds[0]);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL)
            << "round " << round << ": the child ended by itself, status " << status;

        std::map<int, bool> held;
        ApplyEvents(events, tally, held);

        const PendingLinksRead read = files.ReadPendingLinks(kId);
        std::map<int, int> loaded;
        for (const EntLackSites& link : read.links)
            ++loaded[IdOf(link.lack_sites)];
        EXPECT_EQ(read.skipped, 0u) << "round " << round;

        for (const auto& [id, count] : loaded) {
            const auto known = tally.links.find(id);
            ASSERT_NE(known, tally.links.end())
                << "round " << round << ": link " << id << " was never queued";
            EXPECT_NE(known->second, State::Completed)
                << "round " << round << ": completed link " << id << " is back";
            EXPECT_EQ(count, 1) << "round " << round << ": link " << id << " loads " << count << " times";
        }
        for (auto it = tally.links.begin(); it != tally.links.end();) {
            const bool present = loaded.count(it->first) > 0;
            if (it->second == State::Queued) {
                EXPECT_TRUE(present) << "round " << round << ": queued link " << it->first << " was lost";
            }
            // What the kill left undecided is decided by the files.
            if (it->second == State::MaybeQueued || it->second == State::MaybeCompleted) {
                if (!present && it->second == State::MaybeQueued) {
                    it = tally.links.erase(it);
                    continue;
                }
                it->second = present ? State::Queued : State::Completed;
            }
            ++it;
        }
        for (const auto& [id, unused] : held) {
            const auto known = tally.links.find(id);
            if (known != tally.links.end() && known->second == State::Queued)
                ++tally.heldAtKill;
        }
        filesExist = read.found;
        if (HasFailure())
            return;
    }
    // The kills must have caught links both completed and in the middle of their fetch.
    EXPECT_GT(tally.completed, 100u);
    EXPECT_GT(tally.heldAtKill, 10u);
}

} // namespace
} // namespace harvexa
