#pragma once

#include <string>

namespace harvexa {

// A named sort order on one field.
struct IndexDef {
    std::string name;
    std::string field;
    bool descending = false;
};

} // namespace harvexa
