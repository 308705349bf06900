#pragma once

#include "core/tables/FieldDef.h"
#include "core/tables/IndexDef.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace harvexa {

// The layout of one table: its columns in stored order and its indexes.
class TableDef final {
public:
    TableDef() = default;
    TableDef(std::string name, std::string fileName, std::vector<FieldDef> fields,
             std::vector<IndexDef> indexes = {});

    const std::string& Name() const { return m_name; }
    // File name inside the application folder; empty for in-memory tables.
    const std::string& FileName() const { return m_fileName; }
    const std::vector<FieldDef>& Fields() const { return m_fields; }
    const std::vector<IndexDef>& Indexes() const { return m_indexes; }
    std::size_t FieldCount() const { return m_fields.size(); }
    const FieldDef& Field(std::size_t index) const { return m_fields[index]; }

    // Position of a field, the name compared ignoring ASCII case.
    std::optional<std::size_t> FieldIndex(std::string_view name) const;
    // The index of that name (ignoring case), or nullptr.
    const IndexDef* FindIndex(std::string_view name) const;

    void AddField(FieldDef field) { m_fields.push_back(std::move(field)); }
    void SetIndexes(std::vector<IndexDef> indexes) { m_indexes = std::move(indexes); }

private:
    std::string m_name;
    std::string m_fileName;
    std::vector<FieldDef> m_fields;
    std::vector<IndexDef> m_indexes;
};

// ASCII-only case-insensitive equality without copies.
bool SameNameIgnoringCase(std::string_view a, std::string_view b);

} // namespace harvexa
