// Throughput of the workbench loader and the export writers on a capture file of 1,000,000 rows,
// next to a plain `cat FILE > /dev/null` of the same files.
#include "core/CLLang.h"
#include "core/ProgressView.h"
#include "core/tables/TableDefinitions.h"
#include "core/tables/TableHandle.h"
#include "data/EntData.h"
#include "data/ExportLines.h"
#include "data/NegData.h"
#include "data/RepData.h"
#include "support/TempAppFolder.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <stdexcept>
#include <string>

namespace harvexa {
namespace {

namespace fs = std::filesystem;

constexpr int kRows = 1000000;

class SilentProgress final : public IProgressView {
public:
    void ProgressStart(int, int) override {}
    void ProgressTotal(int, const std::string&) override {}
    void ProgressPartial(int, const std::string&) override {}
    void ProgressStepTotal(const std::string&) override {}
    void ProgressStepPartial(const std::string&) override {}
    void ProgressSetPartialMax(int) override {}
    void ProgressSetTotalMax(int) override {}
    void ProgressResetPartial() override {}
    void ProgressOnStop(StopCallback) override {}
    void ProgressEnableStop() override {}
    void ProgressClose() override {}
};

std::string BenchFolder() {
    const char* configured = std::getenv("HARVEXA_DATA_BENCH_DIR");
    const fs::path folder = configured ? configured : "/tmp/harvexa-data-bench";
    fs::create_directories(folder);
    return folder.string() + "/";
}

// Rows shaped like captured pages: some without an address, description or phone; some accents.
EntData MakeRow(std::mt19937& random, int i) {
    static const char* const kWords[] = {
        "hotel",  "lisbon", "apartments", "rooms",   "breakfast", "centre",   "family",  "São João", "Praça",
        "garden", "view",   "river",      "booking", "contact",   "reservas", "turismo", "old town", "quiet"};
    const auto words = [&](int count) {
        std::string text;
        for (int w = 0; w < count; ++w) {
            if (w > 0)
                text += ' ';
            text += kWords[random() % std::size(kWords)];
        }
        return text;
    };
    const std::string site = "site" + std::to_string(i % 50000) + ".example.com";
    EntData row;
    row.url = "http://www." + site + "/contact/page-" + std::to_string(i) + ".html";
    if (i % 5 != 0)
        row.email = "info" + std::to_string(i % 997) + "@" + site;
    row.title = "Site " + std::to_string(i % 50000) + " - " + words(4 + static_cast<int>(random() % 4));
    if (i % 3 != 0)
        row.meta_tag_description = words(10 + static_cast<int>(random() % 10));
    row.meta_tag_keywords = words(5 + static_cast<int>(random() % 6));
    if (i % 2 == 0)
        row.fone = "Tel: +351 21 " + std::to_string(1000000 + i % 8999999);
    if (i % 4 == 0)
        row.fax = "Fax: +351 21 " + std::to_string(1000000 + (i * 7) % 8999999);
    return row;
}

const std::string& CaptureFile() {
    static const std::string path = [] {
        const std::string file = BenchFolder() + "capture.csv";
        if (!fs::exists(file)) {
            std::ofstream out(file + ".part", std::ios::binary);
            std::mt19937 random(42);
            std::string block;
            for (int i = 0; i < kRows; ++i) {
                block += CsvLine(MakeRow(random, i), EntExportData::All());
                block += "\r\n";
                if (block.size() > (1 << 20)) {
                    out << block;
                    block.clear();
                }
            }
            out << block;
            out.close();
            if (!out)
                throw std::runtime_error("cannot write " + file);
            fs::rename(file + ".part", file);
        }
        return file;
    }();
    return path;
}

std::string ExportFile(const char* extension) {
    return BenchFolder() + "export." + extension;
}

// The captured-data objects over a fresh application folder, with the capture file loaded once.
struct Workbench {
    test::TempAppFolder folder;
    CLLang lang;
    SilentProgress progress;
    TableHandle dataTable;
    NegData data{lang, std::make_unique<RepData>(lang, progress, dataTable)};

    static Workbench& Loaded() {
        static Workbench bench;
        static const bool loaded = [] {
            bench.data.Repository().KeepCheckpoint(false);
            return bench.data.LoadCsvFiles({CaptureFile()}).rowsAdded == kRows;
        }();
        if (!loaded)
            throw std::runtime_error("the capture file did not load whole");
        return bench;
    }
};

void Load(benchmark::State& state, bool checkpoint) {
    const std::string& file = CaptureFile();
    test::TempAppFolder folder;
    CLLang lang;
    SilentProgress progress;
    TableHandle dataTable;
    NegData data(lang, std::make_unique<RepData>(lang, progress, dataTable));
    data.Repository().KeepCheckpoint(checkpoint);
    std::size_t rows = 0;
    for (auto _ : state) {
        const LoadOutcome outcome = data.LoadCsvFiles({file});
        rows = outcome.rowsAdded;
        if (!outcome.Ok() || rows != kRows || outcome.checkpointSaved != checkpoint)
            state.SkipWithError("load failed");
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * fs::file_size(file)));
    state.counters["rows"] = static_cast<double>(rows);
}

// The load as the workbench runs it, ending with the checkpoint file.
void BM_LoadCaptureFile(benchmark::State& state) {
    Load(state, true);
}
void BM_LoadCaptureFileWithoutCheckpoint(benchmark::State& state) {
    Load(state, false);
}

void Export(benchmark::State& state, bool csv) {
    Workbench& bench = Workbench::Loaded();
    const std::string file = ExportFile(csv ? "csv" : "txt");
    for (auto _ : state) {
        const ExportOutcome outcome =
            csv ? bench.data.ExportCsv(bench.data.tbDataExport(), file, 0, EntExportData::All())
                : bench.data.ExportTxt(bench.data.tbDataExport(), file, 0, EntExportData::All(), "TAB");
        if (!outcome || outcome.records != kRows)
            state.SkipWithError("export failed");
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * fs::file_size(file)));
}

void BM_ExportCsv(benchmark::State& state) {
    Export(state, true);
}
void BM_ExportTxt(benchmark::State& state) {
    Export(state, false);
}

// The checkpoint the loader writes after a load, on its own.
void BM_SaveCheckpoint(benchmark::State& state) {
    Workbench& bench = Workbench::Loaded();
    const std::string file = RepData::CheckpointPath();
    for (auto _ : state) {
        if (!bench.data.tbDataExport().SaveToFile(file))
            state.SkipWithError("save failed");
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * fs::file_size(CaptureFile())));
}

void Cat(benchmark::State& state, const std::string& file) {
    const std::string command = "cat '" + file + "' > /dev/null";
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0)
            state.SkipWithError("cat failed");
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * fs::file_size(file)));
}

void BM_CatCaptureFile(benchmark::State& state) {
    Cat(state, CaptureFile());
}
void BM_CatExportCsv(benchmark::State& state) {
    Cat(state, ExportFile("csv"));
}

BENCHMARK(BM_LoadCaptureFile)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_LoadCaptureFileWithoutCheckpoint)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_ExportCsv)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_ExportTxt)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_SaveCheckpoint)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_CatCaptureFile)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(BM_CatExportCsv)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

} // namespace
} // namespace harvexa

BENCHMARK_MAIN();
