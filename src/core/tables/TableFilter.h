#pragma once

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace harvexa {

// A typed row filter: conditions joined by "and". Values are never spliced into an expression, so
// any text (quotes included) can be compared.
//
// Matching: an integer value matches integer fields numerically, Boolean fields as 0 = false and
// anything else = true, and text fields by its decimal text. A text value matches text and memo fields
// exactly (byte for byte, letter case counts), with a null field reading as ""; for integer, Boolean
// and date-time fields the text is read as such a value, and a text that is none makes the filter
// invalid (Open or SetFilter fails). A null non-text field equals nothing. NotEquals is the opposite of
// Equals. A filter naming an unknown field is invalid.
class TableFilter final {
public:
    enum class Op { Equals, NotEquals };
    using Value = std::variant<std::int32_t, std::string>;
    struct Condition {
        std::string field;
        Op op = Op::Equals;
        Value value;
    };

    TableFilter() = default; // matches every row
    explicit TableFilter(Condition condition) { m_conditions.push_back(std::move(condition)); }

    // Rows must also match `other`.
    TableFilter& And(const TableFilter& other);

    bool IsEmpty() const { return m_conditions.empty(); }
    const std::vector<Condition>& Conditions() const { return m_conditions; }

private:
    std::vector<Condition> m_conditions;
};

TableFilter FilterEquals(std::string field, std::int32_t value);
TableFilter FilterEquals(std::string field, std::string value);
TableFilter FilterEquals(std::string field, const char* value);
TableFilter FilterNotEquals(std::string field, std::int32_t value);
TableFilter FilterNotEquals(std::string field, std::string value);
TableFilter FilterNotEquals(std::string field, const char* value);

} // namespace harvexa
