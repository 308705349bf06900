#include "engines/RepSearchEngine.h"

#include "EnginesTestSupport.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <thread>

namespace harvexa {
namespace {

using test::EngineStore;
using test::FailingTableWrites;
using test::MakeEngine;
using test::MakeQuery;

std::vector<std::string> Names(const std::vector<EntSearchEngine>& engines) {
    std::vector<std::string> names;
    for (const EntSearchEngine& engine : engines)
        names.push_back(engine.search_engine_name);
    return names;
}

// Engines A (id 1, two queries), B (id 2, one query), C (id 3, none), stored in that order.
void StoreThreeEngines(EngineStore& store) {
    ASSERT_TRUE(store.repository.InsertEngine(
        MakeEngine(1, "A", "alpha.example", {MakeQuery(10, 1, "a1"), MakeQuery(11, 1, "a2", false)})));
    ASSERT_TRUE(store.repository.InsertEngine(MakeEngine(2, "B", "beta.example", {MakeQuery(20, 2, "b1")})));
    ASSERT_TRUE(store.repository.InsertEngine(MakeEngine(3, "C", "gamma.example")));
}

TEST(RepSearchEngine, InsertedEngineReadsBackWithItsQueriesInOrder) {
    EngineStore store;
    // Queries carry the engine's id when stored, whatever the object says.
    EntSearchEngine engine(7, EntSearchEngine::Latin1Percent, "Busca \"Brasil\" – ç", "+", "%22",
                           "<ol id='r'>", "</ol>", "busca.br", "ALT", "cache\r\nsimilar",
                           {MakeQuery(70, 99, "first"), MakeQuery(71, 0, "second", false)});
    ASSERT_TRUE(store.repository.InsertEngine(engine));

    const std::optional<EntSearchEngine> read = store.repository.ReadEngine(7);
    ASSERT_TRUE(read.has_value());
    EntSearchEngine expected = engine;
    for (EntSearchQuery& query : expected.Queries)
        query.id_search_engines = 7;
    EXPECT_EQ(*read, expected);
    EXPECT_TRUE(store.presenter.Errors().empty());
}

TEST(RepSearchEngine, ReadEngineOfUnknownIdYieldsNothingAndKeepsOtherEnginesApart) {
    EngineStore store;
    StoreThreeEngines(store);
    EXPECT_FALSE(store.repository.ReadEngine(0).has_value());
    EXPECT_FALSE(store.repository.ReadEngine(99).has_value());
    EXPECT_TRUE(store.presenter.Errors().empty());
    EXPECT_EQ(store.repository.ReadEngine(3)->Queries.size(), 0u);
    EXPECT_EQ(store.repository.ReadEngine(2)->Queries, std::vector<EntSearchQuery>{MakeQuery(20, 2, "b1")});
}

TEST(RepSearchEngine, ReadEngineShowsAnUnreadableQueryTableAndKeepsTheEngine) {
    EngineStore store;
    StoreThreeEngines(store);
    store.app.WriteFile("tbSearchQuery.xml", "<broken");
    const std::optional<EntSearchEngine> read = store.repository.ReadEngine(1);
    ASSERT_TRUE(read.has_value());
    EXPECT_TRUE(read->Queries.empty());
    EXPECT_EQ(store.presenter.Errors().size(), 1u);
}

TEST(RepSearchEngine, ReadEngineShowsAnUnreadableEngineTable) {
    EngineStore store;
    StoreThreeEngines(store);
    std::filesystem::remove(store.app.File("tbSearchEngines.xml"));
    EXPECT_FALSE(store.repository.ReadEngine(1).has_value());
    EXPECT_EQ(store.presenter.Errors().size(), 1u);
}

TEST(RepSearchEngine, ListEnginesReturnsEachEngineOnceWithItsQueries) {
    EngineStore store;
    EXPECT_TRUE(store.repository.ListEngines(1, 100000).empty());
    StoreThreeEngines(store);

    const std::vector<EntSearchEngine> all = store.repository.ListEngines(1, 100000);
    EXPECT_EQ(Names(all), (std::vector<std::string>{"A", "B", "C"}));
    ASSERT_EQ(all.size(), 3u);
    EXPECT_EQ(all[0], *store.repository.ReadEngine(1));
    EXPECT_EQ(all[1].Queries.size(), 1u);
    EXPECT_TRUE(all[2].Queries.empty());
}

struct ListCase {
    int first;
    int maxCount;
    std::vector<std::string> names;
};

class RepSearchEngineListWindow : public ::testing::TestWithParam<ListCase> {};

TEST_P(RepSearchEngineListWindow, StartsAtTheGivenRowAndStopsAtTheMaximum) {
    EngineStore store;
    StoreThreeEngines(store);
    EXPECT_EQ(Names(store.repository.ListEngines(GetParam().first, GetParam().maxCount)), GetParam().names);
}

INSTANTIATE_TEST_SUITE_P(Windows, RepSearchEngineListWindow,
                         ::testing::Values(ListCase{2, 100, {"B", "C"}}, ListCase{1, 2, {"A", "B"}},
                                           ListCase{3, 1, {"C"}}, ListCase{4, 10, {}}, ListCase{0, 1, {"A"}},
                                           ListCase{1, 0, {}}));

TEST(RepSearchEngine, ListEnginesShowsAnUnreadableEngineTable) {
    EngineStore store;
    store.app.WriteFile("tbSearchEngines.xml", "not xml");
    EXPECT_TRUE(store.repository.ListEngines(1, 10).empty());
    EXPECT_EQ(store.presenter.Errors().size(), 1u);
}

TEST(RepSearchEngine, FindEngineByUrlTakesTheFirstStoredMatchIgnoringCase) {
    EngineStore store;
    ASSERT_TRUE(store.repository.InsertEngine(MakeEngine(1, "Empty", "")));
    ASSERT_TRUE(store.repository.InsertEngine(MakeEngine(2, "Wide", "Search.Example")));
    ASSERT_TRUE(store.repository.InsertEngine(
        MakeEngine(3, "Narrow", "www.search.example", {MakeQuery(30, 3, "q")})));

    const auto found = store.repository.FindEngineByUrl("HTTP://WWW.SEARCH.EXAMPLE/results?q=x");
    ASSERT_TRUE(found.has_value());
    EXPECT_EQ(found->id_search_engines, 2);
    EXPECT_TRUE(found->Queries.empty());

    const auto narrow = store.repository.FindEngineByUrl("http://www.search.example.net/");
    ASSERT_TRUE(narrow.has_value());
    EXPECT_EQ(narrow->id_search_engines, 2);
    EXPECT_TRUE(store.presenter.Errors().empty());
}

TEST(RepSearchEngine, FindEngineByUrlWithoutMatchShowsTheErrorBox) {
    EngineStore store;
    StoreThreeEngines(store);
    const std::string url = "http://elsewhere.example/?q=1";

    EXPECT_FALSE(store.repository.FindEngineByUrl(url).has_value());

    const std::vector<std::string> errors = store.presenter.Errors();
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0], store.lang.ReadText(6000, 117) + " " + url + " " + store.lang.ReadText(6000, 118));
    EXPECT_EQ(store.repository.NoEngineText(url), errors[0]);
}

TEST(RepSearchEngine, LookupEngineByUrlIsQuiet) {
    EngineStore store;
    StoreThreeEngines(store);
    EXPECT_EQ(store.repository.LookupEngineByUrl("https://beta.example/s?q=x")->search_engine_name, "B");
    EXPECT_FALSE(store.repository.LookupEngineByUrl("https://delta.example/").has_value());
    store.app.WriteFile("tbSearchEngines.xml", "not xml");
    EXPECT_FALSE(store.repository.LookupEngineByUrl("https://beta.example/").has_value());
    EXPECT_TRUE(store.presenter.Errors().empty());
}

TEST(RepSearchEngine, WorkersLookUpWhileTheEditorRewritesTheEngines) {
    EngineStore store;
    StoreThreeEngines(store);
    std::atomic<bool> done{false};
    std::atomic<int> lookups{0};
    std::atomic<int> misses{0};
    std::vector<std::thread> workers;
    for (int i = 0; i < 3; ++i) {
        workers.emplace_back([&] {
            while (!done.load() || lookups.load() < 30) {
                const auto engine = store.repository.LookupEngineByUrl("http://gamma.example/?q=x");
                if (!engine || engine->id_search_engines != 3)
                    ++misses;
                ++lookups;
            }
        });
    }
    for (int round = 0; round < 40; ++round) {
        ASSERT_TRUE(store.repository.SaveEngine(
            MakeEngine(3, "C" + std::to_string(round), "gamma.example", {MakeQuery(100 + round, 3, "q")})));
    }
    done = true;
    for (std::thread& worker : workers)
        worker.join();
    EXPECT_EQ(misses.load(), 0);
    EXPECT_EQ(store.repository.ReadEngine(3)->search_engine_name, "C39");
}

TEST(RepSearchEngine, InsertEngineRefusesNegativeIds) {
    EngineStore store;
    const std::string engines = store.File("tbSearchEngines.xml");
    const std::string queries = store.File("tbSearchQuery.xml");

    EXPECT_FALSE(store.repository.InsertEngine(MakeEngine(-1, "X", "x.example")));
    EXPECT_FALSE(store.repository.InsertEngine(MakeEngine(4, "Y", "y.example", {MakeQuery(-1, 4, "q")})));

    EXPECT_EQ(store.presenter.Errors(), std::vector<std::string>(2, store.lang.ReadText(5000, 9)));
    EXPECT_EQ(store.File("tbSearchEngines.xml"), engines);
    EXPECT_EQ(store.File("tbSearchQuery.xml"), queries);
}

TEST(RepSearchEngine, InsertEngineThatCannotBeWrittenStoresNothing) {
    EngineStore store;
    const std::string queries = store.File("tbSearchQuery.xml");
    {
        FailingTableWrites failing;
        EXPECT_FALSE(store.repository.InsertEngine(MakeEngine(1, "A", "a.example", {MakeQuery(5, 1, "q")})));
    }
    EXPECT_EQ(store.presenter.Errors().size(), 1u);
    EXPECT_TRUE(store.repository.ListEngines(1, 10).empty());
    EXPECT_EQ(store.File("tbSearchQuery.xml"), queries);
}

TEST(RepSearchEngine, UpdateEngineOverwritesEveryFieldButTheIdAndKeepsTheQueries) {
    EngineStore store;
    StoreThreeEngines(store);
    EntSearchEngine changed(2, EntSearchEngine::NoEncoding, "B'2", "0123456789", "'", "<ul>", "</ul>",
                            "beta2.example", "ALT", "", {});
    EXPECT_TRUE(store.repository.UpdateEngine(changed));

    const std::optional<EntSearchEngine> read = store.repository.ReadEngine(2);
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(read->search_engine_name, "B'2");
    EXPECT_EQ(read->union_statement, "01234567"); // the table keeps 8 characters
    EXPECT_EQ(read->quote_statement, "'");
    EXPECT_EQ(read->texto_identificacao, "beta2.example");
    EXPECT_EQ(read->tag_busca_link, "ALT");
    EXPECT_EQ(read->must_not_have, "");
    EXPECT_EQ(read->tipo_keyword_format, EntSearchEngine::NoEncoding);
    EXPECT_EQ(read->Queries.size(), 1u);
    EXPECT_EQ(Names(store.repository.ListEngines(1, 10)), (std::vector<std::string>{"A", "B'2", "C"}));
}

TEST(RepSearchEngine, UpdateEngineOfUnknownIdOrWithUnsuitableValuesChangesNothing) {
    EngineStore store;
    StoreThreeEngines(store);
    const std::string before = store.File("tbSearchEngines.xml");

    EXPECT_FALSE(store.repository.UpdateEngine(MakeEngine(9, "Z", "z.example")));
    EntSearchEngine bad = MakeEngine(1, "A", "alpha.example");
    bad.tipo_keyword_format = 1 << 20; // small integer field
    EXPECT_FALSE(store.repository.UpdateEngine(bad));

    EXPECT_EQ(store.File("tbSearchEngines.xml"), before);
}

TEST(RepSearchEngine, SaveEngineReplacesTheEngineAndAllItsQueries) {
    EngineStore store;
    StoreThreeEngines(store);
    ASSERT_TRUE(store.repository.SaveEngine(MakeEngine(
        1, "A", "alpha.example", {MakeQuery(10, 1, "a1"), MakeQuery(11, 1, "a2"), MakeQuery(12, 1, "a3")})));
    ASSERT_EQ(store.repository.ReadEngine(1)->Queries.size(), 3u);

    EXPECT_TRUE(store.repository.SaveEngine(
        MakeEngine(1, "A2", "alpha.example", {MakeQuery(11, 1, "a2", false), MakeQuery(13, 1, "a4")})));

    EXPECT_EQ(store.StoredQueries(), (std::vector<std::string>{"20:2:b1:on", "11:1:a2:off", "13:1:a4:on"}));
    EXPECT_EQ(Names(store.repository.ListEngines(1, 10)), (std::vector<std::string>{"B", "C", "A2"}));
}

TEST(RepSearchEngine, SaveEngineKeepsTheOldQueriesWhenTheirFileCannotBeWritten) {
    EngineStore store;
    StoreThreeEngines(store);
    const std::vector<std::string> before = store.StoredQueries();
    {
        FailingTableWrites failing(2); // the engine file is written, the query file is not
        EXPECT_FALSE(
            store.repository.SaveEngine(MakeEngine(1, "A", "alpha.example", {MakeQuery(14, 1, "new")})));
    }
    EXPECT_EQ(store.presenter.Errors().size(), 1u);
    EXPECT_EQ(store.StoredQueries(), before);
    EXPECT_TRUE(store.repository.ReadEngine(1).has_value());
}

TEST(RepSearchEngine, DeleteEngineRemovesTheEngineAndOnlyItsQueries) {
    EngineStore store;
    StoreThreeEngines(store);
    EXPECT_TRUE(store.repository.DeleteEngine(1));
    EXPECT_EQ(Names(store.repository.ListEngines(1, 10)), (std::vector<std::string>{"B", "C"}));
    EXPECT_EQ(store.StoredQueries(), std::vector<std::string>{"20:2:b1:on"});
    EXPECT_TRUE(store.presenter.Errors().empty());
}

TEST(RepSearchEngine, DeleteEngineOfUnknownIdChangesNothing) {
    EngineStore store;
    StoreThreeEngines(store);
    // Queries that name a missing engine are left alone too.
    ASSERT_TRUE(store.repository.UpdateQuery(MakeQuery(20, 9, "b1")));
    const std::string engines = store.File("tbSearchEngines.xml");
    const std::string queries = store.File("tbSearchQuery.xml");

    EXPECT_FALSE(store.repository.DeleteEngine(9));
    EXPECT_FALSE(store.repository.DeleteEngine(0));

    EXPECT_EQ(store.File("tbSearchEngines.xml"), engines);
    EXPECT_EQ(store.File("tbSearchQuery.xml"), queries);
}

TEST(RepSearchEngine, DeleteEngineThatCannotBeWrittenKeepsItsQueries) {
    EngineStore store;
    StoreThreeEngines(store);
    const std::vector<std::string> before = store.StoredQueries();
    {
        FailingTableWrites failing;
        EXPECT_FALSE(store.repository.DeleteEngine(1));
    }
    EXPECT_EQ(store.presenter.Errors().size(), 1u);
    EXPECT_TRUE(store.repository.ReadEngine(1).has_value());
    EXPECT_EQ(store.StoredQueries(), before);
}

TEST(RepSearchEngine, ReadQueryFindsTheRowOrNamesTheFailure) {
    EngineStore store;
    StoreThreeEngines(store);
    const RepSearchEngine::QueryRead found = store.repository.ReadQuery(11);
    ASSERT_TRUE(found.query.has_value());
    EXPECT_EQ(*found.query, MakeQuery(11, 1, "a2", false));
    EXPECT_TRUE(found.failure.empty());

    const RepSearchEngine::QueryRead missing = store.repository.ReadQuery(12);
    EXPECT_FALSE(missing.query.has_value());
    EXPECT_EQ(missing.failure, store.lang.ReadText(5000, 94));

    std::filesystem::remove(store.app.File("tbSearchQuery.xml"));
    const RepSearchEngine::QueryRead unreadable = store.repository.ReadQuery(11);
    EXPECT_FALSE(unreadable.query.has_value());
    EXPECT_FALSE(unreadable.failure.empty());
    EXPECT_NE(unreadable.failure, store.lang.ReadText(5000, 94));
}

TEST(RepSearchEngine, UpdateQueryReplacesTheRowOfItsId) {
    EngineStore store;
    StoreThreeEngines(store);
    EntSearchQuery changed = MakeQuery(10, 1, "renamed", false);
    changed.search_query = "http://alpha.example/find?p=HARVEXA_KEY&lang='pt'";
    EXPECT_TRUE(store.repository.UpdateQuery(changed));

    EXPECT_EQ(*store.repository.ReadQuery(10).query, changed);
    EXPECT_EQ(store.StoredQueries(),
              (std::vector<std::string>{"11:1:a2:off", "20:2:b1:on", "10:1:renamed:off"}));
}

TEST(RepSearchEngine, UpdateQueryOfUnknownIdAddsNothing) {
    EngineStore store;
    StoreThreeEngines(store);
    const std::string before = store.File("tbSearchQuery.xml");
    EXPECT_FALSE(store.repository.UpdateQuery(MakeQuery(99, 1, "ghost")));
    EXPECT_EQ(store.File("tbSearchQuery.xml"), before);
}

TEST(RepSearchEngine, DeleteQueryRemovesOnlyAnExistingRow) {
    EngineStore store;
    StoreThreeEngines(store);
    const std::string before = store.File("tbSearchQuery.xml");
    EXPECT_FALSE(store.repository.DeleteQuery(99));
    EXPECT_EQ(store.File("tbSearchQuery.xml"), before);

    EXPECT_TRUE(store.repository.DeleteQuery(10));
    EXPECT_EQ(store.StoredQueries(), (std::vector<std::string>{"11:1:a2:off", "20:2:b1:on"}));
}

TEST(RepSearchEngine, DeleteQueryReportsAFailedWrite) {
    EngineStore store;
    StoreThreeEngines(store);
    {
        FailingTableWrites failing;
        EXPECT_FALSE(store.repository.DeleteQuery(10));
    }
    EXPECT_EQ(store.StoredQueries().size(), 3u);
}

TEST(RepSearchEngine, SetQueryActiveInvertsSetsAndClears) {
    EngineStore store;
    StoreThreeEngines(store);
    const auto active = [&](int id) {
        return store.repository.ReadQuery(id).query->ativo;
    };

    EXPECT_TRUE(store.repository.SetQueryActive(10, -1));
    EXPECT_FALSE(active(10));
    EXPECT_TRUE(store.repository.SetQueryActive(10, -1));
    EXPECT_TRUE(active(10));
    EXPECT_TRUE(store.repository.SetQueryActive(10, 0));
    EXPECT_FALSE(active(10));
    EXPECT_TRUE(store.repository.SetQueryActive(10, 5));
    EXPECT_TRUE(active(10));
    EXPECT_TRUE(store.repository.SetQueryActive(11, 1));
    EXPECT_TRUE(active(11));

    const std::string before = store.File("tbSearchQuery.xml");
    EXPECT_FALSE(store.repository.SetQueryActive(99, 1));
    EXPECT_EQ(store.File("tbSearchQuery.xml"), before);
}

} // namespace
} // namespace harvexa
