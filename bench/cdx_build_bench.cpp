// Bottom-up CDX tag builds in memory: sorting the keys and writing full
// leaves and branch levels, for tags of the size of the reference tables and
// larger; set beside BM_CdxInsert, which fills a tag one key at a time.
#include <benchmark/benchmark.h>

#include <string>

#include "../tests/xbase/memory_page_store.h"
#include "xbase/index/cdx_build.h"

namespace {

// The key of row i: a name-like text of varying length with shared prefixes.
std::string RowKey(int i) {
  const uint32_t h = static_cast<uint32_t>(i) * 2654435761u;
  return "NAME" + std::to_string(h % 100000) + std::string(h % 7, 'X');
}

void BM_CdxBuild(benchmark::State &state) {
  const int n = static_cast<int>(state.range(0));
  for (auto _ : state) {
    testing_support::MemoryPageStore store;
    xb::XBobjSortCDX sort(xb::CdxKeyForm{30, ' ', false}, false);
    for (int i = 0; i < n; ++i) sort.AddKey(RowKey(i), static_cast<uint32_t>(i + 1));
    benchmark::DoNotOptimize(sort.WriteTree(store, static_cast<uint64_t>(n)));
  }
  state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_CdxBuild)->Arg(250)->Arg(10000)->Arg(1000000);

}  // namespace

BENCHMARK_MAIN();
