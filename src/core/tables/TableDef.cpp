#include "core/tables/TableDef.h"

namespace harvexa {

namespace {

char FoldAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}

} // namespace

bool SameNameIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (FoldAscii(a[i]) != FoldAscii(b[i]))
            return false;
    }
    return true;
}

TableDef::TableDef(std::string name, std::string fileName, std::vector<FieldDef> fields,
                   std::vector<IndexDef> indexes)
    : m_name(std::move(name))
    , m_fileName(std::move(fileName))
    , m_fields(std::move(fields))
    , m_indexes(std::move(indexes)) {}

std::optional<std::size_t> TableDef::FieldIndex(std::string_view name) const {
    for (std::size_t i = 0; i < m_fields.size(); ++i) {
        if (SameNameIgnoringCase(m_fields[i].name, name))
            return i;
    }
    return std::nullopt;
}

const IndexDef* TableDef::FindIndex(std::string_view name) const {
    for (const IndexDef& index : m_indexes) {
        if (SameNameIgnoringCase(index.name, name))
            return &index;
    }
    return nullptr;
}

} // namespace harvexa
