// Queue benchmarks: the per-link cost of SeenRecently, and loading a research's queue from a
// large pending-links file filtered by a large processed-links file.
//
//   harvexa_execution_bench --generate DIR PENDING PROCESSED   writes d1-lack.dat / d1-lack_p.dat
//                                                            (and pristine copies) into DIR
//   HARVEXA_HOME=DIR harvexa_execution_bench [benchmark flags] runs the benchmarks
// run_queue_bench.sh does both and compares with `cat` of the same files.

#include "core/ProgressView.h"
#include "execution/CLLackFiles.h"
#include "execution/CLLinkQueue.h"
#include "execution/CLLogEnvio.h"
#include "execution/CLRecentLinks.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <sys/resource.h>
#include <vector>

namespace {

using namespace harvexa;
namespace fs = std::filesystem;

constexpr int kResearchId = 1;

class SilentProgress final : public IProgressView {
public:
    void ProgressStart(int, int) override {}
    void ProgressTotal(int, const std::string&) override {}
    void ProgressPartial(int, const std::string&) override { ++updates; }
    void ProgressStepTotal(const std::string&) override {}
    void ProgressStepPartial(const std::string&) override { ++updates; }
    void ProgressSetPartialMax(int) override {}
    void ProgressSetTotalMax(int) override {}
    void ProgressResetPartial() override {}
    void ProgressOnStop(StopCallback) override {}
    void ProgressEnableStop() override {}
    void ProgressClose() override {}
    long updates = 0;
};

double PeakRssMb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

std::string SiteUrl(std::mt19937_64& random, std::uint64_t n) {
    const std::uint64_t site = n % 20011;
    std::string url = "http://www.site" + std::to_string(site) + ".example.com/";
    url += "section" + std::to_string(random() % 40) + "/page-" + std::to_string(n) + ".html";
    if (random() % 8 == 0)
        url += "?ref=http://www.portal" + std::to_string(random() % 97) + ".example.org/list";
    return url;
}

// Half of the processed lines name pending links; the rest are links of other sites.
int Generate(const std::string& folder, std::uint64_t pendingLines, std::uint64_t processedLines) {
    std::mt19937_64 random(42);
    std::vector<std::string> processedUrls;
    processedUrls.reserve(processedLines / 2 + 1);
    std::ofstream pending(folder + "/pristine-lack.dat", std::ios::binary);
    for (std::uint64_t i = 0; i < pendingLines; ++i) {
        std::string url = SiteUrl(random, i);
        const int level = static_cast<int>(random() % 4);
        pending << "0#%1" << url << "#%2" << level << "#%3" << random() % 2 << "\r\n";
        if (processedUrls.size() < processedLines / 2 && random() % 2 == 0)
            processedUrls.push_back(std::move(url));
    }
    std::ofstream processed(folder + "/pristine-lack_p.dat", std::ios::binary);
    for (const std::string& url : processedUrls)
        processed << url << "\r\n";
    for (std::uint64_t n = processedUrls.size(); n < processedLines; ++n)
        processed << SiteUrl(random, 50'000'000 + n) << "\r\n";
    pending.close();
    processed.close();
    return pending && processed ? 0 : 1;
}

void RestoreFiles() {
    const fs::path home = std::getenv("HARVEXA_HOME");
    fs::copy_file(home / "pristine-lack.dat", CLLackFiles::PendingLinksFile(kResearchId),
                  fs::copy_options::overwrite_existing);
    fs::copy_file(home / "pristine-lack_p.dat", CLLackFiles::ProcessedLinksFile(kResearchId),
                  fs::copy_options::overwrite_existing);
}

bool HaveFiles(benchmark::State& state) {
    const char* home = std::getenv("HARVEXA_HOME");
    if (home && fs::exists(fs::path(home) / "pristine-lack.dat"))
        return true;
    state.SkipWithError("set HARVEXA_HOME to a folder made with --generate");
    return false;
}

// The queue a run continues with: pending lines less processed ones, parsed (no file changed).
void BM_ReadPendingLinks(benchmark::State& state) {
    if (!HaveFiles(state))
        return;
    RestoreFiles();
    SilentProgress progress;
    CLLackFiles files(progress);
    std::size_t links = 0;
    for (auto _ : state) {
        const PendingLinksRead read = files.ReadPendingLinks(kResearchId);
        links = read.links.size();
        benchmark::DoNotOptimize(links);
    }
    state.counters["links_kept"] = static_cast<double>(links);
    state.counters["peak_rss_MB"] = PeakRssMb();
    state.counters["gauge_updates"] =
        static_cast<double>(progress.updates) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_ReadPendingLinks)->Unit(benchmark::kMillisecond)->Iterations(3);

// The whole continue path: read, filter, rewrite the pending-links file atomically, restart
// the processed-links file, fill the queue.
void BM_LoadPendingLinksIntoQueue(benchmark::State& state) {
    if (!HaveFiles(state))
        return;
    SilentProgress progress;
    CLLackFiles files(progress);
    std::size_t links = 0;
    for (auto _ : state) {
        state.PauseTiming();
        RestoreFiles();
        CLLogEnvio pendingWriter;
        CLLogEnvio processedWriter;
        auto queue = std::make_unique<CLLinkQueue>(pendingWriter, processedWriter);
        state.ResumeTiming();
        const PendingLinksRead read = queue->LoadPendingLinks(kResearchId, files);
        links = queue->PendingCount();
        benchmark::DoNotOptimize(read.dropped);
        state.PauseTiming();
        queue.reset();
        state.ResumeTiming();
    }
    state.counters["links_kept"] = static_cast<double>(links);
    state.counters["peak_rss_MB"] = PeakRssMb();
}
BENCHMARK(BM_LoadPendingLinksIntoQueue)->Unit(benchmark::kMillisecond)->Iterations(3);

// A stream of found links: repeats of recent links are common, as on pages of one site.
std::vector<std::string> FoundLinkStream(std::size_t length, std::size_t distinct) {
    std::mt19937_64 random(3);
    std::vector<std::string> stream;
    stream.reserve(length);
    for (std::size_t i = 0; i < length; ++i) {
        std::uint64_t n = random() % distinct;
        if (i > 0 && random() % 2 == 0)
            n = (i - 1 - random() % std::min<std::size_t>(i, 3000)) % distinct;
        stream.push_back("http://www.site" + std::to_string(n % 97) + ".example.com/dir/page-" +
                         std::to_string(n) + ".html");
    }
    return stream;
}

void BM_SeenRecently(benchmark::State& state) {
    const auto stream = FoundLinkStream(1 << 16, static_cast<std::size_t>(state.range(0)));
    CLRecentLinks recent;
    std::size_t i = 0;
    std::size_t hits = 0;
    for (auto _ : state) {
        hits += recent.SeenRecently(stream[i]) ? 1 : 0;
        i = (i + 1) & (stream.size() - 1);
    }
    benchmark::DoNotOptimize(hits);
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SeenRecently)->Arg(1'000)->Arg(5'000)->Arg(1'000'000);

// The designed list for comparison: a scan of up to 2000 entries per link.
void BM_SeenRecentlyScannedList(benchmark::State& state) {
    const auto stream = FoundLinkStream(1 << 16, static_cast<std::size_t>(state.range(0)));
    std::vector<std::string> list;
    std::size_t i = 0;
    for (auto _ : state) {
        std::string folded = stream[i];
        for (char& c : folded)
            c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
        auto found = std::find(list.begin(), list.end(), folded);
        if (found != list.end())
            std::rotate(found, found + 1, list.end());
        else
            list.push_back(std::move(folded));
        if (list.size() > 2000)
            list.erase(list.begin());
        i = (i + 1) & (stream.size() - 1);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SeenRecentlyScannedList)->Arg(1'000)->Arg(5'000)->Arg(1'000'000);

} // namespace

int main(int argc, char** argv) {
    if (argc == 5 && std::string(argv[1]) == "--generate")
        return Generate(argv[2], std::stoull(argv[3]), std::stoull(argv[4]));
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
