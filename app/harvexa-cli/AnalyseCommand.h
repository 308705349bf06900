#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace harvexa {

// harvexa-cli analyse FILE --url URL [--emails] [--title] [--meta] [--phones] [--all]
//     [--result-engine ENGINE.ini] [--content-type TYPE] [--repeated-emails VALUE]
//     [--phone-keywords FILE] [--fax-keywords FILE]
// Analyses one saved page as a capture worker would and prints its page facts as JSON.
// args are the words after "analyse". Returns 0 on success, 1 when the page cannot be analysed,
// 2 for wrong usage.
int RunAnalyseCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace harvexa
