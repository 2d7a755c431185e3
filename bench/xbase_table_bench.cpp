// Table engine timings on 100,000 records: DESCRIPT C30, an N(6,3), a memo on every 4th.
#include "xbase/Table.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>
#include <string>

using namespace sw::xbase;

namespace {

constexpr int kRecords = 100000;

struct Dir {
    std::string path;
    Dir() {
        char tmpl[] = "/tmp/swxbench-XXXXXX";
        path = mkdtemp(tmpl);
    }
    ~Dir() { std::filesystem::remove_all(path); }
    std::string table() const { return path + "/BENCH.DBF"; }
    void clear() const {
        for (const char* f : {"/BENCH.DBF", "/BENCH.FPT", "/BENCH.CDX"}) std::filesystem::remove(path + f);
    }
};

std::string descript(int i) { return "Label " + std::to_string((i * 7919) % 100003) + " stock"; }

void fill(const std::string& path, int n) {
    Table::create(path, {{"DESCRIPT", FieldType::Character, 30, 0},
                         {"LBLHEIGHT", FieldType::Numeric, 6, 3},
                         {"OBJECTS", FieldType::Memo, 10, 0}});
    Table t(path);
    const std::string memo = "LABELITEM=TEXT\r\nTEXT=Hello\r\nTOP=0.100\r\nLEFT=0.200\r\n";
    for (int i = 0; i < n; ++i) {
        t.appendBlank();
        t.putString("DESCRIPT", descript(i));
        t.putNumber("LBLHEIGHT", (i % 9999) / 1000.0);
        if (i % 4 == 0) t.putMemo("OBJECTS", memo);
        t.putRecord();
    }
}

void indexed(const std::string& path) {
    fill(path, kRecords);
    Table t(path);
    t.indexTag("DESCRIPT", "upper(DESCRIPT)");
}

void BM_AppendAll(benchmark::State& state) {
    Dir d;
    for (auto _ : state) {
        state.PauseTiming();
        d.clear();
        state.ResumeTiming();
        fill(d.table(), kRecords);
    }
}

void BM_BuildTag(benchmark::State& state) {
    Dir d;
    fill(d.table(), kRecords);
    for (auto _ : state) {
        Table t(d.table());
        t.indexTag("DESCRIPT", "upper(DESCRIPT)");
    }
}

void BM_ScanTagOrder(benchmark::State& state) {
    Dir d;
    indexed(d.table());
    for (auto _ : state) {
        Table t(d.table());
        t.setOrder(1);
        std::size_t bytes = 0;
        for (t.goTop(); !t.eof(); t.skip(1)) bytes += t.getTrimString("DESCRIPT").size();
        benchmark::DoNotOptimize(bytes);
    }
}

void BM_Append10kWithTag(benchmark::State& state) {
    Dir d;
    for (auto _ : state) {
        state.PauseTiming();
        d.clear();
        indexed(d.table());
        Table t(d.table());
        t.setOrder(1);
        state.ResumeTiming();
        for (int i = 0; i < 10000; ++i) {
            t.appendBlank();
            t.putString("DESCRIPT", descript(i * 13 + 5));
            t.putNumber("LBLHEIGHT", 1.5);
            t.putRecord();
        }
        t.close();
    }
}

void BM_Seek10k(benchmark::State& state) {
    Dir d;
    indexed(d.table());
    Table t(d.table());
    t.setOrder(1);
    std::mt19937 rng(1);
    std::vector<std::string> keys;
    for (int i = 0; i < 10000; ++i) {
        std::string k = descript(static_cast<int>(rng() % kRecords));
        for (char& c : k)
            if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
        keys.push_back(k);
    }
    for (auto _ : state) {
        int found = 0;
        for (const auto& k : keys) found += t.seek(k) ? 1 : 0;
        if (found != 10000) state.SkipWithError("a seek missed");
    }
}

void BM_DeleteThirdAndPack(benchmark::State& state) {
    Dir d;
    for (auto _ : state) {
        state.PauseTiming();
        d.clear();
        indexed(d.table());
        Table t(d.table());
        state.ResumeTiming();
        for (std::uint32_t r = 1; r <= kRecords; r += 3) {
            t.go(r);
            t.deleteRecord();
        }
        t.pack();
        t.close();
    }
}

}  // namespace

BENCHMARK(BM_AppendAll)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_BuildTag)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_ScanTagOrder)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_Append10kWithTag)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Seek10k)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_DeleteThirdAndPack)->Unit(benchmark::kMillisecond)->Iterations(3);

BENCHMARK_MAIN();
