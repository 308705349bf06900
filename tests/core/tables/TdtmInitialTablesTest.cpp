#include "core/tables/TdtmInitialTables.h"

#include "TablesTestSupport.h"
#include "core/CLLang.h"
#include "core/tables/DataPacket.h"
#include "core/tables/TableDefinitions.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace harvexa {
namespace {

using test::TempAppFolder;

const char* kFiles[] = {"tbResearch.xml", "tbGenerator.xml",   "tbSearchEngines.xml",
                        "tbData.xml",     "tbSearchQuery.xml", "tbLackSites.xml"};

// Puts one row into a table file so that emptying it shows.
void AddRow(TableHandle& table, const char* requiredField) {
    ASSERT_TRUE(table.Open());
    ASSERT_TRUE(table.Append());
    table.Field(0).SetInteger(41);
    table.Field(requiredField).SetString("1");
    ASSERT_TRUE(table.Post());
    ASSERT_TRUE(table.Close());
}

void FillAllTables(TdtmInitialTables& tables) {
    AddRow(tables.tbResearch(), "id_research");
    AddRow(tables.tbGenerator(), "index");
    AddRow(tables.tbSearchEngines(), "id_search_engines");
    AddRow(tables.tbData(), "id_data");
    AddRow(tables.tbSearchQuery(), "ativo");
    AddRow(tables.tbLackSites(), "id_research");
}

std::size_t RowsIn(TableHandle& table) {
    EXPECT_TRUE(table.Open());
    const std::size_t rows = table.TotalRowCount();
    EXPECT_TRUE(table.Close());
    return rows;
}

TEST(TdtmInitialTables, EmptyFolderGetsSixEmptyTables) {
    TempAppFolder app(TempAppFolder::Contents::Empty);
    TdtmInitialTables tables;
    ASSERT_EQ(tables.GetStatus(), TdtmInitialTables::Status::Ok) << tables.FailureDetail();
    EXPECT_TRUE(tables.CreatedTables());
    EXPECT_EQ(tables.Folder(), app.Folder());
    for (const TableDef* def : PersistentTablesInCreationOrder()) {
        SCOPED_TRACE(def->Name());
        EXPECT_TRUE(std::filesystem::is_regular_file(app.File(def->FileName())));
        EXPECT_EQ(tables.PathOf(*def), app.File(def->FileName()));
        // The file alone describes the table: its fields, kinds, widths and required flags.
        DataPacketContents contents;
        ASSERT_TRUE(ReadDataPacketFile(app.File(def->FileName()), nullptr, contents));
        EXPECT_TRUE(contents.rows.empty());
        ASSERT_EQ(contents.schema.FieldCount(), def->FieldCount());
        for (std::size_t i = 0; i < def->FieldCount(); ++i) {
            EXPECT_EQ(contents.schema.Field(i).name, def->Field(i).name);
            EXPECT_EQ(contents.schema.Field(i).type, def->Field(i).type);
            EXPECT_EQ(contents.schema.Field(i).width, def->Field(i).width);
            EXPECT_EQ(contents.schema.Field(i).required, def->Field(i).required);
        }
        EXPECT_EQ(contents.schema.Indexes().size(), def->Indexes().size());
    }
    EXPECT_EQ(tables.tbResearch().FilePath(), app.File("tbResearch.xml"));
    EXPECT_EQ(tables.tbLackSites().FilePath(), app.File("tbLackSites.xml"));
    EXPECT_EQ(tables.tbGenerator().Definition(), &GeneratorTableDef());
}

TEST(TdtmInitialTables, MissingResearchFileEmptiesTheOtherFive) {
    TempAppFolder app(TempAppFolder::Contents::Empty);
    {
        TdtmInitialTables first;
        FillAllTables(first);
    }
    std::filesystem::remove(app.File("tbResearch.xml"));
    app.WriteFile("tbData.xml", "not even a table"); // replaced too
    TdtmInitialTables tables;
    ASSERT_EQ(tables.GetStatus(), TdtmInitialTables::Status::Ok) << tables.FailureDetail();
    EXPECT_TRUE(tables.CreatedTables());
    for (TableHandle* table : {&tables.tbResearch(), &tables.tbGenerator(), &tables.tbSearchEngines(),
                               &tables.tbData(), &tables.tbSearchQuery(), &tables.tbLackSites()}) {
        SCOPED_TRACE(table->FilePath());
        EXPECT_EQ(RowsIn(*table), 0u);
    }
}

TEST(TdtmInitialTables, LaterStartsCreateNothing) {
    TempAppFolder app(TempAppFolder::Contents::Empty);
    {
        TdtmInitialTables first;
        FillAllTables(first);
    }
    std::filesystem::remove(app.File("tbLackSites.xml")); // only tbResearch.xml decides
    std::vector<std::string> before;
    for (const char* file : kFiles)
        before.push_back(app.ReadFile(file));

    TdtmInitialTables second;
    EXPECT_EQ(second.GetStatus(), TdtmInitialTables::Status::Ok);
    EXPECT_FALSE(second.CreatedTables());
    for (std::size_t i = 0; i < std::size(kFiles); ++i)
        EXPECT_EQ(app.ReadFile(kFiles[i]), before[i]) << kFiles[i];
    EXPECT_FALSE(std::filesystem::exists(app.File("tbLackSites.xml")));
}

TEST(TdtmInitialTables, MissingFolderReportsText5000_4) {
    TempAppFolder app(TempAppFolder::Contents::Empty);
    test::WriteCatalogue(app);
    TdtmInitialTables tables(app.File("no/such/folder"));
    EXPECT_EQ(tables.GetStatus(), TdtmInitialTables::Status::BindFailed);
    EXPECT_FALSE(tables.FailureDetail().empty());
    EXPECT_FALSE(tables.CreatedTables());

    CLLang lang;
    test::RecordingPresenter presenter;
    UserMessages messages(lang, presenter);
    tables.ReportFailure(messages, lang);
    ASSERT_EQ(presenter.shown.size(), 1u);
    EXPECT_EQ(presenter.shown[0].kind, MessageKind::Error);
    EXPECT_EQ(presenter.shown[0].text, "Table files could not be set.");
}

TEST(TdtmInitialTables, CreationFailureReportsText5000_95AndRetriesNextStart) {
    TempAppFolder app(TempAppFolder::Contents::Empty);
    test::WriteCatalogue(app);
    // A folder in the way of the third table: it cannot be replaced by a file.
    std::filesystem::create_directory(app.File("tbSearchEngines.xml"));
    {
        TdtmInitialTables tables;
        EXPECT_EQ(tables.GetStatus(), TdtmInitialTables::Status::CreateFailed);
        EXPECT_NE(tables.FailureDetail().find("tbSearchEngines.xml"), std::string::npos)
            << tables.FailureDetail();
        EXPECT_FALSE(tables.CreatedTables());
        // The tables after the failed one are left uncreated; the research file is taken back.
        EXPECT_FALSE(std::filesystem::exists(app.File("tbResearch.xml")));
        EXPECT_TRUE(std::filesystem::exists(app.File("tbGenerator.xml")));
        EXPECT_FALSE(std::filesystem::exists(app.File("tbData.xml")));

        CLLang lang;
        test::RecordingPresenter presenter;
        UserMessages messages(lang, presenter);
        tables.ReportFailure(messages, lang);
        ASSERT_EQ(presenter.shown.size(), 1u);
        EXPECT_EQ(presenter.shown[0].text, "Tables could not be created.");
    }
    std::filesystem::remove(app.File("tbSearchEngines.xml"));
    TdtmInitialTables retried;
    EXPECT_EQ(retried.GetStatus(), TdtmInitialTables::Status::Ok);
    EXPECT_TRUE(retried.CreatedTables());
    for (const char* file : kFiles)
        EXPECT_TRUE(std::filesystem::is_regular_file(app.File(file))) << file;
}

TEST(TdtmInitialTables, SuccessShowsNothing) {
    TempAppFolder app(TempAppFolder::Contents::Empty);
    test::WriteCatalogue(app);
    TdtmInitialTables tables;
    CLLang lang;
    test::RecordingPresenter presenter;
    UserMessages messages(lang, presenter);
    tables.ReportFailure(messages, lang);
    EXPECT_TRUE(presenter.shown.empty());
}

} // namespace
} // namespace harvexa
