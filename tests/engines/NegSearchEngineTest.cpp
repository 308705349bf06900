#include "engines/NegSearchEngine.h"

#include "EnginesTestSupport.h"

#include <gtest/gtest.h>

namespace harvexa {
namespace {

using test::EngineStore;
using test::FailingTableWrites;
using test::MakeEngine;
using test::MakeQuery;

TEST(NegSearchEngine, InsertNewEngineGivesTheEngineAndEachQueryANewId) {
    EngineStore store;
    EXPECT_EQ(store.generator.NextId(), 0); // ids are shared with researches
    EntSearchEngine engine =
        MakeEngine(-1, "New", "new.example", {MakeQuery(-1, -1, "q1"), MakeQuery(-1, -1, "q2")});

    ASSERT_TRUE(store.engines.InsertNewEngine(engine));

    EXPECT_EQ(engine.id_search_engines, 1);
    ASSERT_EQ(engine.Queries.size(), 2u);
    EXPECT_EQ(engine.Queries[0].id_search_query, 2);
    EXPECT_EQ(engine.Queries[1].id_search_query, 3);
    EXPECT_EQ(engine.Queries[1].id_search_engines, 1);
    EXPECT_EQ(store.engines.ReadEngine(1), engine);
    EXPECT_EQ(store.generator.NextId(), 4);
}

TEST(NegSearchEngine, InsertNewEngineStoresNothingWhenNoIdCanBeDrawn) {
    EngineStore store;
    store.app.WriteFile("tbGenerator.xml", "<DATAPACKET>broken");
    const std::string engines = store.File("tbSearchEngines.xml");
    const std::string queries = store.File("tbSearchQuery.xml");
    const EntSearchEngine original = MakeEngine(5, "New", "new.example", {MakeQuery(6, 5, "q1")});
    EntSearchEngine engine = original;

    EXPECT_FALSE(store.engines.InsertNewEngine(engine));

    EXPECT_EQ(engine, original);
    EXPECT_EQ(store.presenter.Errors(), std::vector<std::string>{store.lang.ReadText(5000, 9)});
    EXPECT_EQ(store.File("tbSearchEngines.xml"), engines);
    EXPECT_EQ(store.File("tbSearchQuery.xml"), queries);
    EXPECT_TRUE(store.engines.ListEngines(1, 10).empty());
}

TEST(NegSearchEngine, InsertNewEngineThatCannotBeStoredLeavesTheObjectAlone) {
    EngineStore store;
    const EntSearchEngine original = MakeEngine(-1, "New", "new.example");
    EntSearchEngine engine = original;
    {
        // The id draw writes tbGenerator.xml; the engine file is the second write.
        FailingTableWrites failing(2);
        EXPECT_FALSE(store.engines.InsertNewEngine(engine));
    }
    EXPECT_EQ(engine, original);
    EXPECT_TRUE(store.engines.ListEngines(1, 10).empty());
}

TEST(NegSearchEngine, AddQueryAppendsANewActiveQueryAndKeepsTheOthers) {
    EngineStore store;
    EntSearchEngine engine = MakeEngine(
        -1, "E", "e.example", {MakeQuery(-1, -1, "q1"), MakeQuery(-1, -1, "q2"), MakeQuery(-1, -1, "q3")});
    ASSERT_TRUE(store.engines.InsertNewEngine(engine));
    ASSERT_TRUE(store.engines.SetQueryActive(engine.Queries[1].id_search_query, 0));

    EntSearchQuery added = MakeQuery(-1, -1, "q4");
    ASSERT_TRUE(store.engines.AddQuery(engine.id_search_engines, added));

    EXPECT_EQ(added.id_search_query, 4);
    EXPECT_EQ(added.id_search_engines, engine.id_search_engines);
    EXPECT_EQ(store.StoredQueries(),
              (std::vector<std::string>{"1:0:q1:on", "2:0:q2:off", "3:0:q3:on", "4:0:q4:on"}));
    EXPECT_EQ(store.engines.ReadEngine(engine.id_search_engines)->Queries.back(), added);
}

TEST(NegSearchEngine, AddQueryStoresNothingWithoutAnIdOrAnEngine) {
    EngineStore store;
    EntSearchEngine engine = MakeEngine(-1, "E", "e.example", {MakeQuery(-1, -1, "q1")});
    ASSERT_TRUE(store.engines.InsertNewEngine(engine));
    const std::vector<std::string> before = store.StoredQueries();

    EntSearchQuery orphan = MakeQuery(-1, -1, "orphan");
    EXPECT_FALSE(store.engines.AddQuery(77, orphan));
    EXPECT_EQ(orphan, MakeQuery(-1, -1, "orphan"));

    store.app.WriteFile("tbGenerator.xml", "not a table");
    EntSearchQuery unnumbered = MakeQuery(-1, -1, "unnumbered");
    EXPECT_FALSE(store.engines.AddQuery(engine.id_search_engines, unnumbered));
    EXPECT_EQ(unnumbered.id_search_query, -1);
    EXPECT_EQ(store.presenter.Errors(), std::vector<std::string>{store.lang.ReadText(5000, 9)});

    EXPECT_EQ(store.StoredQueries(), before);
}

TEST(NegSearchEngine, ForwardsToTheRepository) {
    EngineStore store;
    EntSearchEngine engine = MakeEngine(-1, "E", "Engine.Example", {MakeQuery(-1, -1, "q1")});
    ASSERT_TRUE(store.engines.InsertNewEngine(engine));

    EXPECT_EQ(store.engines.FindEngineByUrl("http://engine.example/?q=1")->id_search_engines,
              engine.id_search_engines);
    EXPECT_EQ(store.engines.LookupEngineByUrl("http://ENGINE.example/")->id_search_engines,
              engine.id_search_engines);
    EXPECT_EQ(store.engines.ListEngines(1, 10).size(), 1u);
    engine.search_engine_name = "Renamed";
    EXPECT_TRUE(store.engines.UpdateEngine(engine));
    EXPECT_EQ(store.engines.ReadEngine(engine.id_search_engines)->search_engine_name, "Renamed");
    const int queryId = engine.Queries[0].id_search_query;
    EXPECT_TRUE(store.engines.ReadQuery(queryId).query.has_value());
    EXPECT_TRUE(store.engines.DeleteQuery(queryId));
    EXPECT_TRUE(store.engines.DeleteEngine(engine.id_search_engines));
    EXPECT_TRUE(store.engines.ListEngines(1, 10).empty());
}

} // namespace
} // namespace harvexa
