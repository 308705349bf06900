#include "core/tables/TableDefinitions.h"
#include "core/tables/TableHandle.h"
#include "support/TempAppFolder.h"

#include <algorithm>
#include <cctype>
#include <functional>
#include <gtest/gtest.h>

namespace harvexa {
namespace {

using test::TempAppFolder;

struct Entry {
    const char* url;
    const char* email; // nullptr: null
};

class DataExportTable : public ::testing::Test {
protected:
    void SetUp() override {
        table.BindMemory(DataExportTableDef());
        ASSERT_TRUE(table.Open());
    }

    void Add(const std::vector<Entry>& entries) {
        for (const Entry& entry : entries) {
            ASSERT_TRUE(table.Append());
            table.Field(0).SetString(entry.url);
            if (entry.email)
                table.Field(1).SetString(entry.email);
            table.Field("id_data_export").SetInteger(next++);
            ASSERT_TRUE(table.Post());
        }
    }

    // url of each visible row, in order, from random access and from the cursor (both must agree).
    std::vector<std::string> Urls() {
        std::vector<std::string> byPosition;
        for (RowView row : table)
            byPosition.push_back(std::string(row.Text("url")));
        std::vector<std::string> byCursor;
        for (table.First(); !table.Eof(); table.Next())
            byCursor.push_back(table.Field("url").AsString());
        EXPECT_EQ(byPosition, byCursor);
        return byPosition;
    }

    TableHandle table;
    int next = 0;
};

TEST_F(DataExportTable, SortsByEveryIndexStably) {
    Add({{"u1", "b@x"}, {"u2", "a@x"}, {"u3", nullptr}, {"u4", "B@x"}, {"u5", ""}, {"u6", "a@x"}});
    struct Case {
        const char* index;
        std::vector<std::string> urls;
    };
    const Case cases[] = {
        // Null first, then "", then text ignoring letter case (ties by bytes), equal keys in stored order.
        {"email", {"u3", "u5", "u2", "u6", "u4", "u1"}},
        {"EMAIL_DESC", {"u1", "u4", "u2", "u6", "u5", "u3"}},
        {"", {"u1", "u2", "u3", "u4", "u5", "u6"}},
        {"url_desc", {"u6", "u5", "u4", "u3", "u2", "u1"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.index);
        ASSERT_TRUE(table.SetIndexName(c.index));
        EXPECT_EQ(Urls(), c.urls);
    }
    EXPECT_EQ(table.SetIndexName("email_descending").Error(), TableError::UnknownIndex);
    EXPECT_EQ(table.IndexName(), "url_desc");
}

TEST_F(DataExportTable, ChangingTheIndexKeepsTheCurrentRow) {
    Add({{"c", "1"}, {"a", "2"}, {"b", "3"}});
    table.First();
    table.Next(); // "a"
    ASSERT_TRUE(table.SetIndexName("url"));
    EXPECT_EQ(table.Field("url").AsString(), "a");
    EXPECT_EQ(table.RecNo(), 0u);
    ASSERT_TRUE(table.SetIndexName("url_desc"));
    EXPECT_EQ(table.Field("url").AsString(), "a");
    EXPECT_EQ(table.RecNo(), 2u);
}

TEST_F(DataExportTable, PostedRowsTakeTheirPlaceInTheIndex) {
    Add({{"b", nullptr}, {"d", nullptr}});
    ASSERT_TRUE(table.SetIndexName("url"));
    Add({{"c", nullptr}, {"a", nullptr}});
    EXPECT_EQ(Urls(), (std::vector<std::string>{"a", "b", "c", "d"}));

    // Editing a row under an index moves it; the cursor follows it.
    ASSERT_TRUE(table.MoveTo(0));
    ASSERT_TRUE(table.Edit());
    table.Field("url").SetString("e");
    ASSERT_TRUE(table.Post());
    EXPECT_EQ(table.Field("url").AsString(), "e");
    EXPECT_EQ(table.RecNo(), 3u);
    EXPECT_EQ(Urls(), (std::vector<std::string>{"b", "c", "d", "e"}));
}

TEST_F(DataExportTable, RecordTestAndTypedFilterBothApply) {
    Add({{"http://a.example", "info@GMAIL.com"},
         {"http://b.example", ""},
         {"http://c.example", "x@gmail.com"},
         {"http://d.example", "y@yahoo.com"}});
    table.SetRecordTest([](const RowView& row) {
        std::string email(row.Text("email"));
        for (char& c : email)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return email.find("gmail") != std::string::npos || email.empty();
    });
    EXPECT_EQ(Urls(), (std::vector<std::string>{"http://a.example", "http://b.example", "http://c.example"}));
    ASSERT_TRUE(table.SetFilter(FilterNotEquals("email", "")));
    EXPECT_EQ(Urls(), (std::vector<std::string>{"http://a.example", "http://c.example"}));
    EXPECT_EQ(table.TotalRowCount(), 4u);

    // An edited row that no longer passes leaves the view; the next row becomes current.
    table.First();
    ASSERT_TRUE(table.Edit());
    table.Field("email").SetString("z@hotmail.com");
    ASSERT_TRUE(table.Post());
    EXPECT_EQ(table.Field("url").AsString(), "http://c.example");
    EXPECT_EQ(table.RecordCount(), 1u);

    table.ClearFilters();
    EXPECT_EQ(table.RecordCount(), 4u);
}

TEST_F(DataExportTable, DeletesSelectedVisibleRows) {
    Add({{"e", nullptr}, {"a", nullptr}, {"d", nullptr}, {"b", nullptr}, {"c", nullptr}});
    ASSERT_TRUE(table.SetIndexName("url"));
    ASSERT_TRUE(table.SetFilter(FilterNotEquals("url", "c")));
    // Visible: a b d e; delete positions 3 and 1 (e and b).
    ASSERT_TRUE(table.DeleteRows({3, 1, 3}));
    EXPECT_EQ(Urls(), (std::vector<std::string>{"a", "d"}));
    EXPECT_EQ(table.DeleteRows({2}).Error(), TableError::WrongState);
    table.ClearFilters();
    EXPECT_EQ(Urls(), (std::vector<std::string>{"a", "c", "d"}));
    ASSERT_TRUE(table.EmptyTable());
    EXPECT_EQ(table.RecordCount(), 0u);
    EXPECT_TRUE(table.Eof());
    Add({{"new", nullptr}});
    EXPECT_EQ(Urls(), std::vector<std::string>{"new"});
}

TEST_F(DataExportTable, RandomAccessAfterDeletesDuringAWalk) {
    for (int i = 0; i < 1000; ++i) {
        ASSERT_TRUE(table.Append());
        table.Field("url").SetString("u" + std::to_string(i));
        table.Field("id_research").SetInteger(i);
        ASSERT_TRUE(table.Post());
    }
    // Delete every third row while walking, reading random rows in between as a grid would.
    table.First();
    while (!table.Eof()) {
        if (table.Field("id_research").AsInteger() % 3 == 0) {
            ASSERT_TRUE(table.Delete());
            if (table.RecordCount() > 10) {
                EXPECT_FALSE(table.Row(10).Text("url").empty());
            }
        } else {
            table.Next();
        }
    }
    ASSERT_EQ(table.RecordCount(), 666u);
    for (std::size_t i = 0; i < table.RecordCount(); ++i) {
        const int id = table.Row(i).AsInteger("id_research");
        EXPECT_NE(id % 3, 0);
        EXPECT_EQ(id, static_cast<int>(i + i / 2 + 1));
    }
}

TEST_F(DataExportTable, SavesEveryRowInIndexOrderAndLoadsItBack) {
    TempAppFolder app(TempAppFolder::Contents::Empty);
    Add({{"b", "1@x"}, {"c", "2@x"}, {"a", "3@x"}});
    ASSERT_TRUE(table.SetIndexName("url"));
    ASSERT_TRUE(table.SetFilter(FilterEquals("url", "c")));
    ASSERT_TRUE(table.SaveToFile(app.File("tmpFile.xml")));

    TableHandle loaded;
    loaded.BindFile(app.File("tmpFile.xml"), DataExportTableDef());
    ASSERT_TRUE(loaded.Open());
    std::vector<std::string> urls;
    for (RowView row : loaded)
        urls.push_back(row.AsString(std::size_t{0}) + row.AsString("email"));
    EXPECT_EQ(urls, (std::vector<std::string>{"a3@x", "b1@x", "c2@x"}));
    EXPECT_TRUE(loaded.Close());
}

TEST_F(DataExportTable, ManyRowsAppendSortAndDelete) {
    constexpr int kRows = 100000;
    std::vector<std::string> emails;
    for (int i = 0; i < kRows; ++i) {
        ASSERT_TRUE(table.Append());
        const std::string n = std::to_string((i * 7919) % kRows);
        table.Field(0).SetString("http://site" + n + ".example/contact");
        emails.push_back("contact" + n + "@site.example");
        table.Field(1).SetString(emails.back());
        table.Field(2).SetString("Title " + n);
        table.Field(7).SetInteger(i);
        ASSERT_TRUE(table.Post());
    }
    ASSERT_TRUE(table.SetIndexName("email_desc"));
    ASSERT_EQ(table.RecordCount(), static_cast<std::size_t>(kRows));
    for (std::size_t i = 1; i < table.RecordCount(); i += 997)
        EXPECT_GE(table.Row(i - 1).Text("email"), table.Row(i).Text("email"));
    std::vector<std::size_t> firstHalf;
    for (std::size_t i = 0; i < kRows / 2; ++i)
        firstHalf.push_back(i);
    ASSERT_TRUE(table.DeleteRows(firstHalf));
    EXPECT_EQ(table.RecordCount(), static_cast<std::size_t>(kRows / 2));
    // Lower-case ASCII only: the index order is plain byte order here.
    std::sort(emails.begin(), emails.end(), std::greater<>());
    EXPECT_EQ(table.Row(0).AsString("email"), emails[kRows / 2]);
    EXPECT_EQ(table.Row(kRows / 2 - 1).AsString("email"), emails.back());
}

} // namespace
} // namespace harvexa
