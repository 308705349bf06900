#include "CliApplication.h"

#include "AnalyseCommand.h"
#include "ConsoleMessagePresenter.h"
#include "ConsoleProgressView.h"
#include "ResearchCommands.h"
#include "core/CLLang.h"
#include "core/CoreStartup.h"

#include <memory>

namespace harvexa {

namespace {

constexpr const char* kUsage = R"(Usage: harvexa-cli [--yes] COMMAND [ARGUMENTS]

Harvests public contact data from the web; the headless twin of the desktop program "harvexa".
It uses the same application folder (HARVEXA_HOME, or the folder of the program).

Commands:
  config get SECTION KEY          print a value of config.ini
  config set SECTION KEY VALUE    change a value of config.ini
  new --name NAME --sites "URL ..." [options]   create an address-list research (new --help)
  list                            list the researches with their state and kind
  show ID|NAME                    print a research as JSON
  run ID|NAME [--restart]         begin or continue a research; Ctrl-C stops it, keeping its queue;
                                  --restart arms the restarter for memory-refresh and stall restarts
  ID                              continue research ID with the restarter armed (used by torvelle)
  demo                            serve the bundled demo site on loopback and harvest it
  analyse FILE --url URL [...]    analyse one saved page and print its facts as JSON

Options:
  --yes          answer yes to every question instead of no
  -h, --help     show this help
  --version      show the version
)";

} // namespace

int CliApplication::PrintHelp() {
    m_out << kUsage;
    return 0;
}

int CliApplication::PrintVersion() {
    m_out << "harvexa-cli " << HARVEXA_VERSION << '\n';
    return 0;
}

int CliApplication::Run(const std::vector<std::string>& args) {
    std::vector<std::string> rest;
    bool answerYes = false;
    for (const auto& arg : args) {
        if (arg == "-h" || arg == "--help")
            return PrintHelp();
        if (arg == "--version")
            return PrintVersion();
        if (arg == "--yes")
            answerYes = true;
        else
            rest.push_back(arg);
    }
    if (rest.empty()) {
        m_err << kUsage;
        return 2;
    }

    ConsoleMessagePresenter presenter(m_err, answerYes);
    ConsoleProgressView progress(m_err);
    CoreStartup startup({presenter, progress, progress});
    if (!startup.Start({})) {
        m_err << "harvexa-cli: start-up failed\n";
        return 1;
    }

    const std::string command = rest.front();
    const std::vector<std::string> commandArgs(rest.begin() + 1, rest.end());
    if (command == "config")
        return RunConfig(commandArgs);
    if (command == "new")
        return RunNewCommand(startup, commandArgs, m_out, m_err);
    if (command == "list")
        return RunListCommand(startup, m_out, m_err);
    if (command == "show")
        return RunShowCommand(startup, commandArgs, m_out, m_err);
    if (command == "run")
        return RunRunCommand(startup, commandArgs, m_out, m_err);
    // The restarter starts the program with the research id as its only argument.
    if (rest.size() == 1 && !command.empty() && command.find_first_not_of("0123456789") == std::string::npos)
        return RunRunCommand(startup, {command, "--restart"}, m_out, m_err);
    if (command == "demo")
        return RunDemoCommand(startup, commandArgs, m_out, m_err);
    if (command == "analyse")
        return RunAnalyseCommand(commandArgs, m_out, m_err);
    m_err << "harvexa-cli: unknown command '" << command << "'\n" << kUsage;
    return 2;
}

int CliApplication::RunConfig(const std::vector<std::string>& args) {
    CLLang lang;
    if (args.size() == 3 && args[0] == "get") {
        const auto value = lang.FindConfigValue(args[1], args[2]);
        if (!value) {
            m_err << "harvexa-cli: no key '" << args[2] << "' in section [" << args[1] << "] of "
                  << lang.ConfigPath() << '\n';
            return 1;
        }
        m_out << *value << '\n';
        return 0;
    }
    if (args.size() == 4 && args[0] == "set") {
        if (!lang.WriteConfigString(args[1], args[2], args[3])) {
            m_err << "harvexa-cli: cannot write " << lang.ConfigPath() << '\n';
            return 1;
        }
        return 0;
    }
    m_err << "usage: harvexa-cli config get SECTION KEY | config set SECTION KEY VALUE\n";
    return 2;
}

} // namespace harvexa
