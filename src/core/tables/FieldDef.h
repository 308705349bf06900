#pragma once

#include <string>

namespace harvexa {

// The value kinds a table column can hold.
enum class FieldType {
    Integer,  // 32-bit signed
    SmallInt, // 16-bit signed
    Boolean,
    DateTime,
    Text, // at most `width` characters
    Memo, // text of any length
};

// One column of a table. Names are matched ignoring ASCII letter case.
struct FieldDef {
    std::string name;
    FieldType type = FieldType::Memo;
    int width = 0; // characters, Text only
    bool required = false;
    std::string displayLabel; // empty: the grid shows the name
};

} // namespace harvexa
