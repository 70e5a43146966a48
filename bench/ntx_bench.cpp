// NTX index figures on the income table's layout: building the index on
// "f04+f10", FindInTag hits and misses, and the record editor's whole
// duplicate check (open read-only, IndexOn, IndexOpen, FindInTag, close),
// beside a plain sequential read of the same table file. Run on tmpfs.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "income_bench_table.h"

namespace {

std::string Dir() { return bench::TmpfsDir("ntx_bench"); }

// The key of row i: a ten-digit identifier and an income code.
std::string RowKey(int i) {
  char key[32];
  std::snprintf(key, sizeof key, "%010d   %03d  ", 1000000000 + (i * 7919) % 900000000,
                101 + i % 40);
  return key;
}

// An income table of n rows, written as bytes once per size.
std::string Table(int n) {
  const std::string path = Dir() + "/dvel" + std::to_string(n) + ".dbf";
  if (!std::ifstream(path).good()) bench::WriteIncomeTable(path, n, RowKey);
  return path;
}

// The file's bytes in 32 KiB reads, nothing else.
void BM_RawFileRead(benchmark::State &state) {
  const std::string path = Table(static_cast<int>(state.range(0)));
  std::string chunk(32768, '\0');
  for (auto _ : state) {
    std::ifstream in(path, std::ios::binary);
    size_t total = 0;
    while (in.read(chunk.data(), chunk.size()) || in.gcount() > 0) total += in.gcount();
    benchmark::DoNotOptimize(total);
  }
}
BENCHMARK(BM_RawFileRead)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// Every record through the table engine with the read-ahead window.
void BM_SequentialRead(benchmark::State &state) {
  const std::string path = Table(static_cast<int>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(bench::ReadSequentially(path));
}
BENCHMARK(BM_SequentialRead)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_IndexOn(benchmark::State &state) {
  const std::string path = Table(static_cast<int>(state.range(0)));
  xb::XBO_dBHandler t(path, true, false);
  for (auto _ : state) t.IndexOn("dvel.ntx", "dvel", "f04+f10", "", 1, 0);
}
BENCHMARK(BM_IndexOn)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_FindInTag(benchmark::State &state) {
  const int n = 100000;
  const std::string path = Table(n);
  xb::XBO_dBHandler t(path, true, false);
  t.IndexOn("find.ntx", "", "f04+f10", "", 1, 0);
  t.IndexOpen("find.ntx", "find");
  const bool hit = state.range(0) == 1;
  int i = 0;
  for (auto _ : state) {
    std::string key = RowKey(i++ % n);
    if (!hit) key[12] = 'x';
    benchmark::DoNotOptimize(t.FindInTag("find", key));
  }
  state.SetLabel(hit ? "hit" : "miss");
}
BENCHMARK(BM_FindInTag)->Arg(1)->Arg(0);

// What the record editor does on every save.
void BM_DuplicateCheck(benchmark::State &state) {
  const std::string path = Table(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    xb::XBO_dBHandler t(path, true, false);
    t.IndexOn("dvel.ntx", "dvel", "f04+f10", "", 1, 0);
    t.IndexOpen("dvel.ntx", "dvel");
    benchmark::DoNotOptimize(t.FindInTag("dvel", RowKey(17)));
  }
}
BENCHMARK(BM_DuplicateCheck)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
