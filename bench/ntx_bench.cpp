// NTX index figures on the income table's layout: building the index on
// "f04+f10", FindInTag hits and misses, and the record editor's whole
// duplicate check (open read-only, IndexOn, IndexOpen, FindInTag, close),
// beside a plain sequential read of the same table file. Run on tmpfs.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <random>
#include <string>

#include "xbase/byte_helpers.h"
#include "xbase/clock.h"
#include "xbase/db_handler.h"
#include "xbase/dbf_builder.h"

namespace {

const std::vector<xb::DbfFieldSpec> kIncomeFields = {
    {"F01", 'C', 5, 0},  {"F02", 'C', 1, 0}, {"F03", 'C', 1, 0},      {"F04", 'C', 13, 0},
    {"F05", 'C', 40, 0}, {"F06", 'C', 2, 0}, {"F07", 'C', 40, 0},     {"F08", 'C', 13, 0},
    {"F09", 'C', 13, 0}, {"F10", 'C', 5, 0}, {"DATETIME", 'C', 20, 0}};
constexpr int kF04 = 1 + 5 + 1 + 1;
constexpr int kF10 = kF04 + 13 + 40 + 2 + 40 + 13 + 13;

std::string Dir() {
  static const std::string dir = [] {
    char pattern[] = "/dev/shm/ntx_bench_XXXXXX";
    const char *made = mkdtemp(pattern);
    return std::string(made ? made : "/tmp");
  }();
  return dir;
}

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
  if (std::ifstream(path).good()) return path;
  xb::BuiltTable built =
      xb::BuildEmptyTable(kIncomeFields, xb::TxbDBFTypes::Clipper, "dvel", xb::Now());
  std::string bytes = built.table;
  bytes.pop_back();
  std::string record(154, ' ');
  for (int i = 0; i < n; ++i) {
    const std::string key = RowKey(i);
    record.replace(kF04, 13, key.substr(0, 13));
    record.replace(kF10, 5, key.substr(13, 5));
    bytes += record;
  }
  bytes += '\x1A';
  xb::PutLE32(bytes.data() + 4, static_cast<uint32_t>(n));
  std::ofstream(path, std::ios::binary) << bytes;
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
  for (auto _ : state) {
    xb::XBO_dBHandler t(path, true, false);
    t.SetReadBuffer(true);
    size_t sum = 0;
    for (int64_t r = 1; r <= t.RecordCount(); ++r) {
      t.GoToRecord(r);
      sum += static_cast<unsigned char>(t.RecordBuffer()[kF04]);
    }
    benchmark::DoNotOptimize(sum);
  }
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
