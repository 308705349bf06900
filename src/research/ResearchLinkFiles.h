#pragma once

#include <string>

namespace harvexa {

// The two link files of a research in `folder` (which ends with "/"): "d<id>-lack.dat" holds its
// pending links, "d<id>-lack_p.dat" the links a run started to process.
std::string PendingLinksFileName(const std::string& folder, int researchId);
std::string ProcessedLinksFileName(const std::string& folder, int researchId);

} // namespace harvexa
