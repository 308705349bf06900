#pragma once

#include "core/tables/CellValue.h"
#include "core/tables/PackedRow.h"
#include "core/tables/TableDef.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace harvexa {

// Read access to one stored row. Valid while the row and its table are unchanged.
// Fields are given by position or by name (ignoring case); an unknown name reads as null.
class RowView final {
public:
    RowView(const TableDef& schema, const PackedRow& row)
        : m_schema(&schema)
        , m_row(&row) {}

    const TableDef& Schema() const { return *m_schema; }

    CellView Cell(std::size_t field) const { return m_row->Cell(field); }
    CellView Cell(std::string_view name) const;

    bool IsNull(std::size_t field) const { return IsNullCell(Cell(field)); }
    bool IsNull(std::string_view name) const { return IsNullCell(Cell(name)); }
    std::string AsString(std::size_t field) const { return CellAsString(Cell(field)); }
    std::string AsString(std::string_view name) const { return CellAsString(Cell(name)); }
    // The stored text of a text or memo field without a copy; empty for other kinds and null.
    std::string_view Text(std::size_t field) const;
    std::string_view Text(std::string_view name) const;
    std::int32_t AsInteger(std::size_t field) const { return CellAsInteger(Cell(field)); }
    std::int32_t AsInteger(std::string_view name) const { return CellAsInteger(Cell(name)); }
    bool AsBool(std::size_t field) const { return CellAsBool(Cell(field)); }
    bool AsBool(std::string_view name) const { return CellAsBool(Cell(name)); }
    DateTime AsDateTime(std::size_t field) const { return CellAsDateTime(Cell(field)); }
    DateTime AsDateTime(std::string_view name) const { return CellAsDateTime(Cell(name)); }

private:
    const TableDef* m_schema;
    const PackedRow* m_row;
};

} // namespace harvexa
