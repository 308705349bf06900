// Page analysis throughput: CLPageExtractor::Extract with every flag on, on generated pages of
// 20 KB, 200 KB and 2 MB and on the worst cases of its scans, next to the literal delete-the-head
// procedures on the same pages. bench/analysis_report.py turns the output into the report table.
#include "analysis/CLPageExtractor.h"
#include "analysis/PageDecoder.h"
#include "reference/LiteralExtractor.h"
#include "support/PageGenerator.h"

#include <benchmark/benchmark.h>
#include <map>
#include <string>

namespace {

using harvexa::CLPageExtractor;
using harvexa::PhoneKeywordLists;
using harvexa::PhoneKeywordSource;
using harvexa::test::LiteralExtractor;
using harvexa::test::PageGenerator;

class TypicalKeywords final : public PhoneKeywordSource {
public:
    std::optional<PhoneKeywordLists> Read() const override { return PageGenerator::TypicalKeywords(); }
};

enum Corpus { Typical, ResultPage, OnlyHref, OnlyAt, NoCloseBracket };
constexpr const char* kCorpusNames[] = {"typical", "result_page", "only_href", "only_at", "no_close_bracket"};
constexpr std::size_t kSizes[] = {20 * 1024, 200 * 1024, 2 * 1024 * 1024};

const std::string& Page(Corpus corpus, std::size_t bytes) {
    static std::map<std::pair<int, std::size_t>, std::string> pages;
    auto& page = pages[{corpus, bytes}];
    if (page.empty()) {
        PageGenerator generator(1000 + bytes);
        switch (corpus) {
        case Typical:
            page = generator.TypicalPage(bytes);
            break;
        case ResultPage:
            page = generator.ResultPage(bytes);
            break;
        case OnlyHref:
            page = PageGenerator::Repeated("href=", bytes);
            break;
        case OnlyAt:
            page = PageGenerator::Repeated("@", bytes);
            break;
        case NoCloseBracket:
            page = generator.PageWithoutCloseBracket(bytes);
            break;
        }
    }
    return page;
}

template <typename Extractor> void Analyse(benchmark::State& state, Corpus corpus, std::size_t bytes) {
    const std::string& page = Page(corpus, bytes);
    const TypicalKeywords keywords;
    std::size_t links = 0, emails = 0;
    for (auto _ : state) {
        Extractor extractor;
        extractor.SetPhoneKeywordSource(&keywords);
        if (corpus == ResultPage) {
            extractor.SetResultPageMode(true);
            extractor.SetResultEngine(PageGenerator::ResultEngine());
        }
        extractor.SetPageText(page);
        const auto facts = extractor.Extract("http://www.acme.com/d/page.html", true, true, true, true, true);
        benchmark::DoNotOptimize(facts);
        links = facts ? facts->InternalLinks.size() + facts->ExternalLinks.size() : 0;
        emails = facts ? facts->Emails.size() : 0;
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * page.size()));
    state.counters["links"] = static_cast<double>(links);
    state.counters["emails"] = static_cast<double>(emails);
}

// One step at a time on the typical 2 MB page (links are always on, as the worker asks).
void Step(benchmark::State& state, int step) {
    const std::string& page = Page(Typical, 2 * 1024 * 1024);
    const TypicalKeywords keywords;
    for (auto _ : state) {
        CLPageExtractor extractor;
        extractor.SetPhoneKeywordSource(&keywords);
        extractor.SetPageText(page);
        const auto facts = extractor.Extract("http://www.acme.com/d/page.html", step == 1, step == 2,
                                             step == 0, step == 3, step == 4);
        benchmark::DoNotOptimize(facts);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * page.size()));
}

void Decode(benchmark::State& state) {
    PageGenerator generator(7);
    const std::string page = generator.TypicalPage(2 * 1024 * 1024);
    for (auto _ : state)
        benchmark::DoNotOptimize(harvexa::PageDecoder::Decode(page, "text/html; charset=utf-8"));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * page.size()));
}

// The literal procedures are quadratic: their worst cases are measured on the small pages only.
bool LiteralFeasible(Corpus corpus, std::size_t bytes) {
    return corpus == Typical || corpus == ResultPage || corpus == NoCloseBracket ? true : bytes <= 20 * 1024;
}

const bool kRegistered = [] {
    for (int corpus = Typical; corpus <= NoCloseBracket; ++corpus) {
        for (const std::size_t bytes : kSizes) {
            const std::string suffix =
                std::string(kCorpusNames[corpus]) + "/" + std::to_string(bytes / 1024) + "KB";
            benchmark::RegisterBenchmark(("Extract/" + suffix).c_str(), [=](benchmark::State& state) {
                Analyse<CLPageExtractor>(state, static_cast<Corpus>(corpus), bytes);
            })->Unit(benchmark::kMillisecond);
            if (LiteralFeasible(static_cast<Corpus>(corpus), bytes))
                benchmark::RegisterBenchmark(("Literal/" + suffix).c_str(),
                                             [=](benchmark::State& state) {
                                                 Analyse<LiteralExtractor>(state, static_cast<Corpus>(corpus),
                                                                           bytes);
                                             })
                    ->Unit(benchmark::kMillisecond)
                    ->Iterations(bytes >= 2 * 1024 * 1024 ? 1 : 3);
        }
    }
    const char* steps[] = {"links", "emails", "title", "meta", "phones"};
    for (int step = 0; step < 5; ++step)
        benchmark::RegisterBenchmark((std::string("Step/") + steps[step] + "/typical/2048KB").c_str(),
                                     [=](benchmark::State& state) { Step(state, step); })
            ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("Decode/typical/2048KB", Decode)->Unit(benchmark::kMillisecond);
    return true;
}();

} // namespace

BENCHMARK_MAIN();
