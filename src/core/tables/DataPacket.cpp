#include "core/tables/DataPacket.h"

#include "core/AtomicFile.h"
#include "core/TextEncoding.h"

#include <charconv>
#include <filesystem>
#include <pugixml.hpp>

namespace harvexa {

namespace {

const char* TypeName(FieldType type) {
    switch (type) {
    case FieldType::Integer:
        return "i4";
    case FieldType::SmallInt:
        return "i2";
    case FieldType::Boolean:
        return "boolean";
    case FieldType::DateTime:
        return "dateTime";
    case FieldType::Text:
        return "string";
    case FieldType::Memo:
        return "bin.hex";
    }
    return "bin.hex";
}

FieldType TypeFromName(std::string_view name) {
    for (const char* integer : {"i4", "ui4", "i8", "ui2"}) {
        if (SameNameIgnoringCase(name, integer))
            return FieldType::Integer;
    }
    for (const char* small : {"i2", "i1", "ui1"}) {
        if (SameNameIgnoringCase(name, small))
            return FieldType::SmallInt;
    }
    if (SameNameIgnoringCase(name, "boolean"))
        return FieldType::Boolean;
    for (const char* date : {"dateTime", "date", "time", "SQLdateTime"}) {
        if (SameNameIgnoringCase(name, date))
            return FieldType::DateTime;
    }
    if (SameNameIgnoringCase(name, "string") || SameNameIgnoringCase(name, "string.uni"))
        return FieldType::Text;
    return FieldType::Memo;
}

// An attribute of `node` whose name equals `name` ignoring case.
pugi::xml_attribute AttributeIgnoringCase(const pugi::xml_node& node, std::string_view name) {
    for (pugi::xml_attribute attribute : node.attributes()) {
        if (SameNameIgnoringCase(attribute.name(), name))
            return attribute;
    }
    return {};
}

bool IsTrueText(const pugi::xml_attribute& attribute) {
    return attribute &&
           (SameNameIgnoringCase(attribute.value(), "true") || std::string_view(attribute.value()) == "1");
}

void AppendEscaped(std::string& out, std::string_view text) {
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            if (byte == 0) {
                // XML cannot carry NUL at all; it is dropped.
            } else if (byte < 0x20) {
                out += "&#";
                out += std::to_string(byte);
                out += ';';
            } else {
                out += c;
            }
        }
    }
}

void AppendNumber(std::string& out, std::int64_t value) {
    char buffer[24];
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
    (void)error;
    out.append(buffer, end);
}

void AppendValue(std::string& out, const CellView& value) {
    if (const auto* text = std::get_if<std::string_view>(&value))
        AppendEscaped(out, *text);
    else if (const auto* number = std::get_if<std::int32_t>(&value))
        AppendNumber(out, *number);
    else if (const auto* flag = std::get_if<bool>(&value))
        out += *flag ? "TRUE" : "FALSE";
    else if (const auto* date = std::get_if<DateTime>(&value))
        out += date->ToPacketText();
}

// Field names become ROW attribute names, so they must be XML names.
bool IsXmlName(std::string_view name) {
    if (name.empty())
        return false;
    for (std::size_t i = 0; i < name.size(); ++i) {
        const auto c = static_cast<unsigned char>(name[i]);
        const bool letter =
            (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c == ':' || c >= 0x80;
        const bool other = (c >= '0' && c <= '9') || c == '-' || c == '.';
        if (!letter && !(i > 0 && other))
            return false;
    }
    return true;
}

std::string StemOf(const std::string& sourceName) {
    return std::filesystem::path(sourceName).stem().string();
}

TableResult ReadFields(const pugi::xml_node& fieldsNode, const TableDef* definition,
                       const std::string& sourceName, TableDef& schema, std::vector<std::string>& columnNames,
                       std::vector<std::size_t>& columnFields) {
    schema = definition ? *definition : TableDef(StemOf(sourceName), {}, {});
    for (pugi::xml_node field : fieldsNode.children()) {
        if (!SameNameIgnoringCase(field.name(), "FIELD"))
            continue;
        const std::string name = AttributeIgnoringCase(field, "attrname").value();
        if (!IsXmlName(name))
            return TableResult::Failure(TableError::NotDataPacket,
                                        sourceName + ": a FIELD has no usable attrname ('" + name + "')");
        for (const std::string& seen : columnNames) {
            if (SameNameIgnoringCase(seen, name))
                return TableResult::Failure(TableError::NotDataPacket,
                                            sourceName + ": the field '" + name + "' is listed twice");
        }
        std::size_t position = 0;
        if (const auto known = schema.FieldIndex(name); known && definition) {
            position = *known;
        } else {
            FieldDef def;
            def.name = name;
            def.type = TypeFromName(AttributeIgnoringCase(field, "fieldtype").value());
            def.width = AttributeIgnoringCase(field, "WIDTH").as_int(0);
            if (def.type != FieldType::Text)
                def.width = 0;
            def.required = IsTrueText(AttributeIgnoringCase(field, "required"));
            position = schema.FieldCount();
            schema.AddField(std::move(def));
        }
        columnNames.push_back(name);
        columnFields.push_back(position);
    }
    return TableResult::Ok();
}

std::vector<IndexDef> ReadIndexes(const pugi::xml_node& params) {
    std::vector<IndexDef> indexes;
    for (pugi::xml_node index : params.children()) {
        if (!SameNameIgnoringCase(index.name(), "INDEXDEF"))
            continue;
        IndexDef def;
        def.name = AttributeIgnoringCase(index, "name").value();
        def.field = AttributeIgnoringCase(index, "field").value();
        def.descending = IsTrueText(AttributeIgnoringCase(index, "descending"));
        if (!def.name.empty() && !def.field.empty())
            indexes.push_back(std::move(def));
    }
    return indexes;
}

// Position in `columnNames` of a ROW attribute, trying the expected position first.
std::optional<std::size_t> ColumnOf(const std::vector<std::string>& columnNames, const char* name,
                                    std::size_t expected) {
    if (expected < columnNames.size() && columnNames[expected] == name)
        return expected;
    for (std::size_t i = 0; i < columnNames.size(); ++i) {
        if (SameNameIgnoringCase(columnNames[i], name))
            return i;
    }
    return std::nullopt;
}

} // namespace

TableResult ParseDataPacket(std::string text, const TableDef* definition, const std::string& sourceName,
                            DataPacketContents& out) {
    if (!IsValidUtf8(text))
        text = Windows1252ToUtf8(text);
    std::size_t skip = 0;
    if (text.size() >= 3 && text.compare(0, 3, "\xEF\xBB\xBF") == 0)
        skip = 3;

    pugi::xml_document document;
    const pugi::xml_parse_result parsed =
        document.load_buffer_inplace(text.data() + skip, text.size() - skip,
                                     pugi::parse_minimal | pugi::parse_escapes, pugi::encoding_utf8);
    if (!parsed) {
        return TableResult::Failure(TableError::NotXml, sourceName + " is not a readable XML file (" +
                                                            parsed.description() + " at byte " +
                                                            std::to_string(parsed.offset + skip) + ")");
    }
    const pugi::xml_node packet = document.document_element();
    const pugi::xml_node fieldsNode = packet.child("METADATA").child("FIELDS");
    if (std::string_view(packet.name()) != "DATAPACKET" || !fieldsNode) {
        return TableResult::Failure(
            TableError::NotDataPacket,
            sourceName + " is XML but not a table data packet (no DATAPACKET/METADATA/FIELDS)");
    }

    DataPacketContents contents;
    std::vector<std::string> columnNames;
    std::vector<std::size_t> columnFields;
    if (TableResult fields =
            ReadFields(fieldsNode, definition, sourceName, contents.schema, columnNames, columnFields);
        !fields)
        return fields;
    if (!definition)
        contents.schema.SetIndexes(ReadIndexes(packet.child("METADATA").child("PARAMS")));

    std::vector<CellValue> values;
    std::size_t rowNumber = 0;
    for (pugi::xml_node row : packet.child("ROWDATA").children("ROW")) {
        ++rowNumber;
        values.assign(contents.schema.FieldCount(), CellValue());
        std::size_t expected = 0;
        for (pugi::xml_attribute attribute : row.attributes()) {
            const auto column = ColumnOf(columnNames, attribute.name(), expected);
            if (!column)
                continue; // RowState and names the layout does not know
            expected = *column + 1;
            const std::size_t field = columnFields[*column];
            auto value = ParseStoredText(contents.schema.Field(field).type, attribute.value());
            if (!value) {
                return TableResult::Failure(TableError::BadValue,
                                            sourceName + ": row " + std::to_string(rowNumber) + ": '" +
                                                attribute.value() + "' is not a valid value for field '" +
                                                contents.schema.Field(field).name + "'");
            }
            values[field] = std::move(*value);
        }
        contents.rows.push_back(PackedRow::Pack(values));
    }
    out = std::move(contents);
    return TableResult::Ok();
}

TableResult ReadDataPacketFile(const std::string& path, const TableDef* definition, DataPacketContents& out) {
    std::error_code error;
    if (!std::filesystem::exists(path, error))
        return TableResult::Failure(TableError::FileMissing, "The table file " + path + " does not exist");
    std::string text;
    if (!std::filesystem::is_regular_file(path, error) || !ReadWholeFile(path, text))
        return TableResult::Failure(TableError::ReadFailed, "The table file " + path + " cannot be read");
    return ParseDataPacket(std::move(text), definition, path, out);
}

std::string SerializeDataPacket(const TableDef& schema, std::span<const PackedRow* const> rows) {
    std::string out;
    out.reserve(1024 + rows.size() * 128);
    out += "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n";
    out += "<DATAPACKET Version=\"2.0\">\n<METADATA>\n<FIELDS>\n";
    for (const FieldDef& field : schema.Fields()) {
        out += "<FIELD attrname=\"";
        AppendEscaped(out, field.name);
        out += "\" fieldtype=\"";
        out += TypeName(field.type);
        out += '"';
        if (field.type == FieldType::Memo)
            out += " SUBTYPE=\"Text\"";
        if (field.type == FieldType::Text && field.width > 0) {
            out += " WIDTH=\"";
            AppendNumber(out, field.width);
            out += '"';
        }
        if (field.required)
            out += " required=\"true\"";
        out += "/>\n";
    }
    out += "</FIELDS>\n<PARAMS>\n";
    for (const IndexDef& index : schema.Indexes()) {
        out += "<INDEXDEF name=\"";
        AppendEscaped(out, index.name);
        out += "\" field=\"";
        AppendEscaped(out, index.field);
        out += index.descending ? "\" descending=\"true\"/>\n" : "\"/>\n";
    }
    out += "</PARAMS>\n</METADATA>\n<ROWDATA>\n";
    const std::size_t count = schema.FieldCount();
    for (const PackedRow* row : rows) {
        out += "<ROW";
        for (std::size_t i = 0; i < count; ++i) {
            const CellView value = row->Cell(i);
            if (IsNullCell(value))
                continue;
            out += ' ';
            out += schema.Field(i).name;
            out += "=\"";
            AppendValue(out, value);
            out += '"';
        }
        out += "/>\n";
    }
    out += "</ROWDATA>\n</DATAPACKET>\n";
    return out;
}

TableResult WriteDataPacketFile(const std::string& path, const TableDef& schema,
                                std::span<const PackedRow* const> rows) {
    if (!WriteFileAtomically(path, SerializeDataPacket(schema, rows)))
        return TableResult::Failure(TableError::WriteFailed,
                                    "The table file " + path + " could not be written");
    return TableResult::Ok();
}

} // namespace harvexa
