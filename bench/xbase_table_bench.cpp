// Table engine timings on 100,000 records: DESCRIPT C30, an N(6,3), a memo on every 4th; and
// memo reading from the three kinds of memo file.
#include "xbase/Table.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <tuple>
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

// Every record's memo read in record order from 10,000 addresses (a two-line memo each): Arg 0
// an FPT memo file, 1 a dBase III DBT (text up to 0x1A), 2 a dBase IV DBT (text with a length).
std::string addressMemo(int i) { return std::to_string(i % 500 + 1) + " Elm Road\r\n" + std::to_string(10000 + i) + " Springfield"; }

void writeDbt(const std::string& dir, int n, bool dBase4) {
    std::string dbf(32, '\0');
    dbf[0] = static_cast<char>(dBase4 ? 0x8B : 0x83);
    for (int i = 0; i < 4; ++i) dbf[4 + i] = static_cast<char>(n >> (8 * i));
    dbf[8] = 97;
    dbf[10] = 31;
    for (const auto& [name, type, width] : {std::tuple{"NAME", 'C', 20}, std::tuple{"NOTE", 'M', 10}}) {
        std::string d(32, '\0');
        d.replace(0, std::string(name).size(), name);
        d[11] = type;
        d[16] = static_cast<char>(width);
        dbf += d;
    }
    dbf += '\x0D';
    std::string dbt(512, '\0');
    for (int i = 0; i < n; ++i) {
        const std::string block = std::to_string(dbt.size() / 512), name = "Name " + std::to_string(i);
        dbf += " " + name + std::string(20 - name.size(), ' ') + std::string(10 - block.size(), ' ') + block;
        const std::string text = addressMemo(i);
        if (dBase4) {
            const auto len = static_cast<std::uint32_t>(text.size() + 8);
            dbt += std::string("\xFF\xFF\x08\x00", 4);
            for (int b = 0; b < 4; ++b) dbt += static_cast<char>(len >> (8 * b));
            dbt += text;
        } else {
            dbt += text + "\x1A\x1A";
        }
        dbt.resize((dbt.size() + 511) / 512 * 512, '\0');
    }
    dbf += '\x1A';
    const std::uint32_t next = static_cast<std::uint32_t>(dbt.size() / 512);
    for (int b = 0; b < 4; ++b) dbt[static_cast<std::size_t>(b)] = static_cast<char>(next >> (8 * b));
    std::ofstream(dir + "/BENCH.DBF", std::ios::binary) << dbf;
    std::ofstream(dir + "/BENCH.DBT", std::ios::binary) << dbt;
}

void BM_ReadMemos10k(benchmark::State& state) {
    Dir dir;
    constexpr int n = 10000;
    if (state.range(0) == 0) {
        Table::create(dir.table(), {{"NAME", FieldType::Character, 20, 0}, {"NOTE", FieldType::Memo, 10, 0}});
        Table t(dir.table());
        for (int i = 0; i < n; ++i) {
            t.appendBlank();
            t.putString("NAME", "Name " + std::to_string(i));
            t.putMemo("NOTE", addressMemo(i));
        }
    } else {
        writeDbt(dir.path, n, state.range(0) == 2);
    }
    for (auto _ : state) {
        Table t(dir.table(), OpenMode::ReadOnly);
        std::size_t bytes = 0;
        for (t.goTop(); !t.eof(); t.skip(1)) bytes += t.getRaw("NOTE").size();
        if (bytes < 20u * n) state.SkipWithError("memos missing");
    }
    state.counters["records/s"] = benchmark::Counter(double(n) * double(state.iterations()), benchmark::Counter::kIsRate);
}

BENCHMARK(BM_ReadMemos10k)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AppendAll)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_BuildTag)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_ScanTagOrder)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_Append10kWithTag)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Seek10k)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_DeleteThirdAndPack)->Unit(benchmark::kMillisecond)->Iterations(3);

BENCHMARK_MAIN();
