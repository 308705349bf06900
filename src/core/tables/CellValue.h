#pragma once

#include "core/tables/DateTime.h"
#include "core/tables/FieldDef.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace harvexa {

// One value of a row; std::monostate is null. Integer and small-integer fields hold int32_t,
// Boolean fields bool, date-time fields DateTime, text and memo fields std::string (UTF-8).
using CellValue = std::variant<std::monostate, std::int32_t, bool, DateTime, std::string>;

// The same without owning the text; valid while the row it was read from is unchanged.
using CellView = std::variant<std::monostate, std::int32_t, bool, DateTime, std::string_view>;

CellView ViewOf(const CellValue& value);
inline bool IsNullCell(const CellView& value) {
    return std::holds_alternative<std::monostate>(value);
}

// Reading a value as another kind never fails: null reads as "", 0, false or the zero date-time;
// text that is not a number reads as 0; Booleans read as "True"/"False" and 1/0;
// date-times read as "YYYY-MM-DD HH:MM:SS".
std::string CellAsString(const CellView& value);
std::int32_t CellAsInteger(const CellView& value);
bool CellAsBool(const CellView& value);
DateTime CellAsDateTime(const CellView& value);

// Converts an assigned value to what `field` stores. Empty text assigned to a non-text field makes it
// null; text for a text field is made valid UTF-8 (a non-UTF-8 value is taken as Windows-1252) and cut
// to the field's width in characters. nullopt when the value does not suit the field (text that is not
// a number for an integer field, a small integer out of range, ...); `why` then tells the reason.
std::optional<CellValue> ConvertForField(const FieldDef& field, const CellView& value,
                                         std::string* why = nullptr);

// Reads a value as written in a table file (decimal numbers, "TRUE"/"FALSE", the packet date-time
// form); text is taken whole. nullopt when the text does not suit the type.
std::optional<CellValue> ParseStoredText(FieldType type, std::string_view text);

// Whole decimal number, blanks around it allowed.
std::optional<std::int64_t> ParseWholeNumber(std::string_view text);

// Sort order of two values of one field: null first, then "" for text; text compares ignoring ASCII
// letter case and, when equal so, by its bytes. Returns <0, 0 or >0.
int CompareCells(const CellView& a, const CellView& b);

} // namespace harvexa
