// CDX tree figures in memory: inserting keys one by one (leaf and branch
// splits, sibling links), searching them, and walking the whole tag, for
// tags of the size of the reference tables and larger.
#include <benchmark/benchmark.h>

#include <random>
#include <string>

#include "../tests/xbase/memory_page_store.h"
#include "xbase/index/cdx_tree.h"

namespace {

// The key of row i: a name-like text of varying length with shared prefixes.
std::string RowKey(int i) {
  const uint32_t h = static_cast<uint32_t>(i) * 2654435761u;
  return "NAME" + std::to_string(h % 100000) + std::string(h % 7, 'X');
}

struct Tree {
  explicit Tree(uint16_t key_length) : tree(store, "bench.cdx", [this] { return limit; }) {
    xb::CdxTree::Layout layout;
    layout.form.key_length = key_length;
    tree.SetLayout(layout);
    tree.WriteEmptyRoot(store.AllocPage(xb::kCdxNodeSize));
  }
  testing_support::MemoryPageStore store;
  uint64_t limit = 1 << 20;
  xb::CdxTree tree;
};

void BM_CdxInsert(benchmark::State &state) {
  const int n = static_cast<int>(state.range(0));
  for (auto _ : state) {
    Tree t(30);
    for (int i = 0; i < n; ++i) t.tree.Insert(RowKey(i), static_cast<uint32_t>(i + 1));
    benchmark::DoNotOptimize(t.tree.root());
  }
  state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_CdxInsert)->Arg(250)->Arg(10000);

void BM_CdxSeek(benchmark::State &state) {
  const int n = static_cast<int>(state.range(0));
  Tree t(30);
  for (int i = 0; i < n; ++i) t.tree.Insert(RowKey(i), static_cast<uint32_t>(i + 1));
  std::mt19937 random(1);
  for (auto _ : state) benchmark::DoNotOptimize(t.tree.Seek(RowKey(random() % n), true));
}
BENCHMARK(BM_CdxSeek)->Arg(250)->Arg(10000);

void BM_CdxWalk(benchmark::State &state) {
  const int n = static_cast<int>(state.range(0));
  Tree t(30);
  for (int i = 0; i < n; ++i) t.tree.Insert(RowKey(i), static_cast<uint32_t>(i + 1));
  for (auto _ : state) {
    uint32_t count = 0;
    for (uint32_t r = t.tree.First(); r != 0; r = t.tree.Next()) ++count;
    benchmark::DoNotOptimize(count);
  }
  state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_CdxWalk)->Arg(250)->Arg(10000);

}  // namespace

BENCHMARK_MAIN();
