#include "analysis/FlattenText.h"

#include "analysis/TextScan.h"

namespace harvexa {

std::string FlattenText(std::string_view text) {
    using analysis::ReplaceAll;
    std::string flat = ReplaceAll(text, "\r\n", " ");
    flat = ReplaceAll(flat, "\r", " ");
    flat = ReplaceAll(flat, "\n", " ");
    flat = ReplaceAll(flat, "\t", " ");
    return analysis::RemoveBytes(flat, "\"");
}

} // namespace harvexa
