#pragma once

#include "core/tables/CellValue.h"
#include "core/tables/FieldDef.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace harvexa {

class TableHandle;

// One field of a table handle's current row (or of the row being appended or edited).
// Reading never fails: an unknown field, no current row and null read as "", 0, false or the zero
// date-time (see CellAsString and friends). Assigning needs Append or Edit first; values are converted
// to the field's kind. A failed assignment returns false and also makes the next Post fail with the
// reason; TrySetString reports only through its result (for loaders that skip unsuitable values).
class FieldRef final {
public:
    FieldRef(TableHandle& table, std::optional<std::size_t> field, std::string name);

    bool Exists() const { return m_field.has_value(); }
    const FieldDef* Definition() const;

    CellView Cell() const;
    bool IsNull() const { return IsNullCell(Cell()); }
    std::string AsString() const { return CellAsString(Cell()); }
    std::int32_t AsInteger() const { return CellAsInteger(Cell()); }
    bool AsBool() const { return CellAsBool(Cell()); }
    DateTime AsDateTime() const { return CellAsDateTime(Cell()); }

    bool SetString(std::string_view value);
    bool SetInteger(std::int32_t value);
    bool SetBool(bool value);
    bool SetDateTime(const DateTime& value);
    bool Clear(); // null
    [[nodiscard]] bool TrySetString(std::string_view value);

private:
    bool Set(const CellView& value, bool reportOnPost);

    TableHandle* m_table;
    std::optional<std::size_t> m_field;
    std::string m_name;
};

} // namespace harvexa
