#include "core/tables/CellValue.h"

#include "core/TextEncoding.h"

#include <charconv>
#include <limits>

namespace harvexa {

namespace {

template <class... Ts> struct Overloaded : Ts... { using Ts::operator()...; };
template <class... Ts> Overloaded(Ts...) -> Overloaded<Ts...>;

std::string_view TrimBlanks(std::string_view text) {
    auto blank = [](char c) {
        return c == ' ' || c == '\t' || c == '\r' || c == '\n';
    };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    return text;
}

std::optional<bool> ParseBoolText(std::string_view text) {
    text = TrimBlanks(text);
    std::string lower(text);
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c + 32);
    }
    if (lower == "true" || lower == "1")
        return true;
    if (lower == "false" || lower == "0")
        return false;
    return std::nullopt;
}

// Cuts UTF-8 text after `maxChars` code points.
std::string CutToCharacters(std::string text, int maxChars) {
    if (maxChars <= 0 || text.size() <= static_cast<std::size_t>(maxChars))
        return text;
    int count = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if ((byte & 0xC0) != 0x80) {
            if (count == maxChars) {
                text.resize(i);
                return text;
            }
            ++count;
        }
    }
    return text;
}

unsigned char FoldAscii(unsigned char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + 32) : c;
}

int CompareText(std::string_view a, std::string_view b) {
    const std::size_t n = a.size() < b.size() ? a.size() : b.size();
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned char x = FoldAscii(static_cast<unsigned char>(a[i]));
        const unsigned char y = FoldAscii(static_cast<unsigned char>(b[i]));
        if (x != y)
            return x < y ? -1 : 1;
    }
    if (a.size() != b.size())
        return a.size() < b.size() ? -1 : 1;
    const int bytes = a.compare(b);
    return bytes < 0 ? -1 : (bytes > 0 ? 1 : 0);
}

template <class T> int Spaceship(const T& a, const T& b) {
    return a < b ? -1 : (b < a ? 1 : 0);
}

std::optional<CellValue> Fail(std::string* why, std::string reason) {
    if (why)
        *why = std::move(reason);
    return std::nullopt;
}

std::optional<CellValue> IntegerForField(const FieldDef& field, std::int64_t value, std::string* why) {
    const bool small = field.type == FieldType::SmallInt;
    const std::int64_t low =
        small ? std::numeric_limits<std::int16_t>::min() : std::numeric_limits<std::int32_t>::min();
    const std::int64_t high =
        small ? std::numeric_limits<std::int16_t>::max() : std::numeric_limits<std::int32_t>::max();
    if (value < low || value > high)
        return Fail(why, std::to_string(value) + " is out of range for field '" + field.name + "'");
    return CellValue(static_cast<std::int32_t>(value));
}

} // namespace

CellView ViewOf(const CellValue& value) {
    return std::visit(Overloaded{[](std::monostate) -> CellView { return std::monostate{}; },
                                 [](std::int32_t v) -> CellView { return v; },
                                 [](bool v) -> CellView { return v; },
                                 [](const DateTime& v) -> CellView { return v; },
                                 [](const std::string& v) -> CellView {
                                     return std::string_view(v);
                                 }},
                      value);
}

std::optional<std::int64_t> ParseWholeNumber(std::string_view text) {
    text = TrimBlanks(text);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

std::string CellAsString(const CellView& value) {
    return std::visit(Overloaded{[](std::monostate) { return std::string(); },
                                 [](std::int32_t v) { return std::to_string(v); },
                                 [](bool v) { return std::string(v ? "True" : "False"); },
                                 [](const DateTime& v) { return v.ToDisplayText(); },
                                 [](std::string_view v) {
                                     return std::string(v);
                                 }},
                      value);
}

std::int32_t CellAsInteger(const CellView& value) {
    return std::visit(Overloaded{[](std::monostate) { return std::int32_t{0}; },
                                 [](std::int32_t v) { return v; },
                                 [](bool v) { return std::int32_t{v ? 1 : 0}; },
                                 [](const DateTime&) { return std::int32_t{0}; },
                                 [](std::string_view v) {
                                     const auto number = ParseWholeNumber(v);
                                     if (!number || *number < std::numeric_limits<std::int32_t>::min() ||
                                         *number > std::numeric_limits<std::int32_t>::max())
                                         return std::int32_t{0};
                                     return static_cast<std::int32_t>(*number);
                                 }},
                      value);
}

bool CellAsBool(const CellView& value) {
    return std::visit(Overloaded{[](std::monostate) { return false; }, [](std::int32_t v) { return v != 0; },
                                 [](bool v) { return v; }, [](const DateTime&) { return false; },
                                 [](std::string_view v) {
                                     return ParseBoolText(v).value_or(false);
                                 }},
                      value);
}

DateTime CellAsDateTime(const CellView& value) {
    if (const auto* date = std::get_if<DateTime>(&value))
        return *date;
    if (const auto* text = std::get_if<std::string_view>(&value))
        return DateTime::FromText(*text).value_or(DateTime());
    return DateTime();
}

std::optional<CellValue> ConvertForField(const FieldDef& field, const CellView& value, std::string* why) {
    if (IsNullCell(value))
        return CellValue();
    const auto* text = std::get_if<std::string_view>(&value);
    switch (field.type) {
    case FieldType::Text:
    case FieldType::Memo: {
        std::string result = text ? FileTextToUtf8(*text) : CellAsString(value);
        if (field.type == FieldType::Text)
            result = CutToCharacters(std::move(result), field.width);
        return CellValue(std::move(result));
    }
    case FieldType::Integer:
    case FieldType::SmallInt:
        if (const auto* number = std::get_if<std::int32_t>(&value))
            return IntegerForField(field, *number, why);
        if (const auto* flag = std::get_if<bool>(&value))
            return CellValue(std::int32_t{*flag ? 1 : 0});
        if (text) {
            if (TrimBlanks(*text).empty())
                return CellValue();
            if (const auto number = ParseWholeNumber(*text))
                return IntegerForField(field, *number, why);
            return Fail(why, "'" + std::string(*text) + "' is not a valid integer value for field '" +
                                 field.name + "'");
        }
        return Fail(why, "a date-time cannot be stored in the integer field '" + field.name + "'");
    case FieldType::Boolean:
        if (const auto* flag = std::get_if<bool>(&value))
            return CellValue(*flag);
        if (const auto* number = std::get_if<std::int32_t>(&value))
            return CellValue(*number != 0);
        if (text) {
            if (TrimBlanks(*text).empty())
                return CellValue();
            if (const auto flag = ParseBoolText(*text))
                return CellValue(*flag);
            return Fail(why, "'" + std::string(*text) + "' is not a valid Boolean value for field '" +
                                 field.name + "'");
        }
        return Fail(why, "a date-time cannot be stored in the Boolean field '" + field.name + "'");
    case FieldType::DateTime:
        if (const auto* date = std::get_if<DateTime>(&value))
            return CellValue(*date);
        if (text) {
            if (TrimBlanks(*text).empty())
                return CellValue();
            if (const auto date = DateTime::FromText(*text))
                return CellValue(*date);
            return Fail(why, "'" + std::string(*text) + "' is not a valid date-time value for field '" +
                                 field.name + "'");
        }
        return Fail(why, "only a date-time can be stored in the field '" + field.name + "'");
    }
    return Fail(why, "unknown type of field '" + field.name + "'");
}

std::optional<CellValue> ParseStoredText(FieldType type, std::string_view text) {
    switch (type) {
    case FieldType::Text:
    case FieldType::Memo:
        return CellValue(std::string(text));
    case FieldType::Integer:
    case FieldType::SmallInt: {
        const auto number = ParseWholeNumber(text);
        const std::int64_t low = type == FieldType::SmallInt ? std::numeric_limits<std::int16_t>::min()
                                                             : std::numeric_limits<std::int32_t>::min();
        const std::int64_t high = type == FieldType::SmallInt ? std::numeric_limits<std::int16_t>::max()
                                                              : std::numeric_limits<std::int32_t>::max();
        if (!number || *number < low || *number > high)
            return std::nullopt;
        return CellValue(static_cast<std::int32_t>(*number));
    }
    case FieldType::Boolean:
        if (const auto flag = ParseBoolText(text))
            return CellValue(*flag);
        return std::nullopt;
    case FieldType::DateTime:
        if (const auto date = DateTime::FromText(text))
            return CellValue(*date);
        return std::nullopt;
    }
    return std::nullopt;
}

int CompareCells(const CellView& a, const CellView& b) {
    const bool aNull = IsNullCell(a);
    const bool bNull = IsNullCell(b);
    if (aNull || bNull)
        return aNull == bNull ? 0 : (aNull ? -1 : 1);
    if (a.index() != b.index())
        return CompareText(CellAsString(a), CellAsString(b));
    if (const auto* x = std::get_if<std::int32_t>(&a))
        return Spaceship(*x, std::get<std::int32_t>(b));
    if (const auto* x = std::get_if<bool>(&a))
        return Spaceship(*x, std::get<bool>(b));
    if (const auto* x = std::get_if<DateTime>(&a))
        return Spaceship(*x, std::get<DateTime>(b));
    return CompareText(std::get<std::string_view>(a), std::get<std::string_view>(b));
}

} // namespace harvexa
