#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace harvexa {

class CoreStartup;

// harvexa-cli new | list | show ID | run ID|NAME | demo. `args` are the words after the command.
// Return the exit code: 0 done, 1 failure, 2 wrong usage.
int RunNewCommand(CoreStartup& startup, const std::vector<std::string>& args, std::ostream& out,
                  std::ostream& err);
int RunListCommand(CoreStartup& startup, std::ostream& out, std::ostream& err);
int RunShowCommand(CoreStartup& startup, const std::vector<std::string>& args, std::ostream& out,
                   std::ostream& err);
int RunRunCommand(CoreStartup& startup, const std::vector<std::string>& args, std::ostream& out,
                  std::ostream& err);
int RunDemoCommand(CoreStartup& startup, const std::vector<std::string>& args, std::ostream& out,
                   std::ostream& err);

} // namespace harvexa
