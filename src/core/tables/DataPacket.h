#pragma once

#include "core/tables/PackedRow.h"
#include "core/tables/TableDef.h"
#include "core/tables/TableResult.h"

#include <span>
#include <string>
#include <vector>

// Table files are XML data packets, UTF-8, written whole and atomically:
//
//   <?xml version="1.0" encoding="UTF-8" standalone="yes"?>
//   <DATAPACKET Version="2.0">
//   <METADATA>
//   <FIELDS>
//   <FIELD attrname="id_lack_sites" fieldtype="i4"/>
//   <FIELD attrname="lack_sites" fieldtype="bin.hex" SUBTYPE="Text"/>
//   <FIELD attrname="id_research" fieldtype="i4" required="true"/>
//   <FIELD attrname="short_name" fieldtype="string" WIDTH="64"/>
//   </FIELDS>
//   <PARAMS>
//   <INDEXDEF name="short_nameDesc" field="short_name" descending="true"/>
//   </PARAMS>
//   </METADATA>
//   <ROWDATA>
//   <ROW id_lack_sites="7" lack_sites="http://a.example/?q=&quot;x&quot;&#13;&#10;" id_research="3"/>
//   </ROWDATA>
//   </DATAPACKET>
//
// fieldtype: "i4" integer, "i2" small integer, "boolean" (values "TRUE"/"FALSE"), "dateTime" (values
// "YYYYMMDDTHH:MM:SSmmm"), "string" with WIDTH in characters, "bin.hex" SUBTYPE="Text" for memo (the
// text itself, escaped). A ROW carries one attribute per non-null field; tab, line feed, carriage
// return and other control characters are written as character references so they survive reading.
//
// Reading is lenient where that loses nothing: attribute names of FIELD and the field names in ROW
// match ignoring case; "RowState" and other unknown ROW attributes are ignored; "ui1", "i1", "ui2",
// "ui4", "i8" read as integers, "date"/"time"/"SQLdateTime" as date-times, any other type as memo;
// a file that is not valid UTF-8 is taken as Windows-1252 (files brought from the Windows program).
namespace harvexa {

struct DataPacketContents {
    TableDef schema;
    std::vector<PackedRow> rows;
};

// Reads packet text. With a definition, the table has the definition's fields, types and indexes in its
// order, followed by any further fields the file has (kept so that a rewrite does not drop them);
// fields of the definition the file lacks are null. Without one, the file's own layout is used.
// `sourceName` names the file in failure messages.
[[nodiscard]] TableResult ParseDataPacket(std::string text, const TableDef* definition,
                                          const std::string& sourceName, DataPacketContents& out);

[[nodiscard]] TableResult ReadDataPacketFile(const std::string& path, const TableDef* definition,
                                             DataPacketContents& out);

// The packet text of `rows` (in this order) under `schema`.
std::string SerializeDataPacket(const TableDef& schema, std::span<const PackedRow* const> rows);

// Writes the packet through a temporary file and a rename, so the old file stays whole on any failure.
[[nodiscard]] TableResult WriteDataPacketFile(const std::string& path, const TableDef& schema,
                                              std::span<const PackedRow* const> rows);

} // namespace harvexa
