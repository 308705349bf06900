#include "ResearchCommands.h"

#include "ConsoleRunView.h"
#include "core/AppPaths.h"
#include "core/CoreStartup.h"
#include "core/Restarter.h"
#include "data/NegData.h"
#include "data/RepData.h"
#include "execution/NegResearch.h"
#include "research/RepResearch.h"

#include <QCoreApplication>
#include <QProcess>
#include <QTimer>
#include <atomic>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <httplib.h>
#include <iostream>
#include <optional>
#include <sstream>
#include <thread>

namespace harvexa {

namespace {

std::atomic<int> g_interrupts{0};

void OnInterrupt(int) {
    // A second Ctrl-C ends at once: every row and queued link is already on disk.
    if (g_interrupts.fetch_add(1) >= 1)
        std::_Exit(130);
}

// The business objects a command needs beside the facade.
struct Session {
    explicit Session(CoreStartup& startup)
        : facade(startup.Principal().Facade())
        , repository(startup.Tables(), facade.connection, facade.generator, facade.lang, facade.messages,
                     facade.progress)
        , data(facade.lang, std::make_unique<RepData>(facade.lang, facade.progress, dataTable)) {}

    CLFacade& facade;
    RepResearch repository;
    TableHandle dataTable;
    NegData data;
};

std::string JsonString(const std::string& text) {
    std::string out = "\"";
    for (const unsigned char c : text) {
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (c < 0x20) {
                char buffer[8];
                std::snprintf(buffer, sizeof buffer, "\\u%04x", c);
                out += buffer;
            } else {
                out += static_cast<char>(c);
            }
        }
    }
    return out + "\"";
}

const char* StepName(int step) {
    switch (step) {
    case EntResearch::New:
        return "new";
    case EntResearch::UnderWay:
        return "under way";
    case EntResearch::Finished:
        return "finished";
    default:
        return "unknown";
    }
}

const char* KindName(int type) {
    return type == EntResearch::SiteList ? "address list" : "keywords";
}

std::optional<int> ParseInt(const std::string& text) {
    char* end = nullptr;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0')
        return std::nullopt;
    return static_cast<int>(value);
}

// Words separated by blanks become lines.
std::string WordsToLines(const std::string& words) {
    std::istringstream in(words);
    std::string word, lines;
    while (in >> word)
        lines += (lines.empty() ? "" : "\n") + word;
    return lines;
}

std::optional<std::string> ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::ostringstream text;
    text << in.rdbuf();
    std::string lines = text.str();
    std::erase(lines, '\r');
    while (!lines.empty() && lines.back() == '\n')
        lines.pop_back();
    return lines;
}

std::optional<EntResearch> FindResearch(Session& session, const std::string& idOrName) {
    if (const auto id = ParseInt(idOrName))
        if (auto research = session.repository.FindById(*id))
            return research;
    for (EntResearch& research : session.repository.ListAll())
        if (research.short_name == idOrName)
            return research;
    return std::nullopt;
}

// research.txt names the research of the latest run; the restarter beside this process starts it
// again with that id when it ends for a memory refresh or a stall.
void ArmRestarter(int researchId) {
    if (FILE* file = std::fopen((AppFolder() + "research.txt").c_str(), "wb")) {
        std::fprintf(file, "%d\r\n", researchId);
        std::fclose(file);
    }
    if (RestarterIsRunning())
        return;
    const QString torvelle = QCoreApplication::applicationDirPath() + QStringLiteral("/torvelle");
    if (!std::filesystem::exists(torvelle.toStdString()))
        return; // no restarter: a restart then only ends the program
    QProcess::startDetached(torvelle, {QString::number(QCoreApplication::applicationPid()),
                                       QCoreApplication::applicationFilePath()});
}

// Runs a research to its end (or its stop) with the console view.
struct RunOutcome {
    bool started = false;
    std::vector<std::string> captureFiles;
    std::string message;
    int researchStep = 0;
    bool restart = false;
};

RunOutcome RunResearch(Session& session, const EntResearch& research, const RunTimerIntervals& intervals,
                       bool restarter, std::ostream& err) {
    RunOutcome outcome;
    ConsoleRunView view(err);
    NegResearch controller(session.facade, session.repository, session.data, view);
    controller.SetTimerIntervals(intervals);
    if (restarter)
        controller.SetArmRestarter(&ArmRestarter);
    controller.SetCloseMainWindow(
        [] { QTimer::singleShot(0, QCoreApplication::instance(), [] { QCoreApplication::quit(); }); });

    g_interrupts = 0;
    auto* previous = std::signal(SIGINT, &OnInterrupt);
    std::signal(SIGTERM, &OnInterrupt);
    QTimer interruptPoll;
    interruptPoll.setInterval(100);
    QObject::connect(&interruptPoll, &QTimer::timeout, &interruptPoll, [&controller] {
        if (g_interrupts.load() > 0 && !controller.Stopped && !controller.RunOver()) {
            std::cerr << "Stopping: the pending links are being saved...\n";
            controller.StopConfirmed();
        }
    });
    interruptPoll.start();

    const bool first = research.research_step == EntResearch::New;
    QTimer::singleShot(0, QCoreApplication::instance(), [&] {
        outcome.started = controller.BeginRun(research.id_research, first);
        if (!outcome.started)
            QCoreApplication::quit();
    });
    QCoreApplication::exec();
    interruptPoll.stop();
    std::signal(SIGINT, previous);
    std::signal(SIGTERM, SIG_DFL);
    controller.ShowCounters();
    outcome.restart = controller.RestartPending;
    if (restarter && !controller.RestartPending)
        DisarmRestarter();
    outcome.captureFiles = controller.CaptureFilesWritten();
    outcome.message = controller.StatusMessage();
    if (const auto saved = session.repository.FindById(research.id_research))
        outcome.researchStep = saved->research_step;
    return outcome;
}

std::size_t CountLines(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::size_t lines = 0;
    std::string line;
    while (std::getline(in, line))
        if (!line.empty() && line != "\r")
            ++lines;
    return lines;
}

void PrintCaptureFiles(const RunOutcome& outcome, std::ostream& out) {
    std::size_t total = 0;
    for (const std::string& file : outcome.captureFiles) {
        if (!std::filesystem::exists(file))
            continue;
        const std::size_t rows = CountLines(file);
        total += rows;
        out << "capture file: " << file << " (" << rows << " rows)\n";
    }
    out << "rows captured: " << total << '\n';
}

constexpr const char* kNewUsage =
    "usage: harvexa-cli new --name NAME (--sites \"URL URL ...\" | --sites-file FILE) [--description TEXT]\n"
    "       [--internal-depth N] [--external-depth N] [--max-links N] [--stop-at-email] [--split N]\n"
    "       [--capture \"email titulo metatags fone\"] [--url-must-have W] [--url-must-not-have W]\n"
    "       [--site-must-have W] [--site-must-not-have W] [--email-must-have W] [--email-must-not-have W]\n"
    "       [--domains W]   (list options take blank-separated words)\n";

} // namespace

int RunNewCommand(CoreStartup& startup, const std::vector<std::string>& args, std::ostream& out,
                  std::ostream& err) {
    Session session(startup);
    EntResearch research;
    research.research_type = EntResearch::SiteList;
    research.capture_list = "email\ntitulo\nmetatags\nfone";
    research.follow_indoor_links = 1;
    research.follow_external_links = 0;
    research.tipo_arquivo = "csv";
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& flag = args[i];
        if (flag == "--stop-at-email") {
            research.parar_email = true;
            continue;
        }
        if (i + 1 >= args.size()) {
            err << "harvexa-cli new: " << flag << " needs a value\n" << kNewUsage;
            return 2;
        }
        const std::string& value = args[++i];
        const auto number = [&](int& field) {
            const auto parsed = ParseInt(value);
            if (!parsed || *parsed < 0)
                return false;
            field = *parsed;
            return true;
        };
        bool ok = true;
        if (flag == "--name")
            research.short_name = value;
        else if (flag == "--description")
            research.research_description = value;
        else if (flag == "--sites")
            research.search_site_list = WordsToLines(value);
        else if (flag == "--sites-file") {
            const auto text = ReadWholeFile(value);
            if (!text) {
                err << "harvexa-cli new: cannot read " << value << '\n';
                return 1;
            }
            research.search_site_list = *text;
        } else if (flag == "--internal-depth")
            ok = number(research.follow_indoor_links);
        else if (flag == "--external-depth")
            ok = number(research.follow_external_links);
        else if (flag == "--max-links")
            ok = number(research.maximo_links);
        else if (flag == "--split")
            ok = number(research.qtd_quebra);
        else if (flag == "--capture")
            research.capture_list = WordsToLines(value);
        else if (flag == "--url-must-have")
            research.url_must_have = WordsToLines(value);
        else if (flag == "--url-must-not-have")
            research.url_must_not_have = WordsToLines(value);
        else if (flag == "--site-must-have")
            research.site_must_have = WordsToLines(value);
        else if (flag == "--site-must-not-have")
            research.site_must_not_have = WordsToLines(value);
        else if (flag == "--email-must-have")
            research.email_must_have = WordsToLines(value);
        else if (flag == "--email-must-not-have")
            research.email_must_not_have = WordsToLines(value);
        else if (flag == "--domains")
            research.domains = WordsToLines(value);
        else {
            err << "harvexa-cli new: unknown option " << flag << '\n' << kNewUsage;
            return 2;
        }
        if (!ok) {
            err << "harvexa-cli new: " << flag << " needs a number of 0 or more\n";
            return 2;
        }
    }
    if (research.short_name.empty() || research.search_site_list.empty()) {
        err << "harvexa-cli new: a name and at least one address are needed\n" << kNewUsage;
        return 2;
    }
    if (const auto exists = session.repository.ShortNameExists(research.short_name); exists && *exists) {
        err << "harvexa-cli new: a research named \"" << research.short_name << "\" exists already\n";
        return 1;
    }
    research.creation_date = DateTime::Now();
    if (!session.repository.InsertNew(research)) {
        err << "harvexa-cli new: the research could not be stored\n";
        return 1;
    }
    out << research.id_research << '\n';
    return 0;
}

int RunListCommand(CoreStartup& startup, std::ostream& out, std::ostream&) {
    Session session(startup);
    for (const EntResearch& research : session.repository.ListAll())
        out << research.id_research << '\t' << StepName(research.research_step) << '\t'
            << KindName(research.research_type) << '\t' << research.short_name << '\n';
    return 0;
}

int RunShowCommand(CoreStartup& startup, const std::vector<std::string>& args, std::ostream& out,
                   std::ostream& err) {
    if (args.size() != 1) {
        err << "usage: harvexa-cli show ID|NAME\n";
        return 2;
    }
    Session session(startup);
    const auto research = FindResearch(session, args[0]);
    if (!research) {
        err << "harvexa-cli show: no research " << args[0] << '\n';
        return 1;
    }
    const EntResearch& r = *research;
    out << "{\n"
        << "  \"id_research\": " << r.id_research << ",\n"
        << "  \"short_name\": " << JsonString(r.short_name) << ",\n"
        << "  \"research_description\": " << JsonString(r.research_description) << ",\n"
        << "  \"research_type\": " << r.research_type << ",\n"
        << "  \"research_step\": " << r.research_step << ",\n"
        << "  \"search_site_list\": " << JsonString(r.search_site_list) << ",\n"
        << "  \"keywords\": " << JsonString(r.keywords) << ",\n"
        << "  \"capture_list\": " << JsonString(r.capture_list) << ",\n"
        << "  \"follow_indoor_links\": " << r.follow_indoor_links << ",\n"
        << "  \"follow_external_links\": " << r.follow_external_links << ",\n"
        << "  \"maximo_links\": " << r.maximo_links << ",\n"
        << "  \"parar_email\": " << (r.parar_email ? "true" : "false") << ",\n"
        << "  \"qtd_quebra\": " << r.qtd_quebra << ",\n"
        << "  \"url_must_have\": " << JsonString(r.url_must_have) << ",\n"
        << "  \"url_must_not_have\": " << JsonString(r.url_must_not_have) << ",\n"
        << "  \"site_must_have\": " << JsonString(r.site_must_have) << ",\n"
        << "  \"site_must_not_have\": " << JsonString(r.site_must_not_have) << ",\n"
        << "  \"email_must_have\": " << JsonString(r.email_must_have) << ",\n"
        << "  \"email_must_not_have\": " << JsonString(r.email_must_not_have) << ",\n"
        << "  \"domains\": " << JsonString(r.domains) << "\n"
        << "}\n";
    return 0;
}

namespace {

RunTimerIntervals IntervalsFromArgs(const std::vector<std::string>& args, std::vector<std::string>& rest,
                                    bool& restarter) {
    RunTimerIntervals intervals;
    for (const std::string& arg : args) {
        if (arg == "--restart") {
            restarter = true;
            continue;
        }
        if (arg == "--fast-timers") {
            // Quick end detection and top-up for small sites (demo, tests).
            intervals.garbage = 300;
            intervals.topUp = 300;
            intervals.threads = 500;
            intervals.refresh = 300;
        } else {
            rest.push_back(arg);
        }
    }
    return intervals;
}

} // namespace

int RunRunCommand(CoreStartup& startup, const std::vector<std::string>& args, std::ostream& out,
                  std::ostream& err) {
    std::vector<std::string> rest;
    bool restarter = false;
    const RunTimerIntervals intervals = IntervalsFromArgs(args, rest, restarter);
    if (rest.size() != 1) {
        err << "usage: harvexa-cli run ID|NAME [--restart] [--fast-timers]\n";
        return 2;
    }
    Session session(startup);
    const auto research = FindResearch(session, rest[0]);
    if (!research) {
        err << "harvexa-cli run: no research " << rest[0] << '\n';
        return 1;
    }
    if (research->research_type != EntResearch::SiteList) {
        err << "harvexa-cli run: keyword researches cannot be run by this version yet\n";
        return 1;
    }
    const RunOutcome outcome = RunResearch(session, *research, intervals, restarter, err);
    if (!outcome.started)
        return 1;
    PrintCaptureFiles(outcome, out);
    out << "state: " << StepName(outcome.researchStep) << '\n';
    if (outcome.restart)
        out << "restart: " << (restarter ? "the restarter continues the research" : "no restarter armed")
            << '\n';
    return g_interrupts.load() > 0 ? 130 : 0;
}

int RunDemoCommand(CoreStartup& startup, const std::vector<std::string>& args, std::ostream& out,
                   std::ostream& err) {
    std::string site = InstallSourceFolder() + "demo";
    if (!args.empty())
        site = args[0];
    if (!std::filesystem::is_regular_file(site + "/index.html")) {
        err << "harvexa-cli demo: no demo site in " << site << '\n';
        return 1;
    }
    httplib::Server server;
    if (!server.set_mount_point("/", site)) {
        err << "harvexa-cli demo: cannot serve " << site << '\n';
        return 1;
    }
    server.set_file_extension_and_mimetype_mapping("html", "text/html");
    const int port = server.bind_to_any_port("127.0.0.1");
    if (port <= 0) {
        err << "harvexa-cli demo: no free loopback port\n";
        return 1;
    }
    std::thread serving([&server] { server.listen_after_bind(); });
    const std::string root = "http://127.0.0.1:" + std::to_string(port) + "/";
    err << "Serving the demo site " << site << " at " << root << '\n';

    Session session(startup);
    EntResearch research;
    research.research_type = EntResearch::SiteList;
    research.short_name = "demo " + std::to_string(port);
    research.research_description = "Demo harvest of the bundled demo site";
    research.search_site_list = root + "index.html";
    research.capture_list = "email\ntitulo\nmetatags\nfone";
    research.follow_indoor_links = 3;
    research.follow_external_links = 1;
    research.tipo_arquivo = "csv";
    research.creation_date = DateTime::Now();
    int exitCode = 0;
    if (!session.repository.InsertNew(research)) {
        err << "harvexa-cli demo: the research could not be stored\n";
        exitCode = 1;
    } else {
        RunTimerIntervals intervals;
        intervals.garbage = 300;
        intervals.topUp = 300;
        intervals.threads = 500;
        const RunOutcome outcome = RunResearch(session, research, intervals, false, err);
        out << "research " << research.id_research << " \"" << research.short_name
            << "\": " << StepName(outcome.researchStep) << '\n';
        PrintCaptureFiles(outcome, out);
        exitCode = outcome.started ? 0 : 1;
    }
    server.stop();
    serving.join();
    return exitCode;
}

} // namespace harvexa
