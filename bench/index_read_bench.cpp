// Index searches and walks beside a sequential read of the same table, on
// the income table's layout in a tmpfs directory: 10 000 FindInTag hits and a
// walk of the whole table in index order (read-ahead window on), through an
// NTX file and through a CDX tag, both on "f04+f10", for tables of 10 000 and
// 99 999 rows. The rows' keys are spread over the table, so index order jumps
// about. Every iteration also reads the same table twice, untimed for the
// benchmark, so each figure is printed beside those reads of the same run:
//   op_ms   median of the operation
//   seq_ms  median of ntx_bench's sequential read (by record number up to
//           the record count, read-ahead on); x_seq = op_ms / seq_ms
//   nav_ms  median of a walk in natural order through the navigation
//           (first, then next, read-ahead on); x_nav = op_ms / nav_ms
//   op_cpu_ms, seq_cpu_ms  the same medians in CPU time; x_seq_cpu their
//           ratio, what a loaded machine measures best
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "income_bench_table.h"

namespace {

constexpr int kSeeks = 10000;

std::string Dir() { return bench::TmpfsDir("index_read_bench"); }

// The key of row i of n: a ten-digit identifier and an income code. The
// identifiers are a permutation of the rows (7919 is a prime that divides
// neither table size), so index order is far from record order, as with
// rows entered in no particular order.
std::string RowKey(int i, int n) {
  char key[32];
  std::snprintf(key, sizeof key, "%010lld   %03d  ",
                1000000000 + static_cast<long long>(i) * 7919 % n * 1000, 101 + i % 40);
  return key;
}

// An income table of n rows written as bytes, in a directory of its own with
// dvel.ntx and a CDX tag KEY in dvel.cdx on "f04+f10"; made once per size.
std::string Table(int n) {
  const std::string dir = Dir() + "/" + std::to_string(n);
  const std::string path = dir + "/dvel.dbf";
  if (std::ifstream(path).good()) return path;
  std::filesystem::create_directories(dir);
  bench::WriteIncomeTable(path, n, [n](int i) { return RowKey(i, n); });
  xb::XBO_dBHandler t(path, false, true);
  t.IndexOn("dvel.ntx", "", "f04+f10", "", 1, 0);
  t.IndexOn("dvel.cdx", "KEY", "f04+f10", "", 1, 0);
  return path;
}

// The process's CPU time in milliseconds: on a loaded machine it says more
// than the wall time, which counts the waits for a core as well.
double CpuMilliseconds() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

double Milliseconds(const std::function<void()> &run, std::vector<double> *cpu = nullptr) {
  const double cpu_start = CpuMilliseconds();
  const auto start = std::chrono::steady_clock::now();
  run();
  const double wall =
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  if (cpu) cpu->push_back(CpuMilliseconds() - cpu_start);
  return wall;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[v.size() / 2];
}

// Every record in natural order through the table's navigation (first, then
// next), read-ahead on: the walk below without an index, no system call at
// most records.
void NaturalWalk(const std::string &path) {
  xb::XBO_dBHandler t(path, true, false);
  t.SetReadBuffer(true);
  int64_t count = 0;
  for (t.GoToRecord(xb::kGoFirst); !t.Eof(); t.GoToRecord(xb::kGoNext)) ++count;
  if (count != t.RecordCount()) std::abort();
}

// Times `op` on the table of state.range(0) rows, the two reads of the same
// table beside each run.
void Compare(benchmark::State &state, const std::function<void(const std::string &)> &op) {
  const std::string path = Table(static_cast<int>(state.range(0)));
  std::vector<double> ops, seqs, navs, op_cpu, seq_cpu;
  for (auto _ : state) {
    state.PauseTiming();
    seqs.push_back(Milliseconds(
        [&] { benchmark::DoNotOptimize(bench::ReadSequentially(path)); }, &seq_cpu));
    navs.push_back(Milliseconds([&] { NaturalWalk(path); }));
    state.ResumeTiming();
    ops.push_back(Milliseconds([&] { op(path); }, &op_cpu));
  }
  const double op_ms = Median(ops), seq_ms = Median(seqs), nav_ms = Median(navs);
  const double op_cpu_ms = Median(op_cpu), seq_cpu_ms = Median(seq_cpu);
  state.counters["op_cpu_ms"] = op_cpu_ms;
  state.counters["seq_cpu_ms"] = seq_cpu_ms;
  state.counters["x_seq_cpu"] = seq_cpu_ms > 0 ? op_cpu_ms / seq_cpu_ms : 0;
  state.counters["op_ms"] = op_ms;
  state.counters["seq_ms"] = seq_ms;
  state.counters["x_seq"] = seq_ms > 0 ? op_ms / seq_ms : 0;
  state.counters["nav_ms"] = nav_ms;
  state.counters["x_nav"] = nav_ms > 0 ? op_ms / nav_ms : 0;
}

// 10 000 searches for keys of rows spread over the table; all are found.
void Seeks(const std::string &path, const std::string &file, const std::string &tag) {
  xb::XBO_dBHandler t(path, true, false);
  t.IndexOpen(file, tag);
  const int n = static_cast<int>(t.RecordCount());
  int64_t found = 0;
  for (int i = 0; i < kSeeks; ++i) found += t.FindInTag(tag, RowKey((i * 7) % n, n)) > 0;
  if (found != kSeeks) std::abort();
}

// Every record in the tag's order, the read-ahead window on.
void Walk(const std::string &path, const std::string &file, const std::string &tag) {
  xb::XBO_dBHandler t(path, true, false);
  t.IndexOpen(file, tag);
  t.SetReadBuffer(true);
  int64_t count = 0;
  for (t.GoToRecord(xb::kGoFirst); !t.Eof(); t.GoToRecord(xb::kGoNext)) ++count;
  if (count != t.RecordCount()) std::abort();
}

void BM_NtxSeeks(benchmark::State &state) {
  Compare(state, [](const std::string &path) { Seeks(path, "dvel.ntx", "dvel"); });
}
void BM_CdxSeeks(benchmark::State &state) {
  Compare(state, [](const std::string &path) { Seeks(path, "dvel.cdx", "KEY"); });
}
void BM_NtxWalk(benchmark::State &state) {
  Compare(state, [](const std::string &path) { Walk(path, "dvel.ntx", "dvel"); });
}
void BM_CdxWalk(benchmark::State &state) {
  Compare(state, [](const std::string &path) { Walk(path, "dvel.cdx", "KEY"); });
}

BENCHMARK(BM_NtxSeeks)->Arg(10000)->Arg(99999)->Unit(benchmark::kMillisecond)->Iterations(7);
BENCHMARK(BM_CdxSeeks)->Arg(10000)->Arg(99999)->Unit(benchmark::kMillisecond)->Iterations(7);
BENCHMARK(BM_NtxWalk)->Arg(10000)->Arg(99999)->Unit(benchmark::kMillisecond)->Iterations(7);
BENCHMARK(BM_CdxWalk)->Arg(10000)->Arg(99999)->Unit(benchmark::kMillisecond)->Iterations(7);

}  // namespace

int main(int argc, char **argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::filesystem::remove_all(Dir());
  return 0;
}
