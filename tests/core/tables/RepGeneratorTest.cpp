#include "core/tables/RepGenerator.h"

#include "core/AtomicFile.h"
#include "core/tables/NegGenerator.h"
#include "core/tables/TdtmInitialTables.h"
#include "support/TempAppFolder.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace harvexa {
namespace {

using test::TempAppFolder;

// The `index` rows of tbGenerator.xml, read afresh.
std::vector<int> StoredIndexes(const TempAppFolder& app) {
    TableHandle table;
    table.BindFile(app.File("tbGenerator.xml"));
    EXPECT_TRUE(table.Open());
    std::vector<int> values;
    for (RowView row : table)
        values.push_back(row.AsInteger("index"));
    EXPECT_TRUE(table.Close());
    return values;
}

void StoreIndex(const TempAppFolder& app, const char* value) {
    app.WriteFile("tbGenerator.xml",
                  std::string("<?xml version=\"1.0\"?><DATAPACKET Version=\"2.0\"><METADATA><FIELDS>"
                              "<FIELD attrname=\"index\" fieldtype=\"i4\"/></FIELDS><PARAMS/></METADATA>"
                              "<ROWDATA><ROW index=\"") +
                      value + "\"/></ROWDATA></DATAPACKET>");
}

TEST(RepGenerator, NewInstallationHandsOutZeroThenCounts) {
    TempAppFolder app(TempAppFolder::Contents::Empty);
    TdtmInitialTables tables;
    ASSERT_EQ(tables.GetStatus(), TdtmInitialTables::Status::Ok);
    EXPECT_TRUE(StoredIndexes(app).empty()); // a new file has no row

    NegGenerator generator(std::make_unique<RepGenerator>(tables.tbGenerator()));
    EXPECT_EQ(generator.NextId(), 0);
    EXPECT_EQ(StoredIndexes(app), std::vector<int>{1});
    EXPECT_EQ(generator.NextId(), 1);
    EXPECT_EQ(generator.NextId(), 2);
    EXPECT_EQ(generator.NextId(), 3);
    EXPECT_EQ(StoredIndexes(app), std::vector<int>{4});
    EXPECT_FALSE(tables.tbGenerator().IsOpen());
}

TEST(RepGenerator, EveryCallReadsTheCurrentFile) {
    TempAppFolder app(TempAppFolder::Contents::Empty);
    TdtmInitialTables tables;
    RepGenerator generator(tables.tbGenerator());
    EXPECT_EQ(generator.NextId(), 0);
    StoreIndex(app, "57"); // for example a restored backup
    EXPECT_EQ(generator.NextId(), 57);
    EXPECT_EQ(StoredIndexes(app), std::vector<int>{58});
}

TEST(RepGenerator, UnreadableCountersGiveNoId) {
    struct Case {
        const char* name;
        std::function<void(const TempAppFolder&)> spoil;
    };
    const Case cases[] = {
        {"not xml",
         [](const TempAppFolder& app) {
             app.WriteFile("tbGenerator.xml", "garbage");
         }},
        {"missing",
         [](const TempAppFolder& app) {
             std::filesystem::remove(app.File("tbGenerator.xml"));
         }},
        {"not a number",
         [](const TempAppFolder& app) {
             StoreIndex(app, "many");
         }},
        {"negative",
         [](const TempAppFolder& app) {
             StoreIndex(app, "-1");
         }},
        {"exhausted",
         [](const TempAppFolder& app) {
             StoreIndex(app, "2147483647");
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempAppFolder app(TempAppFolder::Contents::Empty);
        TdtmInitialTables tables;
        c.spoil(app);
        const bool existed = std::filesystem::exists(app.File("tbGenerator.xml"));
        const std::string before = app.ReadFile("tbGenerator.xml");
        RepGenerator generator(tables.tbGenerator());
        EXPECT_EQ(generator.NextId(), std::nullopt);
        EXPECT_EQ(std::filesystem::exists(app.File("tbGenerator.xml")), existed);
        EXPECT_EQ(app.ReadFile("tbGenerator.xml"), before);
        EXPECT_FALSE(tables.tbGenerator().IsOpen());
    }
}

TEST(RepGenerator, FailedWriteHandsOutNothingAndLosesNothing) {
    TempAppFolder app(TempAppFolder::Contents::Empty);
    TdtmInitialTables tables;
    RepGenerator generator(tables.tbGenerator());
    EXPECT_EQ(generator.NextId(), 0);
    EXPECT_EQ(generator.NextId(), 1);

    SetBeforeRenameHookForTesting([](const std::string& temporary) { std::filesystem::remove(temporary); });
    const std::optional<int> failed = generator.NextId();
    SetBeforeRenameHookForTesting(nullptr);
    EXPECT_EQ(failed, std::nullopt);
    EXPECT_EQ(StoredIndexes(app), std::vector<int>{2});
    EXPECT_EQ(generator.NextId(), 2);
}

} // namespace
} // namespace harvexa
