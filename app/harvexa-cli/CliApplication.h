#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace harvexa {

// The headless program: parses its arguments, runs one command and returns the exit code.
class CliApplication final {
public:
    CliApplication(std::ostream& out, std::ostream& err) : m_out(out), m_err(err) {}

    int Run(const std::vector<std::string>& args);

private:
    int PrintHelp();
    int PrintVersion();
    int RunConfig(const std::vector<std::string>& args);

    std::ostream& m_out;
    std::ostream& m_err;
};

} // namespace harvexa
