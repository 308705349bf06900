#pragma once

#include "core/tables/TableHandle.h"

namespace harvexa {

// The factory of unattached table handles: a repository takes a new handle for one operation,
// binds it to a table file, uses it and drops it.
class CLConnection final {
public:
    TableHandle NewTable() const { return TableHandle(); }
};

} // namespace harvexa
