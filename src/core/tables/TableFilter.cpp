#include "core/tables/TableFilter.h"

namespace harvexa {

TableFilter& TableFilter::And(const TableFilter& other) {
    m_conditions.insert(m_conditions.end(), other.m_conditions.begin(), other.m_conditions.end());
    return *this;
}

TableFilter FilterEquals(std::string field, std::int32_t value) {
    return TableFilter({std::move(field), TableFilter::Op::Equals, value});
}

TableFilter FilterEquals(std::string field, std::string value) {
    return TableFilter({std::move(field), TableFilter::Op::Equals, std::move(value)});
}

TableFilter FilterEquals(std::string field, const char* value) {
    return FilterEquals(std::move(field), std::string(value ? value : ""));
}

TableFilter FilterNotEquals(std::string field, std::int32_t value) {
    return TableFilter({std::move(field), TableFilter::Op::NotEquals, value});
}

TableFilter FilterNotEquals(std::string field, std::string value) {
    return TableFilter({std::move(field), TableFilter::Op::NotEquals, std::move(value)});
}

TableFilter FilterNotEquals(std::string field, const char* value) {
    return FilterNotEquals(std::move(field), std::string(value ? value : ""));
}

} // namespace harvexa
