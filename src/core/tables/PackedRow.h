#pragma once

#include "core/tables/CellValue.h"

#include <cstddef>
#include <memory>
#include <span>
#include <vector>

namespace harvexa {

// One stored row in a single heap block: the field count, each field's end offset and kind, then the
// values back to back (4-byte integers, 1-byte Booleans, 8-byte date-time keys, raw UTF-8 text).
// Keeps a million workbench rows at one allocation each, with no per-cell overhead beyond the text.
class PackedRow final {
public:
    PackedRow() = default;
    static PackedRow Pack(std::span<const CellValue> values);

    // A row whose storage was released (deleted) or never packed.
    bool IsEmpty() const { return !m_block; }
    void Release() { m_block.reset(); }

    std::size_t FieldCount() const;
    // Null for a field beyond the row's count (a column added after the row was stored).
    CellView Cell(std::size_t field) const;
    void Unpack(std::vector<CellValue>& values) const; // resized to FieldCount()

private:
    std::unique_ptr<unsigned char[]> m_block;
};

} // namespace harvexa
