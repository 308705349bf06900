#include "core/tables/FieldRef.h"

#include "core/tables/TableHandle.h"

namespace harvexa {

FieldRef::FieldRef(TableHandle& table, std::optional<std::size_t> field, std::string name)
    : m_table(&table)
    , m_field(field)
    , m_name(std::move(name)) {}

const FieldDef* FieldRef::Definition() const {
    return m_field && *m_field < m_table->Schema().FieldCount() ? &m_table->Schema().Field(*m_field)
                                                                : nullptr;
}

CellView FieldRef::Cell() const {
    return m_field ? m_table->CurrentCell(*m_field) : CellView(std::monostate{});
}

bool FieldRef::Set(const CellView& value, bool reportOnPost) {
    if (!m_field) {
        if (reportOnPost)
            m_table->NoteAssignFailure("Field '" + m_name + "' not found");
        return false;
    }
    return m_table->Assign(*m_field, value, reportOnPost);
}

bool FieldRef::SetString(std::string_view value) {
    return Set(CellView(std::in_place_type<std::string_view>, value), true);
}
bool FieldRef::SetInteger(std::int32_t value) {
    return Set(CellView(std::in_place_type<std::int32_t>, value), true);
}
bool FieldRef::SetBool(bool value) {
    return Set(CellView(std::in_place_type<bool>, value), true);
}
bool FieldRef::SetDateTime(const DateTime& value) {
    return Set(CellView(std::in_place_type<DateTime>, value), true);
}
bool FieldRef::Clear() {
    return Set(CellView(std::monostate{}), true);
}
bool FieldRef::TrySetString(std::string_view value) {
    return Set(CellView(std::in_place_type<std::string_view>, value), false);
}

} // namespace harvexa
