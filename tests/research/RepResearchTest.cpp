#include "research/RepResearch.h"

#include "ResearchTestSupport.h"
#include "research/IPendingLinkLoader.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace harvexa {
namespace {

using test::FailingTableWrites;
using test::ResearchStore;

DateTime At(int year, int month, int day, int hour, int minute, int second, int millisecond = 0) {
    return *DateTime::FromParts(year, month, day, hour, minute, second, millisecond);
}

// Every stored field set to something other than its default.
EntResearch FullResearch(int id, const std::string& shortName) {
    EntResearch r;
    r.id_research = id;
    r.research_type = EntResearch::SiteList;
    r.search_site_list = "http://a.example/\r\nhttp://b.example/x?q=1&r=2";
    r.keywords = "café com leite\r\n\"exact phrase\"";
    r.capture_list = "email\rtitulo\rurl\rmetatags\r";
    r.follow_indoor_links = 3;
    r.follow_external_links = 1;
    r.url_must_have = "contato\r\ncontact";
    r.url_must_not_have = "logout";
    r.email_must_not_have = "noreply\r\nabuse";
    r.site_must_have = "<b>loja</b>";
    r.site_must_not_have = "casino";
    r.domains = ".br\r\n.pt";
    r.short_name = shortName;
    r.research_description = "Lojas de São Paulo & arredores";
    r.research_list_sites = "http://c.example/";
    r.creation_date = At(2024, 2, 29, 13, 45, 7, 250);
    r.begin_date = At(2024, 3, 1, 8, 0, 0);
    r.end_date = At(2024, 3, 2, 23, 59, 59, 999);
    r.research_step = EntResearch::Finished;
    r.email_must_have = "@";
    r.research_summary = "12 e-mails\r\n3 sites";
    r.binary_files = ".pdf\r\n.zip";
    r.qtd_quebra = 5000;
    r.tipo_arquivo = "XML";
    r.exigir_valid_domains = true;
    r.parar_email = true;
    r.maximo_links = 25;
    return r;
}

EntResearch NamedResearch(int id, const std::string& shortName, int step = EntResearch::New) {
    EntResearch r;
    r.id_research = id;
    r.short_name = shortName;
    r.research_step = step;
    r.tipo_arquivo = "CSV";
    return r;
}

std::vector<int> StoredIds(RepResearch& repository) {
    std::vector<int> ids;
    for (const EntResearch& r : repository.ListAll())
        ids.push_back(r.id_research);
    return ids;
}

TEST(RepResearch, InsertStoresEveryFieldAndFindByIdReadsItBack) {
    ResearchStore store;
    const EntResearch research = FullResearch(7, "lojas-sp");
    ASSERT_TRUE(store.repository.Insert(research));

    const std::optional<EntResearch> found = store.repository.FindById(7);
    ASSERT_TRUE(found.has_value());
    EXPECT_EQ(*found, research);
    EXPECT_FALSE(found->PendingLinks.has_value());
    EXPECT_TRUE(store.presenter.Errors().empty());
}

TEST(RepResearch, NewResearchStoresZeroDatesAndEmptySummary) {
    ResearchStore store;
    ASSERT_TRUE(store.repository.Insert(NamedResearch(1, "fresh")));
    const std::optional<EntResearch> found = store.repository.FindById(1);
    ASSERT_TRUE(found.has_value());
    EXPECT_TRUE(found->begin_date.IsZero());
    EXPECT_TRUE(found->end_date.IsZero());
    EXPECT_EQ(found->research_summary, "");
    EXPECT_EQ(found->research_step, EntResearch::New);
}

TEST(RepResearch, FindByIdOfUnknownIdOrUnreadableTableYieldsNothing) {
    ResearchStore store;
    ASSERT_TRUE(store.repository.Insert(NamedResearch(1, "one")));
    EXPECT_FALSE(store.repository.FindById(2).has_value());

    store.app.WriteFile("tbResearch.xml", "<not a data packet");
    EXPECT_FALSE(store.repository.FindById(1).has_value());
}

TEST(RepResearch, InsertRefusesTheFailedIdAndUnsuitableValues) {
    ResearchStore store;
    const std::string before = store.TableFile();

    EXPECT_FALSE(store.repository.Insert(NamedResearch(-1, "failed id")));
    EntResearch tooLarge = NamedResearch(3, "big");
    tooLarge.research_type = 70000; // small integer field
    EXPECT_FALSE(store.repository.Insert(tooLarge));

    EXPECT_EQ(store.TableFile(), before);
    EXPECT_TRUE(store.repository.ListAll().empty());
}

TEST(RepResearch, InsertNewDrawsIdsFromTheSharedCounter) {
    ResearchStore store;
    EntResearch first = NamedResearch(99, "first");
    EntResearch second = NamedResearch(99, "second");
    ASSERT_TRUE(store.repository.InsertNew(first));
    EXPECT_EQ(store.generator.NextId(), 1); // someone else draws one in between
    ASSERT_TRUE(store.repository.InsertNew(second));

    EXPECT_EQ(first.id_research, 0);
    EXPECT_EQ(second.id_research, 2);
    EXPECT_EQ(StoredIds(store.repository), (std::vector<int>{0, 2}));
}

TEST(RepResearch, InsertNewStoresNothingWhenNoIdCanBeDrawn) {
    ResearchStore store;
    store.app.WriteFile("tbGenerator.xml", "garbage, not a table");
    const std::string before = store.TableFile();

    EntResearch research = NamedResearch(42, "orphan");
    EXPECT_FALSE(store.repository.InsertNew(research));

    EXPECT_EQ(research.id_research, 42);
    EXPECT_EQ(store.TableFile(), before);
    EXPECT_TRUE(store.repository.ListAll().empty());
}

TEST(RepResearch, InsertNewKeepsTheOldIdWhenStoringFails) {
    ResearchStore store;
    EntResearch research = NamedResearch(42, "unwritten");
    {
        FailingTableWrites failing;
        EXPECT_FALSE(store.repository.InsertNew(research));
    }
    EXPECT_EQ(research.id_research, 42);
    EXPECT_TRUE(store.repository.ListAll().empty());
}

struct UpdateCase {
    const char* name;
    int storedStep;
    int newStep;
    bool savingRunState;
    bool written;
};

void PrintTo(const UpdateCase& c, std::ostream* out) {
    *out << c.name;
}

class RepResearchUpdate : public ::testing::TestWithParam<UpdateCase> {};

TEST_P(RepResearchUpdate, WritesUnlessTheResearchIsUnderWayWithoutTheRunStateFlag) {
    const UpdateCase& c = GetParam();
    ResearchStore store;
    ASSERT_TRUE(store.repository.Insert(NamedResearch(5, "before", c.storedStep)));
    const std::string before = store.TableFile();

    EntResearch changed = FullResearch(5, "after");
    changed.research_step = c.newStep;
    store.repository.SetSavingRunState(c.savingRunState);
    EXPECT_EQ(store.repository.Update(changed), c.written);

    const std::optional<EntResearch> found = store.repository.FindById(5);
    ASSERT_TRUE(found.has_value());
    if (c.written) {
        EXPECT_EQ(*found, changed);
    } else {
        EXPECT_EQ(store.TableFile(), before);
        EXPECT_EQ(found->short_name, "before");
    }
}

INSTANTIATE_TEST_SUITE_P(RunState, RepResearchUpdate,
                         ::testing::Values(UpdateCase{"NewResearch", 0, 0, false, true},
                                           UpdateCase{"Finished", 3, 3, false, true},
                                           UpdateCase{"UnderWayWithoutFlag", 2, 2, false, false},
                                           UpdateCase{"BecomingUnderWayWithoutFlag", 0, 2, false, false},
                                           UpdateCase{"UnderWayWithFlag", 2, 2, true, true},
                                           UpdateCase{"LeavingUnderWayWithoutFlag", 2, 3, false, true}),
                         [](const ::testing::TestParamInfo<UpdateCase>& info) {
                             return std::string(info.param.name);
                         });

TEST(RepResearch, UpdateOfUnknownIdWritesNothing) {
    ResearchStore store;
    ASSERT_TRUE(store.repository.Insert(NamedResearch(1, "one")));
    const std::string before = store.TableFile();
    EXPECT_FALSE(store.repository.Update(NamedResearch(2, "two")));
    EXPECT_EQ(store.TableFile(), before);
}

TEST(RepResearch, UpdateReportsAFailedWrite) {
    ResearchStore store;
    ASSERT_TRUE(store.repository.Insert(NamedResearch(1, "one")));
    FailingTableWrites failing;
    EXPECT_FALSE(store.repository.Update(NamedResearch(1, "renamed")));
}

TEST(RepResearch, UpdateClosesTheDataModulesPendingLinkTable) {
    ResearchStore store;
    ASSERT_TRUE(store.repository.Insert(NamedResearch(1, "one")));
    ASSERT_TRUE(store.tables.tbLackSites().Open());
    EXPECT_TRUE(store.repository.Update(NamedResearch(1, "renamed")));
    EXPECT_FALSE(store.tables.tbLackSites().IsOpen());
}

TEST(RepResearch, DeleteRemovesTheResearchWithBothLinkFilesAndStepsProgressPerId) {
    ResearchStore store;
    ASSERT_TRUE(store.repository.Insert(NamedResearch(17, "gone")));
    ASSERT_TRUE(store.repository.Insert(NamedResearch(18, "kept")));
    for (const char* file : {"d17-lack.dat", "d17-lack_p.dat", "d18-lack.dat", "d18-lack_p.dat"})
        store.app.WriteFile(file, "0#%1http://example.com/#%20#%30\r\n");

    EXPECT_TRUE(store.repository.Delete({"17", "404"}));

    EXPECT_EQ(StoredIds(store.repository), std::vector<int>{18});
    EXPECT_FALSE(std::filesystem::exists(store.app.File("d17-lack.dat")));
    EXPECT_FALSE(std::filesystem::exists(store.app.File("d17-lack_p.dat")));
    EXPECT_TRUE(std::filesystem::exists(store.app.File("d18-lack.dat")));
    EXPECT_TRUE(std::filesystem::exists(store.app.File("d18-lack_p.dat")));
    const std::string step = "StepTotal " + store.lang.ReadText(6000, 99);
    EXPECT_EQ(store.progress.calls, (std::vector<std::string>{step, step}));
    EXPECT_TRUE(store.presenter.Errors().empty());
}

TEST(RepResearch, DeleteWithoutLinkFilesAndOfSeveralIds) {
    ResearchStore store;
    for (int id : {1, 2, 3, 4})
        ASSERT_TRUE(store.repository.Insert(NamedResearch(id, "r" + std::to_string(id))));
    store.app.WriteFile("d3-lack.dat", "");

    EXPECT_TRUE(store.repository.Delete({"3", "1", "4"}));

    EXPECT_EQ(StoredIds(store.repository), std::vector<int>{2});
    EXPECT_FALSE(std::filesystem::exists(store.app.File("d3-lack.dat")));
    EXPECT_EQ(store.progress.calls.size(), 3u);
}

TEST(RepResearch, DeleteOfUnknownIdsDeletesNothingButStillSteps) {
    ResearchStore store;
    ASSERT_TRUE(store.repository.Insert(NamedResearch(1, "one")));
    const std::string before = store.TableFile();
    EXPECT_FALSE(store.repository.Delete({"2", "3"}));
    EXPECT_FALSE(store.repository.Delete({}));
    EXPECT_EQ(store.TableFile(), before);
    EXPECT_EQ(store.progress.calls.size(), 2u);
}

TEST(RepResearch, DeleteShowsAnUnusableIdAndGoesOn) {
    ResearchStore store;
    ASSERT_TRUE(store.repository.Insert(NamedResearch(1, "one")));
    ASSERT_TRUE(store.repository.Insert(NamedResearch(2, "two")));

    EXPECT_TRUE(store.repository.Delete({"x'1", "2"}));

    const std::vector<std::string> errors = store.presenter.Errors();
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_NE(errors[0].find("x'1"), std::string::npos) << errors[0];
    EXPECT_EQ(StoredIds(store.repository), std::vector<int>{1});
    EXPECT_EQ(store.progress.calls.size(), 2u);
}

TEST(RepResearch, DeleteShowsAnUnreadableTableForEveryId) {
    ResearchStore store;
    std::filesystem::remove(store.app.File("tbResearch.xml"));
    EXPECT_FALSE(store.repository.Delete({"1", "2"}));
    EXPECT_EQ(store.presenter.Errors().size(), 2u);
    EXPECT_EQ(store.progress.calls.size(), 2u);
}

TEST(RepResearch, DeleteThatCannotWriteTheTableKeepsTheResearchAndItsQueue) {
    ResearchStore store;
    ASSERT_TRUE(store.repository.Insert(NamedResearch(17, "kept")));
    store.app.WriteFile("d17-lack.dat", "0#%1http://example.com/#%20#%30\r\n");
    store.app.WriteFile("d17-lack_p.dat", "http://example.com/\r\n");
    {
        FailingTableWrites failing;
        EXPECT_FALSE(store.repository.Delete({"17"}));
    }
    EXPECT_EQ(store.presenter.Errors().size(), 1u);
    EXPECT_EQ(StoredIds(store.repository), std::vector<int>{17});
    EXPECT_TRUE(std::filesystem::exists(store.app.File("d17-lack.dat")));
    EXPECT_TRUE(std::filesystem::exists(store.app.File("d17-lack_p.dat")));
}

// Records the research it was asked to fill and gives it one link.
class OneLinkLoader final : public IPendingLinkLoader {
public:
    std::vector<int> loaded;

    void LoadPendingLinks(EntResearch& research) override {
        loaded.push_back(research.id_research);
        EntLackSites link;
        link.id_research = research.id_research;
        link.lack_sites = "http://example.com/";
        research.PendingLinks = PendingLinkList{link};
    }
};

TEST(RepResearch, FindWithPendingLinksWithoutPendingFileMarksTheRecordFinishedOnly) {
    ResearchStore store;
    OneLinkLoader loader;
    store.repository.SetPendingLinkLoader(&loader);
    ASSERT_TRUE(store.repository.Insert(NamedResearch(4, "running", EntResearch::UnderWay)));
    store.app.WriteFile("d4-lack_p.dat",
                        "http://example.com/\r\n"); // processed file alone counts for nothing

    const std::optional<EntResearch> found = store.repository.FindWithPendingLinks(4);
    ASSERT_TRUE(found.has_value());
    EXPECT_EQ(found->research_step, EntResearch::Finished);
    EXPECT_FALSE(found->PendingLinks.has_value());
    EXPECT_TRUE(loader.loaded.empty());
    EXPECT_EQ(store.repository.FindById(4)->research_step, EntResearch::UnderWay);
}

TEST(RepResearch, FindWithPendingLinksHandsTheRecordToTheQueueReader) {
    ResearchStore store;
    OneLinkLoader loader;
    store.repository.SetPendingLinkLoader(&loader);
    ASSERT_TRUE(store.repository.Insert(NamedResearch(4, "running", EntResearch::UnderWay)));
    store.app.WriteFile("d4-lack.dat", "0#%1http://example.com/#%20#%30\r\n");

    const std::optional<EntResearch> found = store.repository.FindWithPendingLinks(4);
    ASSERT_TRUE(found.has_value());
    EXPECT_EQ(loader.loaded, std::vector<int>{4});
    EXPECT_EQ(found->research_step, EntResearch::UnderWay);
    ASSERT_TRUE(found->PendingLinks.has_value());
    ASSERT_EQ(found->PendingLinks->size(), 1u);
    EXPECT_EQ(found->PendingLinks->front().lack_sites, "http://example.com/");
    EXPECT_FALSE(store.repository.FindWithPendingLinks(5).has_value());
}

TEST(RepResearch, FindWithPendingLinksFailsWithoutAQueueReader) {
    ResearchStore store;
    ASSERT_TRUE(store.repository.Insert(NamedResearch(4, "running", EntResearch::UnderWay)));
    store.app.WriteFile("d4-lack.dat", "0#%1http://example.com/#%20#%30\r\n");
    EXPECT_FALSE(store.repository.FindWithPendingLinks(4).has_value());
}

TEST(RepResearch, ListAllKeepsStoredOrder) {
    ResearchStore store;
    EXPECT_TRUE(store.repository.ListAll().empty());
    for (int id : {5, 2, 9})
        ASSERT_TRUE(store.repository.Insert(FullResearch(id, "r" + std::to_string(id))));

    const std::vector<EntResearch> all = store.repository.ListAll();
    ASSERT_EQ(all.size(), 3u);
    EXPECT_EQ(all[0], FullResearch(5, "r5"));
    EXPECT_EQ(all[1].id_research, 2);
    EXPECT_EQ(all[2].id_research, 9);
}

TEST(RepResearch, ListAllOfUnreadableTableIsEmpty) {
    ResearchStore store;
    ASSERT_TRUE(store.repository.Insert(NamedResearch(1, "one")));
    store.app.WriteFile("tbResearch.xml", "<DATAPACKET><broken");
    EXPECT_TRUE(store.repository.ListAll().empty());
}

TEST(RepResearch, ShortNamesWithQuotesSlashesAndAccentsAreFoundExactly) {
    const std::vector<std::string> names = {
        "O'Brien's list", "say \"hello\"", "a/b\\c:d*e?f<g>h|i", "Pesquisa São Paulo – ação",
        "quote at end '", "' or '1'='1",   "日本語の調査",       "  blanks around  ",
    };
    ResearchStore store;
    int id = 0;
    for (const std::string& name : names)
        ASSERT_TRUE(store.repository.Insert(NamedResearch(id++, name))) << name;

    for (const std::string& name : names) {
        EXPECT_EQ(store.repository.ShortNameExists(name), std::optional<bool>(true)) << name;
    }
    for (const char* other :
         {"o'brien's list", "O'Brien", "Pesquisa Sao Paulo – acao", "blanks around", ""}) {
        EXPECT_EQ(store.repository.ShortNameExists(other), std::optional<bool>(false)) << other;
    }
    const std::vector<EntResearch> all = store.repository.ListAll();
    ASSERT_EQ(all.size(), names.size());
    for (std::size_t i = 0; i < names.size(); ++i)
        EXPECT_EQ(all[i].short_name, names[i]);
}

TEST(RepResearch, ShortNameExistsReportsAnUnreadableTable) {
    ResearchStore store;
    std::filesystem::remove(store.app.File("tbResearch.xml"));
    EXPECT_EQ(store.repository.ShortNameExists("any"), std::nullopt);
}

TEST(RepResearch, LinkFilesLieInTheApplicationFolder) {
    ResearchStore store;
    EXPECT_EQ(store.repository.PendingLinksFile(17), store.app.Folder() + "d17-lack.dat");
    EXPECT_EQ(store.repository.ProcessedLinksFile(17), store.app.Folder() + "d17-lack_p.dat");
}

} // namespace
} // namespace harvexa
