#include "AnalyseCommand.h"

#include "support/TempAppFolder.h"

#include <gtest/gtest.h>
#include <sstream>

namespace harvexa::test {
namespace {

const std::string kFixtures = HARVEXA_ANALYSIS_FIXTURES;

struct CommandRun {
    int code;
    std::string out;
    std::string err;
};

CommandRun Analyse(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    const int code = RunAnalyseCommand(args, out, err);
    return {code, out.str(), err.str()};
}

TEST(AnalyseCommandTest, PrintsThePageFactsOfASavedPage) {
    const CommandRun run =
        Analyse({kFixtures + "/company-latin1.html", "--url", "http://www.ferragenssj.com.br/loja/index.htm",
                 "--all", "--phone-keywords", kFixtures + "/keywords/phones.txt", "--fax-keywords",
                 kFixtures + "/keywords/fax.txt"});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.out,
              "{\n"
              "  \"url\": \"http://www.ferragenssj.com.br/loja/index.htm\",\n"
              "  \"title\": \"Ferragens S\xC3\xA3o Jo\xC3\xA3o - Ferramentas e Acess\xC3\xB3rios\\r\\n\",\n"
              "  \"description\": \"Ferramentas, parafusos e acess\xC3\xB3rios desde 1987\\r\\n\",\n"
              "  \"keywords\": \"ferragens, ferramentas, parafusos, S\xC3\xA3o Paulo\\r\\n\",\n"
              "  \"emails\": [\n"
              "    \"vendas@ferragenssj.com.br\",\n"
              "    \"vendas@ferragenssj.com.br\",\n"
              "    \"compras@ferragenssj.com.br\",\n"
              "    \"ger\xC3\xAAncia@ferragenssj.com.br\"\n"
              "  ],\n"
              "  \"phones\": [\n    \"TEL: .(11)5555-1234 \"\n  ],\n"
              "  \"faxes\": [\n    \"FAX: (11)5555-9999 \"\n  ],\n"
              "  \"internal_links\": [\n"
              "    \"http://www.ferragenssj.com.br/css/site.css\",\n"
              "    \"http://www.ferragenssj.com.br/loja/index.htm\",\n"
              "    \"http://www.ferragenssj.com.br/produtos/lista.asp?cat=3&pag=1\",\n"
              "    \"http://www.ferragenssj.com.br/empresa/historia.htm\",\n"
              "    \"http://www.ferragenssj.com.br/loja/contato.htm\"\n"
              "  ],\n"
              "  \"external_links\": [\n"
              "    \"http://www.parceiro.com.br/\",\n"
              "    \"http://www.fornecedor.com/\"\n"
              "  ]\n"
              "}\n");
}

TEST(AnalyseCommandTest, HarvestsAResultPageWithAnEngineFile) {
    const CommandRun run =
        Analyse({kFixtures + "/results.html", "--url", "http://busca.example/search?q=ferragens",
                 "--result-engine", kFixtures + "/busca.ini"});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_NE(run.out.find("  \"internal_links\": [\n"
                           "    \"http://www.ferragenssj.com.br/&sa=U&ved=1\",\n"
                           "    \"http://www.parafusos.com.br/loja.htm&sa=U\",\n"
                           "    \"http://www.ferragenssj.com.br/&sa=U&ved=2\"\n"
                           "  ],\n"
                           "  \"external_links\": []\n"),
              std::string::npos)
        << run.out;
    EXPECT_EQ(run.err, "");
}

TEST(AnalyseCommandTest, ReadsTheLabelsOfTheApplicationFolderByDefault) {
    const TempAppFolder folder(TempAppFolder::Contents::Empty);
    folder.WriteFile("config/phones.txt", "Fone\r\n");
    folder.WriteFile("config/fax.txt", "Fax\r\n");
    folder.WriteFile("page.htm", "Fone: 5555-0101 Fax: 5555-0202");
    const CommandRun run = Analyse({folder.File("page.htm"), "--url", "http://h1/", "--phones"});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_NE(run.out.find("\"phones\": [\n    \"FONE: 5555-0101 \"\n  ]"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("\"faxes\": [\n    \"FAX: 5555-0202 \"\n  ]"), std::string::npos) << run.out;
}

TEST(AnalyseCommandTest, ReportsWhatCannotBeDone) {
    const TempAppFolder folder(TempAppFolder::Contents::Empty);
    folder.WriteFile("page.htm", "<title>x</title>");
    folder.WriteFile("no-section.ini", "tag_busca_link=HREF\n");
    folder.WriteFile("no-tag.ini", "[search_engine]\nbegin_search_text=<\n");
    struct Case {
        std::vector<std::string> args;
        int code;
        std::string errorPart;
    };
    const Case cases[] = {
        {{folder.File("missing.htm"), "--url", "http://h1/"}, 1, "cannot read the page file"},
        {{folder.File("page.htm")}, 2, "--url is required"},
        {{"--url", "http://h1/"}, 2, "no page file given"},
        {{folder.File("page.htm"), "--url"}, 2, "missing value after --url"},
        {{folder.File("page.htm"), "--url", "http://h1/", "--bogus"}, 2, "unknown option --bogus"},
        {{folder.File("page.htm"), "--url", "http://h1/", "--phones"},
         1,
         "cannot read the phone and fax labels"},
        {{folder.File("page.htm"), "--url", "http://h1/", "--result-engine", folder.File("no-section.ini")},
         1,
         "no [search_engine] section"},
        {{folder.File("page.htm"), "--url", "http://h1/", "--result-engine", folder.File("missing.ini")},
         1,
         "cannot read the engine file"},
        {{folder.File("page.htm"), "--url", "http://h1/", "--result-engine", folder.File("no-tag.ini")},
         0,
         "tag_busca_link is empty"},
    };
    for (const Case& c : cases) {
        const CommandRun run = Analyse(c.args);
        EXPECT_EQ(run.code, c.code) << c.errorPart;
        EXPECT_NE(run.err.find(c.errorPart), std::string::npos) << run.err;
    }
}

TEST(AnalyseCommandTest, HelpGoesToStandardOutput) {
    const CommandRun run = Analyse({"--help"});
    EXPECT_EQ(run.code, 0);
    EXPECT_NE(run.out.find("usage: harvexa-cli analyse FILE --url URL"), std::string::npos);
}

} // namespace
} // namespace harvexa::test
