#pragma once

#include <optional>

namespace harvexa {

class TableHandle;

// The id counter in tbGenerator: one row whose field `index` is the next id to hand out.
class RepGenerator final {
public:
    // `generatorTable` is the data module's tbGenerator; it must outlive the repository.
    explicit RepGenerator(TableHandle& generatorTable)
        : m_table(generatorTable) {}

    // Reads the file, hands out `index` (0 for a table without a row) and stores `index` + 1.
    // nullopt when the file cannot be read or written, or holds no usable counter: the caller must
    // not store a record then. A failed call hands out nothing and leaves the file as it was.
    [[nodiscard]] std::optional<int> NextId();

private:
    TableHandle& m_table;
};

} // namespace harvexa
