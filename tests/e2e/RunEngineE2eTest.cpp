// A research run end to end: harvexa-cli as a child process against loopback web servers.
#include "support/TempAppFolder.h"

#include <algorithm>
#include <arpa/inet.h>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <httplib.h>
#include <map>
#include <mutex>
#include <netinet/in.h>
#include <set>
#include <signal.h>
#include <sstream>
#include <string>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace harvexa::test {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// A loopback site: path -> page, with a count of the requests of every path.
class LoopbackSite {
public:
    explicit LoopbackSite(std::chrono::milliseconds delay = 0ms)
        : m_delay(delay) {
        m_server.Get(".*", [this](const httplib::Request& request, httplib::Response& response) {
            {
                const std::lock_guard lock(m_mutex);
                ++m_hits[request.path];
            }
            if (m_delay.count() > 0)
                std::this_thread::sleep_for(m_delay);
            const std::lock_guard lock(m_mutex);
            const auto page = m_pages.find(request.path);
            if (page == m_pages.end()) {
                response.status = 404;
                return;
            }
            response.status = page->second.status;
            response.set_content(page->second.body, "text/html; charset=utf-8");
        });
        m_port = m_server.bind_to_any_port("127.0.0.1");
        m_thread = std::thread([this] { m_server.listen_after_bind(); });
        while (!m_server.is_running())
            std::this_thread::sleep_for(1ms);
    }
    ~LoopbackSite() {
        m_server.stop();
        m_thread.join();
    }
    // `host` names the site: 127.0.0.1 and localhost are two sites of one server.
    std::string Url(const std::string& path, const std::string& host = "127.0.0.1") const {
        return "http://" + host + ":" + std::to_string(m_port) + path;
    }
    void Add(const std::string& path, const std::string& body, int status = 200) {
        const std::lock_guard lock(m_mutex);
        m_pages[path] = Page{body, status};
    }
    std::map<std::string, int> Hits() const {
        const std::lock_guard lock(m_mutex);
        return m_hits;
    }

private:
    struct Page {
        std::string body;
        int status = 200;
    };
    httplib::Server m_server;
    std::thread m_thread;
    int m_port = 0;
    std::chrono::milliseconds m_delay;
    mutable std::mutex m_mutex;
    std::map<std::string, Page> m_pages;
    std::map<std::string, int> m_hits;
};

std::string PageWith(const std::string& email, const std::vector<std::string>& links) {
    std::string body = "<html><head><title>Page of " + email + "</title></head><body><p>" + email + "</p>";
    for (const std::string& link : links)
        body += "<a href=\"" + link + "\">link</a> ";
    return body + "</body></html>";
}

struct ChildResult {
    int exitCode = -1;
    bool killed = false;
    std::string out;
    std::string err;
};

// Runs harvexa-cli with `args`; `whileRunning` may signal the child (it gets the pid).
class Cli {
public:
    explicit Cli(const TempAppFolder& home)
        : m_home(home) {}

    ChildResult Run(const std::vector<std::string>& args,
                    const std::function<void(pid_t)>& whileRunning = {}) const {
        const std::string outFile = m_home.File("cli.out");
        const std::string errFile = m_home.File("cli.err");
        const pid_t pid = fork();
        if (pid == 0) {
            std::freopen(outFile.c_str(), "w", stdout);
            std::freopen(errFile.c_str(), "w", stderr);
            std::vector<char*> argv;
            std::string program = HARVEXA_CLI_PATH;
            argv.push_back(program.data());
            std::vector<std::string> copies = args;
            for (std::string& arg : copies)
                argv.push_back(arg.data());
            argv.push_back(nullptr);
            execv(program.c_str(), argv.data());
            _exit(127);
        }
        if (whileRunning)
            whileRunning(pid);
        int status = 0;
        waitpid(pid, &status, 0);
        ChildResult result;
        result.killed = WIFSIGNALED(status);
        result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        result.out = m_home.ReadFile("cli.out");
        result.err = m_home.ReadFile("cli.err");
        return result;
    }

    void Config(const std::string& key, const std::string& value) const {
        const ChildResult result = Run({"config", "set", "SYS CONFIG", key, value});
        ASSERT_EQ(result.exitCode, 0) << result.err;
    }

    // Creates an address-list research and returns its id.
    std::string New(std::vector<std::string> args) const {
        args.insert(args.begin(), "new");
        const ChildResult result = Run(args);
        EXPECT_EQ(result.exitCode, 0) << result.err;
        std::string id = result.out;
        while (!id.empty() && (id.back() == '\n' || id.back() == '\r'))
            id.pop_back();
        return id;
    }

private:
    const TempAppFolder& m_home;
};

// Every line of every capture file of a research folder.
std::vector<std::string> CaptureLines(const TempAppFolder& home, const std::string& name) {
    std::vector<std::string> lines;
    const fs::path folder = home.Path() / "export" / name;
    if (!fs::exists(folder))
        return lines;
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (entry.path().extension() != ".csv")
            continue;
        std::ifstream in(entry.path(), std::ios::binary);
        std::string line;
        while (std::getline(in, line)) {
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            if (!line.empty())
                lines.push_back(line);
        }
    }
    return lines;
}

// The e-mail column of capture lines, with repeats.
std::multiset<std::string> Emails(const std::vector<std::string>& lines) {
    std::multiset<std::string> emails;
    for (const std::string& line : lines) {
        const auto first = line.find("\";\"");
        const auto second = line.find("\";\"", first + 3);
        if (first != std::string::npos && second != std::string::npos)
            emails.insert(line.substr(first + 3, second - first - 3));
    }
    return emails;
}

class RunEngineE2e : public ::testing::Test {
protected:
    void SetUp() override {
        cli.Config("Http_Time_Out", "2000");
        cli.Config("Repeated_emails", "1");
        cli.Config("SimProcess_Capture", "3");
    }
    TempAppFolder home;
    Cli cli{home};
};

TEST_F(RunEngineE2e, CrawlFollowsInternalAndExternalLinksToTheirDepths) {
    LoopbackSite site;
    // Internal chain a0 -> a1 -> a2 -> a3; a0 links to another site (localhost) with its own chain.
    site.Add("/a0.html", PageWith("a0@site.test", {"a1.html", site.Url("/e1.html", "localhost")}));
    site.Add("/a1.html", PageWith("a1@site.test", {"a2.html"}));
    site.Add("/a2.html", PageWith("a2@site.test", {"a3.html"}));
    site.Add("/a3.html", PageWith("a3@site.test", {}));
    site.Add("/e1.html", PageWith("e1@site.test", {"e2.html", site.Url("/x1.html", "127.0.0.1")}));
    site.Add("/e2.html", PageWith("e2@site.test", {"e3.html"}));
    site.Add("/e3.html", PageWith("e3@site.test", {}));
    site.Add("/x1.html", PageWith("x1@site.test", {}));

    const std::string id = cli.New({"--name", "depths", "--sites", site.Url("/a0.html"), "--internal-depth",
                                    "2", "--external-depth", "1"});
    const ChildResult run = cli.Run({"run", id, "--fast-timers"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.out.find("state: finished"), std::string::npos) << run.out;

    // Level 0 a0; level 1 a1 and e1; level 2 a2 and e2 (internal links of level-1 pages).
    // External links are followed from level 0 only, so x1 (external of e1, level 1) is not.
    const std::multiset<std::string> expected = {"a0@site.test", "a1@site.test", "a2@site.test",
                                                 "e1@site.test", "e2@site.test"};
    EXPECT_EQ(Emails(CaptureLines(home, "depths")), expected);
    for (const auto& [path, count] : site.Hits())
        EXPECT_EQ(count, 1) << path;
    const std::vector<std::string> lines = CaptureLines(home, "depths");
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front(), "\"" + site.Url("/a0.html") +
                                 "\";\"a0@site.test\";\"Page of a0@site.test\";\"\";\"\";\"\";\"\"");
    // Finished: the link files are gone.
    EXPECT_FALSE(fs::exists(home.File("d" + id + "-lack.dat")));
}

// A site of `pages` pages in a chain of fan-outs; every page has its own address.
std::multiset<std::string> AddWideSite(LoopbackSite& site, int pages) {
    std::multiset<std::string> emails;
    std::vector<std::string> links;
    for (int i = 1; i < pages; ++i)
        links.push_back("p" + std::to_string(i) + ".html");
    site.Add("/p0.html", PageWith("p0@wide.test", links));
    emails.insert("p0@wide.test");
    for (int i = 1; i < pages; ++i) {
        const std::string email = "p" + std::to_string(i) + "@wide.test";
        site.Add("/p" + std::to_string(i) + ".html", PageWith(email, {"p0.html"}));
        emails.insert(email);
    }
    return emails;
}

bool WaitFor(const std::function<bool()>& condition, std::chrono::seconds limit = 60s) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < end) {
        if (condition())
            return true;
        std::this_thread::sleep_for(20ms);
    }
    return false;
}

TEST_F(RunEngineE2e, StopThenContinueProcessesEveryPageExactlyOnce) {
    LoopbackSite site(100ms);
    const std::multiset<std::string> expected = AddWideSite(site, 30);
    const std::string id =
        cli.New({"--name", "stopped", "--sites", site.Url("/p0.html"), "--internal-depth", "1"});

    const ChildResult stopped = cli.Run({"run", id, "--fast-timers"}, [&](pid_t pid) {
        ASSERT_TRUE(WaitFor([&] { return CaptureLines(home, "stopped").size() >= 5; }));
        kill(pid, SIGINT);
    });
    ASSERT_FALSE(stopped.killed) << stopped.err;
    EXPECT_NE(stopped.out.find("state: under way"), std::string::npos) << stopped.out << stopped.err;
    const std::size_t rowsAfterStop = CaptureLines(home, "stopped").size();
    EXPECT_LT(rowsAfterStop, expected.size());
    EXPECT_TRUE(fs::exists(home.File("d" + id + "-lack.dat")));

    const ChildResult continued = cli.Run({"run", id, "--fast-timers"});
    ASSERT_EQ(continued.exitCode, 0) << continued.err;
    EXPECT_NE(continued.out.find("state: finished"), std::string::npos) << continued.out;
    EXPECT_EQ(Emails(CaptureLines(home, "stopped")), expected);
}

TEST_F(RunEngineE2e, KilledRunLosesNoRowAndNoPendingLinkOnContinue) {
    LoopbackSite site(100ms);
    const std::multiset<std::string> expected = AddWideSite(site, 30);
    const std::string id =
        cli.New({"--name", "killed", "--sites", site.Url("/p0.html"), "--internal-depth", "1"});

    std::vector<std::string> rowsAtKill;
    const ChildResult killed = cli.Run({"run", id, "--fast-timers"}, [&](pid_t pid) {
        ASSERT_TRUE(WaitFor([&] { return CaptureLines(home, "killed").size() >= 8; }));
        kill(pid, SIGKILL);
        rowsAtKill = CaptureLines(home, "killed");
    });
    ASSERT_TRUE(killed.killed);
    const auto hitsAtKill = site.Hits();

    const ChildResult continued = cli.Run({"run", id, "--fast-timers"});
    ASSERT_EQ(continued.exitCode, 0) << continued.err;
    const std::vector<std::string> all = CaptureLines(home, "killed");
    // Every row written before the kill is still there.
    for (const std::string& row : rowsAtKill)
        EXPECT_NE(std::find(all.begin(), all.end(), row), all.end()) << row;
    // Every page's row arrived; only links in flight at the kill (at most one per worker) came twice.
    const std::multiset<std::string> emails = Emails(all);
    for (const std::string& email : expected)
        EXPECT_GE(emails.count(email), 1u) << email;
    int fetchedTwice = 0;
    for (const auto& [path, count] : site.Hits()) {
        EXPECT_LE(count, 2) << path;
        fetchedTwice += count == 2 ? 1 : 0;
    }
    EXPECT_LE(fetchedTwice, 3);
    EXPECT_LE(emails.size(), expected.size() + 3);
    (void)hitsAtKill;
}

// A port with nothing listening on it.
int ClosedPort() {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    socklen_t length = sizeof address;
    getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    close(fd);
    return ntohs(address.sin_port);
}

TEST_F(RunEngineE2e, BadNetworkInputDoesNotStopTheRun) {
    cli.Config("Max_Size", "20000");
    LoopbackSite site;
    site.Add("/good.html", PageWith("good@site.test", {}));
    // Cut during the transfer (a failed fetch) or after it: either way the address past the cut is lost.
    site.Add("/big.html", std::string(200000, ' ') + PageWith("big@site.test", {}));
    site.Add("/broken.html", PageWith("broken@site.test", {}), 500);

    // Accepts connections (the kernel's backlog) and never answers.
    const int silent = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(bind(silent, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(listen(silent, 8), 0);
    socklen_t length = sizeof address;
    getsockname(silent, reinterpret_cast<sockaddr*>(&address), &length);
    const std::string silentUrl = "http://127.0.0.1:" + std::to_string(ntohs(address.sin_port)) + "/";

    const std::string sites = "http://127.0.0.1:" + std::to_string(ClosedPort()) +
                              "/ http://no-such-host.invalid/ " + silentUrl + " " + site.Url("/big.html") +
                              " " + site.Url("/broken.html") + " " + site.Url("/good.html");
    const std::string id = cli.New({"--name", "bad", "--sites", sites, "--internal-depth", "0"});
    const ChildResult run = cli.Run({"run", id, "--fast-timers"});
    close(silent);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.out.find("state: finished"), std::string::npos) << run.out << run.err;
    EXPECT_EQ(Emails(CaptureLines(home, "bad")), std::multiset<std::string>{"good@site.test"});
    EXPECT_NE(run.err.find("Connection refused"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("Host not found: no-such-host.invalid"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("HTTP 500"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("timed out"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("Page larger than"), std::string::npos) << run.err;
}

TEST_F(RunEngineE2e, ConnectionErrorsInARowReachTheMaxErrorStop) {
    cli.Config("Max_Error", "3");
    cli.Config("SimProcess_Capture", "1");
    std::string sites;
    for (int i = 0; i < 6; ++i)
        sites += "http://host" + std::to_string(i) + ".invalid/ ";
    const std::string id = cli.New({"--name", "errors", "--sites", sites, "--internal-depth", "0"});
    const ChildResult run = cli.Run({"run", id, "--fast-timers"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.err.find("too many connections failed in a row"), std::string::npos) << run.err;
    EXPECT_NE(run.out.find("state: under way"), std::string::npos) << run.out;
    // Three failed (the newest links are taken first); the three not tried are still pending.
    std::ifstream pending(home.File("d" + id + "-lack.dat"));
    std::vector<std::string> lines;
    for (std::string line; std::getline(pending, line);)
        if (!line.empty() && line != "\r")
            lines.push_back(line);
    EXPECT_EQ(lines.size(), 3u);
    for (int i = 0; i < 3; ++i)
        EXPECT_NE(std::find(lines.begin(), lines.end(),
                            "0#%1http://host" + std::to_string(i) + ".invalid/#%20#%30\r"),
                  lines.end())
            << i;
}

TEST_F(RunEngineE2e, MemoryRefreshRestartsTheProgramWhichFinishesTheResearch) {
    cli.Config("Refresh_Memory", "1");
    cli.Config("Max_Size", "2000000");
    cli.Config("SimProcess_Capture", "1");
    LoopbackSite site;
    std::multiset<std::string> expected;
    std::vector<std::string> links;
    for (int i = 1; i <= 8; ++i) {
        const std::string email = "big" + std::to_string(i) + "@refresh.test";
        site.Add("/big" + std::to_string(i) + ".html", PageWith(email, {}) + std::string(400000, ' '));
        links.push_back("big" + std::to_string(i) + ".html");
        expected.insert(email);
    }
    site.Add("/start.html", PageWith("start@refresh.test", links));
    expected.insert("start@refresh.test");
    const std::string id =
        cli.New({"--name", "refresh", "--sites", site.Url("/start.html"), "--internal-depth", "1"});

    const ChildResult first = cli.Run({"run", id, "--restart", "--fast-timers"});
    ASSERT_EQ(first.exitCode, 0) << first.err;
    EXPECT_NE(first.out.find("restart: the restarter continues the research"), std::string::npos)
        << first.out;
    // The restarter starts the program again with the id; it continues until the research is finished.
    ASSERT_TRUE(WaitFor(
        [&] {
            const ChildResult list = cli.Run({"list"});
            return list.out.find(id + "\tfinished") != std::string::npos;
        },
        120s))
        << home.ReadFile("cli.out");
    EXPECT_TRUE(WaitFor([&] { return !fs::exists(home.File("research.txt")); }, 30s));
    EXPECT_EQ(Emails(CaptureLines(home, "refresh")), expected);
}

} // namespace
} // namespace harvexa::test
