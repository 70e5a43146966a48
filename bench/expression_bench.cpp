// Expression costs: parsing the income key, evaluating it on a record, and
// building a filter's record set over a 10 000-row table. Run on tmpfs.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <memory>
#include <string>

#include "xbase/expr/expr_handler.h"
#include "xbase/table/db_handler.h"
#include "xbase/table/dbf_builder.h"

namespace {

constexpr int kRows = 10000;

// An income-layout table of kRows rows in a fresh directory under /dev/shm.
xb::XBO_dBHandler &Table() {
  static std::unique_ptr<xb::XBO_dBHandler> table = [] {
    char dir[] = "/dev/shm/expression_bench_XXXXXX";
    if (!mkdtemp(dir)) std::abort();
    const std::string path = std::string(dir) + "/dvel.dbf";
    xb::CreateDbfTable(path, xb::TxbDBFTypes::Clipper,
                       {{"F01", 'C', 5, 0}, {"F04", 'C', 13, 0}, {"F10", 'C', 5, 0}});
    auto t = std::make_unique<xb::XBO_dBHandler>(path, false, true);
    for (int i = 1; i <= kRows; ++i) {
      t->BlankRecord();
      t->StringPut(1, std::to_string(i));
      t->StringPut(2, std::to_string(1000000000 + i * 7919));
      t->StringPut(3, std::to_string(100 + i % 900));
      t->AppendRecord();
    }
    std::remove(path.c_str());
    rmdir(dir);
    return t;
  }();
  return *table;
}

void BM_ParseKey(benchmark::State &state) {
  auto &t = Table();
  for (auto _ : state) {
    xb::TxbExpHandler e(&t.ExpressionLink(), false, t.Alias(), "f04+f10");
    benchmark::DoNotOptimize(e.HasTree());
  }
}
BENCHMARK(BM_ParseKey);

void BM_EvaluateKey(benchmark::State &state) {
  auto &t = Table();
  t.GoToRecord(1);
  xb::TxbExpHandler e(&t.ExpressionLink(), false, t.Alias(), "f04+f10");
  xb::ExpValue v;
  for (auto _ : state) {
    e.EvaluateToVariant(v);
    benchmark::DoNotOptimize(v.text.data());
  }
}
BENCHMARK(BM_EvaluateKey);

void BM_BuildFilter(benchmark::State &state) {
  auto &t = Table();
  for (auto _ : state) {
    t.SetFilter("F10 = '5*' .AND. MOD(VAL(F01), 3) = 0", false, true);
    benchmark::DoNotOptimize(t.Filter().passing.Count());
  }
  state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK(BM_BuildFilter)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
