#include "research/ResearchLinkFiles.h"

namespace harvexa {

std::string PendingLinksFileName(const std::string& folder, int researchId) {
    return folder + "d" + std::to_string(researchId) + "-lack.dat";
}

std::string ProcessedLinksFileName(const std::string& folder, int researchId) {
    return folder + "d" + std::to_string(researchId) + "-lack_p.dat";
}

} // namespace harvexa
