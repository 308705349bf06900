#include "core/tables/DataPacket.h"

#include "core/tables/TableDefinitions.h"
#include "core/tables/TableHandle.h"
#include "support/TempAppFolder.h"

#include <gtest/gtest.h>

namespace harvexa {
namespace {

using test::TempAppFolder;

// One field of every kind.
const TableDef& EveryKindDef() {
    static const TableDef def("tbKinds", "tbKinds.xml",
                              {{"id", FieldType::Integer, 0, true, {}},
                               {"small", FieldType::SmallInt, 0, false, {}},
                               {"flag", FieldType::Boolean, 0, false, {}},
                               {"when", FieldType::DateTime, 0, false, {}},
                               {"name", FieldType::Text, 20, false, {}},
                               {"notes", FieldType::Memo, 0, false, {}}},
                              {{"name", "name", false}});
    return def;
}

std::string PacketWithRow(const std::string& fieldsAndRow) {
    return "<?xml version=\"1.0\" standalone=\"yes\"?>\n<DATAPACKET Version=\"2.0\"><METADATA><FIELDS>"
           "<FIELD attrname=\"id_lack_sites\" fieldtype=\"i4\"/>"
           "<FIELD attrname=\"lack_sites\" fieldtype=\"bin.hex\" SUBTYPE=\"Text\"/>"
           "<FIELD attrname=\"id_research\" fieldtype=\"i4\" required=\"true\"/>"
           "<FIELD attrname=\"nivel\" fieldtype=\"i4\"/>"
           "<FIELD attrname=\"tipo_lack_site\" fieldtype=\"i4\"/>"
           "</FIELDS><PARAMS/></METADATA><ROWDATA>" +
           fieldsAndRow + "</ROWDATA></DATAPACKET>";
}

TEST(DataPacket, EveryKindRoundTripsIncludingNull) {
    TempAppFolder app(TempAppFolder::Contents::Empty);
    const std::string memo = "line one\r\nline two\n\ttabbed \"double\" 'single' <tag> & &amp; ]]> "
                             "é ção 日本 😀 \x01 end ";
    const DateTime when = *DateTime::FromParts(2026, 12, 11, 14, 5, 0, 250);
    {
        TableHandle table;
        table.BindFile(app.File("tbKinds.xml"), EveryKindDef());
        ASSERT_TRUE(table.CreateEmpty());
        ASSERT_TRUE(table.Append());
        table.Field("id").SetInteger(-2147483647 - 1);
        table.Field("small").SetInteger(-32768);
        table.Field("flag").SetBool(true);
        table.Field("when").SetDateTime(when);
        table.Field("name").SetString("O'Brien & \"Sons\"");
        table.Field("notes").SetString(memo);
        ASSERT_TRUE(table.Post());
        ASSERT_TRUE(table.Append());
        table.Field("id").SetInteger(2147483647);
        table.Field("flag").SetBool(false);
        table.Field("name").SetString("");
        ASSERT_TRUE(table.Post()); // small, when, notes stay null
        ASSERT_TRUE(table.Close());
    }
    TableHandle table;
    table.BindFile(app.File("tbKinds.xml"), EveryKindDef());
    ASSERT_TRUE(table.Open());
    ASSERT_EQ(table.RecordCount(), 2u);
    EXPECT_EQ(table.Field("id").AsInteger(), -2147483647 - 1);
    EXPECT_EQ(table.Field("small").AsInteger(), -32768);
    EXPECT_TRUE(table.Field("flag").AsBool());
    EXPECT_EQ(table.Field("when").AsDateTime(), when);
    EXPECT_EQ(table.Field("name").AsString(), "O'Brien & \"Sons\"");
    EXPECT_EQ(table.Field("notes").AsString(), memo);
    table.Next();
    EXPECT_EQ(table.Field("id").AsInteger(), 2147483647);
    EXPECT_TRUE(table.Field("small").IsNull());
    EXPECT_FALSE(table.Field("flag").IsNull());
    EXPECT_FALSE(table.Field("flag").AsBool());
    EXPECT_TRUE(table.Field("when").IsNull());
    EXPECT_FALSE(table.Field("name").IsNull());
    EXPECT_EQ(table.Field("name").AsString(), "");
    EXPECT_TRUE(table.Field("notes").IsNull());
    EXPECT_TRUE(table.Close());
}

TEST(DataPacket, WrittenFileHasTheDataPacketLayout) {
    TempAppFolder app(TempAppFolder::Contents::Empty);
    TableHandle table;
    table.BindFile(app.File("tbKinds.xml"), EveryKindDef());
    ASSERT_TRUE(table.CreateEmpty());
    ASSERT_TRUE(table.Append());
    table.Field("id").SetInteger(7);
    table.Field("flag").SetBool(true);
    table.Field("when").SetDateTime(*DateTime::FromParts(2026, 12, 11, 14, 5));
    table.Field("notes").SetString("a\nb");
    ASSERT_TRUE(table.Post());
    ASSERT_TRUE(table.Close());
    EXPECT_EQ(app.ReadFile("tbKinds.xml"),
              "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
              "<DATAPACKET Version=\"2.0\">\n<METADATA>\n<FIELDS>\n"
              "<FIELD attrname=\"id\" fieldtype=\"i4\" required=\"true\"/>\n"
              "<FIELD attrname=\"small\" fieldtype=\"i2\"/>\n"
              "<FIELD attrname=\"flag\" fieldtype=\"boolean\"/>\n"
              "<FIELD attrname=\"when\" fieldtype=\"dateTime\"/>\n"
              "<FIELD attrname=\"name\" fieldtype=\"string\" WIDTH=\"20\"/>\n"
              "<FIELD attrname=\"notes\" fieldtype=\"bin.hex\" SUBTYPE=\"Text\"/>\n"
              "</FIELDS>\n<PARAMS>\n<INDEXDEF name=\"name\" field=\"name\"/>\n</PARAMS>\n</METADATA>\n"
              "<ROWDATA>\n<ROW id=\"7\" flag=\"TRUE\" when=\"20261211T14:05:00000\" notes=\"a&#10;b\"/>\n"
              "</ROWDATA>\n</DATAPACKET>\n");
}

TEST(DataPacket, ReadsUtf8AndWindows1252Files) {
    TempAppFolder app(TempAppFolder::Contents::Empty);
    app.WriteFile(
        "utf8.xml",
        PacketWithRow("<ROW id_research=\"1\" lack_sites=\"http://caf\xC3\xA9.example/\xE2\x82\xAC\"/>"));
    app.WriteFile("cp1252.xml",
                  PacketWithRow("<ROW id_research=\"1\" lack_sites=\"http://caf\xE9.example/\x80\"/>"));
    for (const char* file : {"utf8.xml", "cp1252.xml"}) {
        SCOPED_TRACE(file);
        TableHandle table;
        table.BindFile(app.File(file), LackSitesTableDef());
        ASSERT_TRUE(table.Open());
        EXPECT_EQ(table.Field("lack_sites").AsString(), "http://café.example/€");
        EXPECT_TRUE(table.Close());
    }
}

TEST(DataPacket, FilesThatAreNoTablesFailClearly) {
    struct Case {
        const char* name;
        std::string contents;
        TableError error;
    };
    const Case cases[] = {
        {"empty", "", TableError::NotXml},
        {"plain text", "this is not xml at all", TableError::NotXml},
        {"cut off", PacketWithRow("<ROW id_research=\"1\"/>").substr(0, 150), TableError::NotXml},
        {"other xml", "<?xml version=\"1.0\"?><html><body>hello</body></html>", TableError::NotDataPacket},
        {"no fields", "<DATAPACKET Version=\"2.0\"><ROWDATA/></DATAPACKET>", TableError::NotDataPacket},
        {"binary", std::string("\x00\x01\x02\xFF\xFE", 5), TableError::NotXml},
        {"bad integer", PacketWithRow("<ROW id_research=\"abc\"/>"), TableError::BadValue},
        {"integer out of range", PacketWithRow("<ROW id_research=\"2147483648\"/>"), TableError::BadValue},
        {"field without name",
         "<DATAPACKET><METADATA><FIELDS><FIELD fieldtype=\"i4\"/></FIELDS></METADATA></DATAPACKET>",
         TableError::NotDataPacket},
        {"field twice",
         "<DATAPACKET><METADATA><FIELDS><FIELD attrname=\"a\"/><FIELD attrname=\"A\"/></FIELDS>"
         "</METADATA></DATAPACKET>",
         TableError::NotDataPacket},
    };
    TempAppFolder app(TempAppFolder::Contents::Empty);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        app.WriteFile("tbLackSites.xml", c.contents);
        TableHandle table;
        table.BindFile(app.File("tbLackSites.xml"));
        const TableResult result = table.Open();
        EXPECT_EQ(result.Error(), c.error) << result.Message();
        EXPECT_NE(result.Message().find("tbLackSites.xml"), std::string::npos) << result.Message();
        EXPECT_FALSE(table.IsOpen());
        EXPECT_EQ(app.ReadFile("tbLackSites.xml"), c.contents); // a failed open never rewrites
    }
}

TEST(DataPacket, MissingFileAndFolderFail) {
    TempAppFolder app(TempAppFolder::Contents::Empty);
    TableHandle table;
    table.BindFile(app.File("tbResearch.xml"));
    EXPECT_EQ(table.Open().Error(), TableError::FileMissing);
    table.BindFile(app.Folder());
    EXPECT_EQ(table.Open().Error(), TableError::ReadFailed);
    TableHandle unbound;
    EXPECT_EQ(unbound.Open().Error(), TableError::NotBound);
}

TEST(DataPacket, ReadsForeignFormsLeniently) {
    // Change-log attributes, other letter case in names, a UTF-8 byte order mark, character references,
    // raw line breaks kept as they are, and a field the definition does not know.
    TempAppFolder app(TempAppFolder::Contents::Empty);
    app.WriteFile("tbLackSites.xml",
                  "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<DATAPACKET Version=\"2.0\">"
                  "<METADATA><FIELDS>"
                  "<FIELD AttrName=\"ID_LACK_SITES\" FieldType=\"i4\"/>"
                  "<FIELD attrname=\"lack_sites\" fieldtype=\"bin.hex\" SUBTYPE=\"Text\" WIDTH=\"1\"/>"
                  "<FIELD attrname=\"id_research\" fieldtype=\"i4\" required=\"true\"/>"
                  "<FIELD attrname=\"legacy_note\" fieldtype=\"string\" WIDTH=\"10\"/>"
                  "</FIELDS><PARAMS DEFAULT_ORDER=\"1\" LCID=\"1046\"/></METADATA><ROWDATA>"
                  "<ROW RowState=\"4\" ID_LACK_SITES=\"5\" lack_sites=\"a&#13;&#10;b\nc\" id_research=\"9\" "
                  "legacy_note=\"kept\"/>"
                  "</ROWDATA></DATAPACKET>");
    TableHandle table;
    table.BindFile(app.File("tbLackSites.xml"));
    ASSERT_TRUE(table.Open());
    EXPECT_EQ(table.Field("id_lack_sites").AsInteger(), 5);
    EXPECT_EQ(table.Field("lack_sites").AsString(), "a\r\nb\nc");
    EXPECT_EQ(table.Field("id_research").AsInteger(), 9);
    EXPECT_TRUE(table.Field("nivel").IsNull()); // not in the file: null
    EXPECT_EQ(table.Field("legacy_note").AsString(), "kept");
    // Definition fields first, in their order, then the file's extra field.
    ASSERT_EQ(table.Schema().FieldCount(), 6u);
    EXPECT_EQ(table.Schema().Field(5).name, "legacy_note");

    ASSERT_TRUE(table.Edit());
    table.Field("nivel").SetInteger(2);
    ASSERT_TRUE(table.Post());
    ASSERT_TRUE(table.Close());

    TableHandle again;
    again.BindFile(app.File("tbLackSites.xml"));
    ASSERT_TRUE(again.Open());
    EXPECT_EQ(again.Field("nivel").AsInteger(), 2);
    EXPECT_EQ(again.Field("legacy_note").AsString(), "kept"); // a rewrite keeps what it does not know
    EXPECT_EQ(again.Field("lack_sites").AsString(), "a\r\nb\nc");
    EXPECT_TRUE(again.Close());
}

TEST(DataPacket, FileWithoutDefinitionUsesItsOwnLayoutAndIndexes) {
    TempAppFolder app(TempAppFolder::Contents::Empty);
    {
        TableHandle table;
        table.BindFile(app.File("export.xml"), DataExportTableDef());
        ASSERT_TRUE(table.CreateEmpty());
        ASSERT_TRUE(table.Append());
        table.Field("email").SetString("a@b.example");
        table.Field("id_research").SetInteger(3);
        ASSERT_TRUE(table.Post());
        ASSERT_TRUE(table.Close());
    }
    TableHandle table;
    table.BindFile(app.File("export.xml"));
    ASSERT_TRUE(table.Open());
    ASSERT_EQ(table.Schema().FieldCount(), DataExportTableDef().FieldCount());
    for (std::size_t i = 0; i < table.Schema().FieldCount(); ++i) {
        EXPECT_EQ(table.Schema().Field(i).name, DataExportTableDef().Field(i).name);
        EXPECT_EQ(table.Schema().Field(i).type, DataExportTableDef().Field(i).type);
        EXPECT_EQ(table.Schema().Field(i).width, DataExportTableDef().Field(i).width);
    }
    EXPECT_EQ(table.Schema().Indexes().size(), DataExportTableDef().Indexes().size());
    EXPECT_TRUE(table.SetIndexName("email_desc"));
    EXPECT_EQ(table.Field("email").AsString(), "a@b.example");
    EXPECT_EQ(table.Field("id_research").AsInteger(), 3);
    EXPECT_TRUE(table.Close());
}

TEST(DataPacket, SerializeThenParseGivesTheSameRows) {
    std::vector<PackedRow> rows;
    rows.push_back(PackedRow::Pack(std::vector<CellValue>{std::int32_t{1}, std::int32_t{2}, true,
                                                          *DateTime::FromParts(2001, 2, 3, 4, 5, 6, 7),
                                                          std::string("x\"<y>"), std::string("\t\r\n")}));
    rows.push_back(PackedRow::Pack(std::vector<CellValue>(6)));
    const std::vector<const PackedRow*> pointers = {&rows[0], &rows[1]};
    DataPacketContents contents;
    ASSERT_TRUE(
        ParseDataPacket(SerializeDataPacket(EveryKindDef(), pointers), &EveryKindDef(), "memory", contents));
    ASSERT_EQ(contents.rows.size(), 2u);
    for (std::size_t f = 0; f < 6; ++f) {
        EXPECT_EQ(CompareCells(contents.rows[0].Cell(f), rows[0].Cell(f)), 0) << f;
        EXPECT_EQ(contents.rows[0].Cell(f).index(), rows[0].Cell(f).index()) << f;
        EXPECT_TRUE(IsNullCell(contents.rows[1].Cell(f))) << f;
    }
}

} // namespace
} // namespace harvexa
