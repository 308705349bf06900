#include "EnginesTestSupport.h"
#include "engines/CLSearchPageSeeder.h"
#include "engines/CLSearchQueryBuilder.h"

#include <gtest/gtest.h>

namespace harvexa {
namespace {

using test::EngineStore;

EntSearchEngine Engine(int id, int format, const std::string& unionText = "+",
                       const std::string& quoteText = "%22", const std::string& identification = "h1",
                       std::vector<EntSearchQuery> queries = {}) {
    return EntSearchEngine(id, format, "engine " + std::to_string(id), unionText, quoteText, "<ol>", "</ol>",
                           identification, "HREF", "", std::move(queries));
}

// The 46 accented letters of the encodings, small then capital.
const std::string kAccented = "áéíóúäëïöüàèìòùâêîôûãõçÁÉÍÓÚÄËÏÖÜÀÈÌÒÙÂÊÎÔÛÃÕÇ";

TEST(CLSearchQueryBuilder, KeywordEncodings) {
    struct Case {
        const char* name;
        std::string keyword;
        std::string none;
        std::string utf8;
        std::string latin1;
    };
    const std::vector<Case> cases = {
        {"small a acute", "á", "á", "%C3%A1", "%e1"},
        {"capital A acute", "Á", "Á", "%C3%81", "%c1"},
        {"c cedilla", "ç", "ç", "%C3%A7", "%e7"},
        {"a tilde inside a word", "são paulo", "são paulo", "s%C3%A3o paulo", "s%e3o paulo"},
        {"every accented letter", kAccented, kAccented,
         "%C3%A1%C3%A9%C3%AD%C3%B3%C3%BA%C3%A4%C3%AB%C3%AF%C3%B6%C3%BC%C3%A0%C3%A8%C3%AC%C3%B2%C3%B9"
         "%C3%A2%C3%AA%C3%AE%C3%B4%C3%BB%C3%A3%C3%B5%C3%A7"
         "%C3%81%C3%89%C3%8D%C3%93%C3%9A%C3%84%C3%8B%C3%8F%C3%96%C3%9C%C3%80%C3%88%C3%8C%C3%92%C3%99"
         "%C3%82%C3%8A%C3%8E%C3%94%C3%9B%C3%83%C3%95%C3%87",
         "%e1%e9%ed%f3%fa%e4%eb%ef%f6%fc%e0%e8%ec%f2%f9%e2%ea%ee%f4%fb%e3%f5%e7"
         "%c1%c9%cd%d3%da%c4%cb%cf%d6%dc%c0%c8%cc%d2%d9%c2%ca%ce%d4%db%c3%d5%c7"},
        {"double quotes", "\"hotel barato\"", "\"hotel barato\"", "%22hotel barato%22", "\"hotel barato\""},
        {"letters outside the table", "ñýÑßåæøÿ", "ñýÑßåæøÿ", "ñýÑßåæøÿ", "ñýÑßåæøÿ"},
        {"other characters", "a & b + c # d ? e", "a & b + c # d ? e", "a & b + c # d ? e",
         "a & b + c # d ? e"},
        {"other alphabets", "Ωmega €", "Ωmega €", "Ωmega €", "Ωmega €"},
        {"bytes that are not UTF-8", "caf\xE9 \xC3", "caf\xE9 \xC3", "caf\xE9 \xC3", "caf\xE9 \xC3"},
        {"empty", "", "", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(CLSearchQueryBuilder::EncodeKeyword(c.keyword, EntSearchEngine::NoEncoding), c.none);
        EXPECT_EQ(CLSearchQueryBuilder::EncodeKeyword(c.keyword, EntSearchEngine::Utf8Percent), c.utf8);
        EXPECT_EQ(CLSearchQueryBuilder::EncodeKeyword(c.keyword, EntSearchEngine::Latin1Percent), c.latin1);
        EXPECT_EQ(CLSearchQueryBuilder::EncodeKeyword(c.keyword, 7), c.none); // unknown format: unchanged
    }
}

TEST(CLSearchQueryBuilder, SearchUrls) {
    struct Case {
        const char* name;
        std::string placeholder;
        std::string queryTemplate;
        std::string keyword;
        EntSearchEngine engine;
        std::string url;
    };
    const std::string h1 = "http://h1/search?q=[key]&hl=pt";
    const std::vector<Case> cases = {
        {"one word", "[key]", h1, "hotel", Engine(1, 0), "http://h1/search?q=hotel&hl=pt"},
        {"blanks become the union text", "[key]", h1, "pousada rio", Engine(1, 0),
         "http://h1/search?q=pousada+rio&hl=pt"},
        {"each blank", "[key]", h1, "a  b", Engine(1, 0, "%20"), "http://h1/search?q=a%20%20b&hl=pt"},
        {"trimmed first", "[key]", h1, "  hotel \t", Engine(1, 0), "http://h1/search?q=hotel&hl=pt"},
        {"format 1", "[key]", h1, "são paulo", Engine(1, 1), "http://h1/search?q=s%C3%A3o+paulo&hl=pt"},
        {"format 2", "[key]", h1, "são paulo", Engine(1, 2), "http://h1/search?q=s%e3o+paulo&hl=pt"},
        {"quotes, format 0", "[key]", h1, "\"hotel rio\"", Engine(1, 0),
         "http://h1/search?q=%22hotel+rio%22&hl=pt"},
        {"quotes, format 1", "[key]", h1, "\"hotel rio\"", Engine(1, 1),
         "http://h1/search?q=%22hotel+rio%22&hl=pt"},
        {"quotes, format 2", "[key]", h1, "\"hotel rio\"", Engine(1, 2),
         "http://h1/search?q=%22hotel+rio%22&hl=pt"},
        {"quotes dropped", "[key]", h1, "\"hotel\"", Engine(1, 0, "+", ""), "http://h1/search?q=hotel&hl=pt"},
        {"capital template, keyword keeps its case", "[key]", "HTTP://H1/Search?Q=[KEY]&HL=PT", "Hotel Rio",
         Engine(1, 0), "http://h1/search?q=Hotel+Rio&hl=pt"},
        {"capital placeholder setting", "HARVEXA_KEY", "http://h1/?q=HARVEXA_KEY", "hotel", Engine(1, 0),
         "http://h1/?q=hotel"},
        {"mixed-case placeholder", "Harvexa_Key", "http://h1/?q=harvexa_KEY&n=10", "hotel", Engine(1, 0),
         "http://h1/?q=hotel&n=10"},
        {"only the first placeholder", "[key]", "http://h1/?q=[key]&r=[KEY]", "hotel", Engine(1, 0),
         "http://h1/?q=hotel&r=[key]"},
        {"no placeholder", "[key]", "http://H1/?q=fixed", "hotel", Engine(1, 0), "http://h1/?q=fixed"},
        {"empty placeholder setting", "", "http://H1/?q=[key]", "hotel", Engine(1, 0), "http://h1/?q=[key]"},
        {"empty keyword", "[key]", h1, "", Engine(1, 1), "http://h1/search?q=&hl=pt"},
        {"reserved characters stay", "[key]", h1, "a&b#c", Engine(1, 1), "http://h1/search?q=a&b#c&hl=pt"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const CLSearchQueryBuilder builder(c.placeholder);
        EXPECT_EQ(builder.SearchUrl(c.queryTemplate, c.keyword, c.engine), c.url);
    }
}

TEST(CLSearchQueryBuilder, BuildSearchUrlTakesTheKeywordAlreadyEncoded) {
    const CLSearchQueryBuilder builder("[key]");
    // Encoding again would turn "%" sequences or accented letters into something else.
    EXPECT_EQ(builder.BuildSearchUrl("http://h1/?q=[key]", "são", Engine(1, 1)), "http://h1/?q=são");
}

class SearchPageSeederTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_store.lang.WriteConfigString("SYS CONFIG", "Search_Key_Name", "HARVEXA_KEY"));
        // Alpha: format 0, "+"; two active templates and an inactive one.
        Insert(Engine(1, EntSearchEngine::NoEncoding, "+", "%22", "alpha.example",
                      {Query(11, 1, "http://alpha.example/search?q=HARVEXA_KEY&page=1"),
                       Query(12, 1, "http://alpha.example/search?q=HARVEXA_KEY&page=2"),
                       Query(13, 1, "http://alpha.example/inactive?q=HARVEXA_KEY", false)}));
        // Beta: format 2, "%20".
        Insert(Engine(2, EntSearchEngine::Latin1Percent, "%20", "%22", "beta.example",
                      {Query(21, 2, "http://Beta.Example/find?text=HARVEXA_KEY")}));
    }

    static EntSearchQuery Query(int id, int engine, const std::string& text, bool active = true) {
        return EntSearchQuery(id, engine, text, "q" + std::to_string(id), active);
    }
    void Insert(const EntSearchEngine& engine) { ASSERT_TRUE(m_store.engines.InsertEngine(engine)); }

    EntResearch Research(const std::string& engineIds, const std::string& keywords) const {
        EntResearch research;
        research.id_research = 42;
        research.search_site_list = engineIds;
        research.keywords = keywords;
        return research;
    }
    static std::vector<std::string> Urls(const SearchSeedResult& result) {
        std::vector<std::string> urls;
        for (const EntLackSites& link : result.links)
            urls.push_back(link.lack_sites);
        return urls;
    }

    EngineStore m_store;
    CLSearchPageSeeder m_seeder{m_store.engines, m_store.lang};
};

TEST_F(SearchPageSeederTest, OneSearchPagePerKeywordForEveryActiveTemplateInEngineThenTemplateOrder) {
    const SearchSeedResult result = m_seeder.SeedSearchPages(Research("2\r\n1", "hotel\r\nsão paulo\r\n"));

    EXPECT_EQ(Urls(result), (std::vector<std::string>{
                                "http://beta.example/find?text=hotel",
                                "http://beta.example/find?text=s%e3o%20paulo",
                                "http://alpha.example/search?q=hotel&page=1",
                                "http://alpha.example/search?q=são+paulo&page=1",
                                "http://alpha.example/search?q=hotel&page=2",
                                "http://alpha.example/search?q=são+paulo&page=2",
                            }));
    for (const EntLackSites& link : result.links) {
        EXPECT_EQ(link.id_lack_sites, 0);
        EXPECT_EQ(link.id_research, 42);
        EXPECT_EQ(link.nivel, kSearchResultLevel);
        EXPECT_EQ(link.tipo_lack_site, kSearchResultPage);
    }
    EXPECT_FALSE(result.engineMissing);
    EXPECT_FALSE(result.failure);
    EXPECT_TRUE(m_store.presenter.Errors().empty());
}

TEST_F(SearchPageSeederTest, TheEngineNamedByTheTemplateWritesTheKeyword) {
    // Gamma's template points at beta.example: Beta's encoding and union text apply.
    Insert(Engine(3, EntSearchEngine::NoEncoding, "+", "%22", "gamma.example",
                  {Query(31, 3, "http://beta.example/other?q=HARVEXA_KEY")}));
    const SearchSeedResult result = m_seeder.SeedSearchPages(Research("3", "são paulo"));
    EXPECT_EQ(Urls(result), std::vector<std::string>{"http://beta.example/other?q=s%e3o%20paulo"});
}

TEST_F(SearchPageSeederTest, AUrlIsQueuedOnceIgnoringLetterCase) {
    Insert(Engine(4, EntSearchEngine::NoEncoding, "+", "%22", "delta.example",
                  {Query(41, 4, "http://delta.example/?q=HARVEXA_KEY"),
                   Query(42, 4, "HTTP://DELTA.EXAMPLE/?Q=HARVEXA_KEY")}));
    EntResearch research = Research("4", "hotel\r\nHotel\r\nhotel\r\npousada");
    research.PendingLinks = PendingLinkList{
        EntLackSites(0, 42, kSearchResultLevel, kSearchResultPage, "http://delta.example/?q=POUSADA")};

    const SearchSeedResult result = m_seeder.SeedSearchPages(research);

    EXPECT_EQ(Urls(result), std::vector<std::string>{"http://delta.example/?q=hotel"});
}

TEST_F(SearchPageSeederTest, ATemplateNoEngineRecognisesStopsTheRunButTheOthersAreSeeded) {
    Insert(Engine(5, EntSearchEngine::NoEncoding, "+", "%22", "epsilon.example",
                  {Query(51, 5, "http://unknown.example/?q=HARVEXA_KEY"),
                   Query(52, 5, "http://epsilon.example/?q=HARVEXA_KEY")}));

    const SearchSeedResult result = m_seeder.SeedSearchPages(Research("5", "hotel"));

    EXPECT_EQ(Urls(result), std::vector<std::string>{"http://epsilon.example/?q=hotel"});
    EXPECT_TRUE(result.engineMissing);
    EXPECT_EQ(result.statusMessage, m_store.lang.ReadText(5000, 47));
    EXPECT_FALSE(result.statusMessage.empty());
    EXPECT_EQ(m_store.presenter.Errors(), std::vector<std::string>{m_store.engines.NoEngineText(
                                              "http://unknown.example/?q=HARVEXA_KEY")});
}

TEST_F(SearchPageSeederTest, AnEngineListLineThatIsNoIdEndsTheSeedingWithNothingQueued) {
    const SearchSeedResult result = m_seeder.SeedSearchPages(Research("1\r\nbeta\r\n2", "hotel"));
    EXPECT_TRUE(result.links.empty());
    ASSERT_TRUE(result.failure);
    EXPECT_NE(result.failure->find("beta"), std::string::npos);
    EXPECT_FALSE(result.engineMissing);
    EXPECT_TRUE(m_store.presenter.Errors().empty());
}

TEST_F(SearchPageSeederTest, UnknownIdsAndBlankLinesOfTheEngineListGiveNothing) {
    const SearchSeedResult result = m_seeder.SeedSearchPages(Research("99\r\n\r\n 2 \r\n", "hotel"));
    EXPECT_EQ(Urls(result), std::vector<std::string>{"http://beta.example/find?text=hotel"});
    EXPECT_FALSE(result.failure);
}

TEST_F(SearchPageSeederTest, CollectQueryTemplatesSkipsInactiveQueriesAndSplitsTemplateLines) {
    Insert(Engine(
        6, EntSearchEngine::NoEncoding, "+", "%22", "zeta.example",
        {Query(61, 6, "http://zeta.example/a?q=HARVEXA_KEY\r\nhttp://zeta.example/b?q=HARVEXA_KEY\r\n"),
         Query(62, 6, "http://zeta.example/off?q=HARVEXA_KEY", false), Query(63, 6, "  ")}));

    const CollectedTemplates collected = m_seeder.CollectQueryTemplates("6\n1");

    EXPECT_EQ(collected.templates, (std::vector<std::string>{
                                       "http://zeta.example/a?q=HARVEXA_KEY",
                                       "http://zeta.example/b?q=HARVEXA_KEY",
                                       "http://alpha.example/search?q=HARVEXA_KEY&page=1",
                                       "http://alpha.example/search?q=HARVEXA_KEY&page=2",
                                   }));
    EXPECT_FALSE(collected.invalidEngineLine);
}

TEST_F(SearchPageSeederTest, AnEmptyKeywordLineReplacesThePlaceholderByNothing) {
    const SearchSeedResult result = m_seeder.SeedSearchPages(Research("2", "hotel\r\n\r\nrio"));
    EXPECT_EQ(Urls(result), (std::vector<std::string>{
                                "http://beta.example/find?text=hotel",
                                "http://beta.example/find?text=", "http://beta.example/find?text=rio"}));
}

} // namespace
} // namespace harvexa
