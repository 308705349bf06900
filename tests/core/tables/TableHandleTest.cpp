#include "core/tables/TableHandle.h"

#include "core/AtomicFile.h"
#include "core/tables/CLConnection.h"
#include "core/tables/TableDefinitions.h"
#include "support/TempAppFolder.h"

#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

namespace harvexa {
namespace {

using test::TempAppFolder;

// A research table file holding rows with these ids and short names, in this order.
void WriteResearches(const TempAppFolder& app, const std::vector<std::pair<int, std::string>>& rows) {
    TableHandle table = CLConnection().NewTable();
    table.BindFile(app.File("tbResearch.xml"));
    ASSERT_TRUE(table.CreateEmpty());
    for (const auto& [id, name] : rows) {
        ASSERT_TRUE(table.Append());
        table.Field("id_research").SetInteger(id);
        table.Field("short_name").SetString(name);
        ASSERT_TRUE(table.Post());
    }
    ASSERT_TRUE(table.Close());
}

std::vector<int> Ids(TableHandle& table, const char* field = "id_research") {
    std::vector<int> ids;
    for (table.First(); !table.Eof(); table.Next())
        ids.push_back(table.Field(field).AsInteger());
    return ids;
}

TEST(TableHandle, FiltersMatchTextExactlyEvenWithQuotes) {
    TempAppFolder app(TempAppFolder::Contents::Empty);
    WriteResearches(
        app, {{1, "O'Brien"}, {2, "o'brien"}, {3, "say \"hi\""}, {4, "a' OR '1'='1"}, {5, ""}, {6, "plain"}});
    struct Case {
        TableFilter filter;
        std::vector<int> ids;
    };
    const Case cases[] = {
        {FilterEquals("short_name", "O'Brien"), {1}},
        {FilterEquals("SHORT_NAME", "o'brien"), {2}},
        {FilterEquals("short_name", "say \"hi\""), {3}},
        {FilterEquals("short_name", "a' OR '1'='1"), {4}},
        {FilterEquals("short_name", "'"), {}},
        {FilterEquals("short_name", ""), {5}},
        {FilterNotEquals("short_name", ""), {1, 2, 3, 4, 6}},
        {FilterEquals("id_research", 3), {3}},
        {FilterEquals("id_Research", -1), {}},
        {FilterEquals("id_research", "6"), {6}},
        {FilterNotEquals("id_research", 1).And(FilterNotEquals("short_name", "plain")), {2, 3, 4, 5}},
    };
    for (const Case& c : cases) {
        TableHandle table;
        table.BindFile(app.File("tbResearch.xml"));
        ASSERT_TRUE(table.SetFilter(c.filter));
        ASSERT_TRUE(table.Open());
        EXPECT_EQ(Ids(table), c.ids);
        EXPECT_EQ(table.RecordCount(), c.ids.size());
        EXPECT_TRUE(table.Close());
    }
}

TEST(TableHandle, NullTextEqualsEmptyButNullNumberEqualsNothing) {
    TempAppFolder app(TempAppFolder::Contents::Empty);
    WriteResearches(app, {{1, "x"}});
    TableHandle table;
    table.BindFile(app.File("tbResearch.xml"));
    ASSERT_TRUE(table.SetFilter(FilterEquals("research_description", "")));
    ASSERT_TRUE(table.Open());
    EXPECT_EQ(table.RecordCount(), 1u); // null description reads as ""
    ASSERT_TRUE(table.SetFilter(FilterEquals("qtd_quebra", 0)));
    EXPECT_EQ(table.RecordCount(), 0u);
    ASSERT_TRUE(table.SetFilter(FilterNotEquals("qtd_quebra", 0)));
    EXPECT_EQ(table.RecordCount(), 1u);
    EXPECT_TRUE(table.Close());
}

TEST(TableHandle, InvalidFiltersFailOpenAndKeepTheOldFilterWhenOpen) {
    TempAppFolder app(TempAppFolder::Contents::Empty);
    WriteResearches(app, {{1, "a"}, {2, "b"}});
    TableHandle table;
    table.BindFile(app.File("tbResearch.xml"));
    ASSERT_TRUE(table.SetFilter(FilterEquals("no_such_field", 1)));
    EXPECT_EQ(table.Open().Error(), TableError::UnknownField);
    EXPECT_FALSE(table.IsOpen());

    ASSERT_TRUE(table.SetFilter(FilterEquals("id_research", 2)));
    ASSERT_TRUE(table.Open());
    EXPECT_EQ(table.SetFilter(FilterEquals("id_research", "two")).Error(), TableError::BadValue);
    EXPECT_EQ(table.SetFilter(FilterEquals("creation_date", 5)).Error(), TableError::BadValue);
    EXPECT_EQ(Ids(table), std::vector<int>{2});
    table.ClearFilters();
    EXPECT_EQ(Ids(table), (std::vector<int>{1, 2}));
    EXPECT_TRUE(table.Close());
}

TEST(TableHandle, PostRefusesMissingRequiredFields) {
    TempAppFolder app(TempAppFolder::Contents::Empty);
    struct Case {
        const TableDef& table;
        const char* required;
    };
    const Case cases[] = {{ResearchTableDef(), "id_research"},
                          {SearchEnginesTableDef(), "id_search_engines"},
                          {DataTableDef(), "id_data"},
                          {SearchQueryTableDef(), "ativo"},
                          {LackSitesTableDef(), "id_research"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.table.Name());
        TableHandle table;
        table.BindFile(app.File(c.table.FileName()), c.table);
        ASSERT_TRUE(table.CreateEmpty());
        ASSERT_TRUE(table.Close());
        const std::string before = app.ReadFile(c.table.FileName());

        ASSERT_TRUE(table.Open());
        ASSERT_TRUE(table.Append());
        const TableResult refused = table.Post();
        EXPECT_EQ(refused.Error(), TableError::RequiredMissing);
        EXPECT_NE(refused.Message().find(c.required), std::string::npos) << refused.Message();
        EXPECT_EQ(table.GetState(), TableHandle::State::Insert);
        table.Field(c.required).SetString("1");
        EXPECT_TRUE(table.Post());
        EXPECT_EQ(table.TotalRowCount(), 1u);
        ASSERT_TRUE(table.Delete());
        ASSERT_TRUE(table.Append());
        EXPECT_FALSE(table.Post());
        table.Cancel();
        EXPECT_EQ(table.TotalRowCount(), 0u);
        ASSERT_TRUE(table.Close());
        // Back to no rows: the file holds the same empty table.
        EXPECT_EQ(app.ReadFile(c.table.FileName()), before);
    }
}

TEST(TableHandle, FailedAssignmentsMakePostFailButTrySetDoesNot) {
    TableHandle table;
    table.BindMemory(LackSitesTableDef());
    ASSERT_TRUE(table.Open());
    ASSERT_TRUE(table.Append());
    table.Field("id_research").SetInteger(1);
    EXPECT_FALSE(table.Field("nivel").SetString("deep"));
    const TableResult refused = table.Post();
    EXPECT_EQ(refused.Error(), TableError::BadValue);
    EXPECT_NE(refused.Message().find("nivel"), std::string::npos);
    table.Cancel();

    ASSERT_TRUE(table.Append());
    table.Field("id_research").SetInteger(1);
    EXPECT_FALSE(table.Field("nivel").TrySetString("deep"));
    EXPECT_TRUE(table.Field("tipo_lack_site").TrySetString(" 2 "));
    EXPECT_TRUE(table.Post());
    EXPECT_TRUE(table.Field("nivel").IsNull());
    EXPECT_EQ(table.Field("tipo_lack_site").AsInteger(), 2);

    ASSERT_TRUE(table.Append());
    table.Field("id_research").SetInteger(1);
    EXPECT_FALSE(table.Field("no_such_field").SetInteger(3));
    EXPECT_EQ(table.Post().Error(), TableError::BadValue);
    table.Cancel();

    EXPECT_FALSE(table.Field("nivel").SetInteger(1)); // not editing: nothing changes
    EXPECT_TRUE(table.Field("nivel").IsNull());
    EXPECT_TRUE(table.Close());
}

TEST(TableHandle, AssignmentsConvertToTheFieldKind) {
    TableHandle table;
    table.BindMemory(ResearchTableDef());
    ASSERT_TRUE(table.Open());
    ASSERT_TRUE(table.Append());
    table.Field("id_research").SetInteger(1);
    EXPECT_TRUE(table.Field("tipo_arquivo").SetString("ABCDEFG"));
    EXPECT_EQ(table.Field("tipo_arquivo").AsString(), "ABCDE"); // text 5
    EXPECT_TRUE(table.Field("short_name").SetString(std::string(70, 'x') + "é"));
    EXPECT_EQ(table.Field("short_name").AsString(), std::string(64, 'x'));
    EXPECT_TRUE(table.Field("research_description").SetString("çãõ"));
    EXPECT_TRUE(table.Field("tipo_arquivo").SetString("ççççççç"));
    EXPECT_EQ(table.Field("tipo_arquivo").AsString(), "ççççç"); // characters, not bytes
    EXPECT_TRUE(table.Field("keywords").SetString("caf\xE9"));  // not UTF-8: taken as Windows-1252
    EXPECT_EQ(table.Field("keywords").AsString(), "café");
    EXPECT_FALSE(table.Field("research_step").SetInteger(40000)); // small integer
    EXPECT_TRUE(table.Field("exigir_valid_domains").SetString("True"));
    EXPECT_TRUE(table.Field("parar_email").SetInteger(0));
    EXPECT_TRUE(table.Field("creation_date").SetString("2026-01-02 03:04:05"));
    EXPECT_TRUE(table.Field("qtd_quebra").SetString(""));
    table.Cancel();

    ASSERT_TRUE(table.Append());
    table.Field("id_research").SetInteger(1);
    table.Field("exigir_valid_domains").SetString("True");
    table.Field("parar_email").SetInteger(0);
    table.Field("creation_date").SetString("2026-01-02 03:04:05");
    table.Field("qtd_quebra").SetString("");
    ASSERT_TRUE(table.Post());
    EXPECT_TRUE(table.Field("exigir_valid_domains").AsBool());
    EXPECT_EQ(table.Field("exigir_valid_domains").AsString(), "True");
    EXPECT_FALSE(table.Field("parar_email").AsBool());
    EXPECT_EQ(table.Field("creation_date").AsDateTime(), *DateTime::FromParts(2026, 1, 2, 3, 4, 5));
    EXPECT_TRUE(table.Field("qtd_quebra").IsNull());
    EXPECT_EQ(table.Field("qtd_quebra").AsInteger(), 0);
    EXPECT_EQ(table.Field("begin_date").AsDateTime(), DateTime::Zero()); // null reads as the zero date-time
    EXPECT_EQ(table.Field("id_research").AsString(), "1");
    EXPECT_TRUE(table.Close());
}

TEST(TableHandle, RowsStayInStoredOrderAcrossSaves) {
    TempAppFolder app(TempAppFolder::Contents::Empty);
    WriteResearches(app, {{30, "c"}, {10, "a"}, {20, "b"}});
    TableHandle table;
    table.BindFile(app.File("tbResearch.xml"));
    ASSERT_TRUE(table.Open());
    EXPECT_EQ(Ids(table), (std::vector<int>{30, 10, 20}));
    table.First();
    ASSERT_TRUE(table.Edit());
    table.Field("short_name").SetString("z"); // no index: editing does not move rows
    ASSERT_TRUE(table.Post());
    ASSERT_TRUE(table.Append());
    table.Field("id_research").SetInteger(5);
    ASSERT_TRUE(table.Post());
    ASSERT_TRUE(table.Close());
    ASSERT_TRUE(table.Open());
    EXPECT_EQ(Ids(table), (std::vector<int>{30, 10, 20, 5}));
    EXPECT_TRUE(table.Close());
}

TEST(TableHandle, CloseWritesOnlyWhenSomethingChanged) {
    TempAppFolder app(TempAppFolder::Contents::Empty);
    WriteResearches(app, {{1, "a"}});
    // Same table, other formatting: a rewrite would be visible.
    std::string original = app.ReadFile("tbResearch.xml");
    original.insert(original.find("<ROWDATA>"), "<!-- hand made -->\n");
    app.WriteFile("tbResearch.xml", original);

    TableHandle table;
    table.BindFile(app.File("tbResearch.xml"));
    ASSERT_TRUE(table.Open());
    ASSERT_TRUE(table.Edit());
    table.Field("short_name").SetString("changed");
    table.Cancel();
    ASSERT_TRUE(table.Append());
    table.Cancel();
    EXPECT_FALSE(table.IsModified());
    ASSERT_TRUE(table.Close());
    EXPECT_EQ(app.ReadFile("tbResearch.xml"), original);

    ASSERT_TRUE(table.Open());
    ASSERT_TRUE(table.Edit());
    table.Field("short_name").SetString("changed");
    // Close cancels a change that was never posted.
    ASSERT_TRUE(table.Close());
    EXPECT_EQ(app.ReadFile("tbResearch.xml"), original);

    ASSERT_TRUE(table.Open());
    ASSERT_TRUE(table.Delete());
    ASSERT_TRUE(table.Close());
    EXPECT_NE(app.ReadFile("tbResearch.xml"), original);
    ASSERT_TRUE(table.Open());
    EXPECT_EQ(table.TotalRowCount(), 0u);
    EXPECT_TRUE(table.Close());
}

TEST(TableHandle, FilteredHandleWritesEveryRow) {
    TempAppFolder app(TempAppFolder::Contents::Empty);
    WriteResearches(app, {{1, "a"}, {2, "b"}, {3, "c"}});
    {
        // The insert pattern: a filter matching nothing, then one new row.
        TableHandle table;
        table.BindFile(app.File("tbResearch.xml"));
        ASSERT_TRUE(table.SetFilter(FilterEquals("id_research", -1)));
        ASSERT_TRUE(table.Open());
        EXPECT_TRUE(table.Eof());
        ASSERT_TRUE(table.Append());
        table.Field("id_research").SetInteger(4);
        ASSERT_TRUE(table.Post());
        EXPECT_TRUE(table.Eof()); // the new row does not pass the filter
        ASSERT_TRUE(table.Close());
    }
    {
        TableHandle table;
        table.BindFile(app.File("tbResearch.xml"));
        ASSERT_TRUE(table.SetFilter(FilterEquals("id_research", 2)));
        ASSERT_TRUE(table.Open());
        ASSERT_TRUE(table.Delete());
        ASSERT_TRUE(table.Close());
    }
    TableHandle table;
    table.BindFile(app.File("tbResearch.xml"));
    ASSERT_TRUE(table.Open());
    EXPECT_EQ(Ids(table), (std::vector<int>{1, 3, 4}));
    EXPECT_TRUE(table.Close());
}

TEST(TableHandle, DeleteMakesTheFollowingRowCurrent) {
    TableHandle table;
    table.BindMemory(LackSitesTableDef());
    ASSERT_TRUE(table.Open());
    for (int i = 1; i <= 6; ++i) {
        ASSERT_TRUE(table.Append());
        table.Field("id_research").SetInteger(i);
        ASSERT_TRUE(table.Post());
    }
    // The cleaning loop: delete the even ids, including the last row.
    table.First();
    while (!table.Eof()) {
        if (table.Field("id_research").AsInteger() % 2 == 0)
            ASSERT_TRUE(table.Delete());
        else
            table.Next();
    }
    EXPECT_EQ(Ids(table, "id_research"), (std::vector<int>{1, 3, 5}));
    EXPECT_EQ(table.RecordCount(), 3u);
    table.Last();
    EXPECT_EQ(table.Field("id_research").AsInteger(), 5);
    ASSERT_TRUE(table.Delete());
    EXPECT_TRUE(table.Eof());
    EXPECT_EQ(table.RecNo(), table.RecordCount()); // dropping deleted entries keeps the end
    EXPECT_TRUE(table.Eof());
    EXPECT_EQ(table.Delete().Error(), TableError::WrongState);
    table.Last();
    table.Prior();
    EXPECT_EQ(table.Field("id_research").AsInteger(), 1);
    table.Prior();
    EXPECT_EQ(table.Field("id_research").AsInteger(), 1);
    EXPECT_EQ(table.RecNo(), 0u);
    EXPECT_TRUE(table.Close());
}

TEST(TableHandle, OperationsOnAClosedHandleFailWithoutHarm) {
    TableHandle table;
    table.BindMemory(LackSitesTableDef());
    EXPECT_EQ(table.Append().Error(), TableError::WrongState);
    EXPECT_EQ(table.Edit().Error(), TableError::WrongState);
    EXPECT_EQ(table.Post().Error(), TableError::WrongState);
    EXPECT_EQ(table.Delete().Error(), TableError::WrongState);
    EXPECT_EQ(table.Save().Error(), TableError::WrongState);
    EXPECT_TRUE(table.Eof());
    EXPECT_EQ(table.RecordCount(), 0u);
    EXPECT_TRUE(table.Field("nivel").IsNull());
    EXPECT_TRUE(table.Close());
    ASSERT_TRUE(table.Open());
    EXPECT_EQ(table.Edit().Error(), TableError::WrongState); // no current row
    EXPECT_EQ(table.SetIndexName("nope").Error(), TableError::UnknownIndex);
    EXPECT_TRUE(table.Close());
}

// Stops the child process the moment the temporary file is written, before the rename.
void KillSelf(const std::string&) {
    ::kill(::getpid(), SIGKILL);
}

TEST(TableHandle, KilledWhileSavingLeavesTheOldFileWhole) {
    TempAppFolder app(TempAppFolder::Contents::Empty);
    std::vector<std::pair<int, std::string>> rows;
    for (int i = 0; i < 2000; ++i)
        rows.emplace_back(i, "research " + std::to_string(i));
    WriteResearches(app, rows);
    const std::string original = app.ReadFile("tbResearch.xml");

    const pid_t child = ::fork();
    ASSERT_NE(child, -1);
    if (child == 0) {
        TableHandle table;
        table.BindFile(app.File("tbResearch.xml"));
        if (!table.Open())
            ::_exit(3);
        (void)table.EmptyTable();
        SetBeforeRenameHookForTesting(&KillSelf);
        (void)table.Close();
        ::_exit(4); // not reached when the hook ran
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status)) << "child exit " << WEXITSTATUS(status);
    EXPECT_EQ(WTERMSIG(status), SIGKILL);

    EXPECT_EQ(app.ReadFile("tbResearch.xml"), original);
    TableHandle table;
    table.BindFile(app.File("tbResearch.xml"));
    ASSERT_TRUE(table.Open());
    EXPECT_EQ(table.TotalRowCount(), 2000u);
    EXPECT_TRUE(table.Close());
    // The killed save had written its whole temporary file beside the table.
    int leftovers = 0;
    for (const auto& entry : std::filesystem::directory_iterator(app.Path()))
        leftovers += entry.path().filename() != "tbResearch.xml";
    EXPECT_EQ(leftovers, 1);
}

TEST(TableHandle, FailedWriteReportsAndKeepsTheFile) {
    TempAppFolder app(TempAppFolder::Contents::Empty);
    WriteResearches(app, {{1, "a"}});
    const std::string original = app.ReadFile("tbResearch.xml");
    TableHandle table;
    table.BindFile(app.File("tbResearch.xml"));
    ASSERT_TRUE(table.Open());
    ASSERT_TRUE(table.Delete());
    SetBeforeRenameHookForTesting([](const std::string& temporary) { std::filesystem::remove(temporary); });
    const TableResult result = table.Close();
    SetBeforeRenameHookForTesting(nullptr);
    EXPECT_EQ(result.Error(), TableError::WriteFailed);
    EXPECT_FALSE(table.IsOpen());
    EXPECT_EQ(app.ReadFile("tbResearch.xml"), original);
}

TEST(TableHandle, MovedHandleKeepsItsTableAndTheSourceIsUsable) {
    TableHandle source;
    source.BindMemory(LackSitesTableDef());
    ASSERT_TRUE(source.Open());
    ASSERT_TRUE(source.Append());
    source.Field("id_research").SetInteger(8);
    ASSERT_TRUE(source.Post());
    TableHandle moved(std::move(source));
    EXPECT_EQ(moved.Field("id_research").AsInteger(), 8);
    EXPECT_FALSE(source.IsOpen()); // NOLINT: a moved-from handle is closed and unbound
    EXPECT_EQ(source.Open().Error(), TableError::NotBound);
    EXPECT_TRUE(moved.Close());
}

} // namespace
} // namespace harvexa
