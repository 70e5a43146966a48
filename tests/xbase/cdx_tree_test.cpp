// The CDX B-tree in memory: insertion and deletion against a model (order by
// key, then record; splits; sibling links), equal keys in record order, and
// corrupt nodes that must end in an error rather than a crash or a loop.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>

#include "memory_page_store.h"
#include "xbase/index/cdx_format.h"
#include "xbase/index/cdx_key.h"
#include "xbase/index/cdx_tree.h"
#include "xbase/xbase_error.h"

namespace xb {
namespace {

using testing_support::MemoryPageStore;
using Entry = std::pair<std::string, uint32_t>;

struct TreeFixture {
  explicit TreeFixture(uint16_t key_length, char pad = ' ', bool descending = false)
      : tree(store, "t.cdx", [this] { return limit; }) {
    CdxTree::Layout layout;
    layout.form.key_length = key_length;
    layout.form.pad = pad;
    layout.descending = descending;
    tree.SetLayout(layout);
    tree.WriteEmptyRoot(store.AllocPage(kCdxNodeSize));
  }
  std::vector<Entry> Forward() {
    std::vector<Entry> out;
    for (uint32_t r = tree.First(); r != 0; r = tree.Next())
      out.emplace_back(tree.Current()->key, r);
    return out;
  }
  std::vector<Entry> Backward() {
    std::vector<Entry> out;
    for (uint32_t r = tree.Last(); r != 0; r = tree.Prior())
      out.emplace_back(tree.Current()->key, r);
    std::reverse(out.begin(), out.end());
    return out;
  }
  MemoryPageStore store;
  uint64_t limit = 100;
  CdxTree tree;
};

std::string Trimmed(std::string key) {
  key.erase(key.find_last_not_of(' ') + 1);
  return key;
}

TEST(CdxTree, RandomInsertsAndDeletesMatchAModel) {
  for (const uint16_t length : {10, 40}) {
    SCOPED_TRACE(length);
    TreeFixture f(length);
    std::mt19937 random(length);
    std::set<Entry> model;
    uint32_t next_record = 1;
    for (int step = 0; step < 3000; ++step) {
      if (model.empty() || random() % 3 != 0) {
        // Few distinct keys with shared prefixes: duplicates and compression.
        std::string key = "K" + std::to_string(random() % 97) + std::string(random() % 5, 'x');
        const uint32_t record = next_record++;
        f.limit = std::max<uint64_t>(f.limit, record);
        f.tree.Insert(key, record);
        ASSERT_EQ(f.tree.Current()->record, record);
        model.emplace(Trimmed(key.substr(0, length)), record);
      } else {
        auto it = model.begin();
        std::advance(it, random() % model.size());
        ASSERT_TRUE(f.tree.Remove(it->first, it->second));
        model.erase(it);
      }
      if (step % 500 == 499 || step == 2999) {
        const std::vector<Entry> expected(model.begin(), model.end());
        ASSERT_EQ(f.Forward(), expected);
        ASSERT_EQ(f.Backward(), expected);
        const CdxTree::CheckResult check = f.tree.Check();
        EXPECT_TRUE(check.problems.empty()) << check.problems.front();
        EXPECT_GE(check.nodes, 3u);  // a split happened
      }
    }
    // A search stops at the lowest record of equal keys.
    const Entry &some = *std::next(model.begin(), model.size() / 2);
    ASSERT_TRUE(f.tree.Seek(some.first, true));
    EXPECT_EQ(f.tree.Current()->record, model.lower_bound({some.first, 0})->second);
    EXPECT_FALSE(f.tree.Remove(some.first, 999999));
    EXPECT_FALSE(f.tree.Seek("L", false));
    EXPECT_EQ(f.tree.Current(), nullptr);
  }
}

TEST(CdxTree, EqualKeysStayInRecordOrder) {
  TreeFixture f(10);
  for (uint32_t record : {7u, 3u, 9u, 1u, 5u}) f.tree.Insert("SAME", record);
  f.tree.Insert("OTHER", 4);
  const std::vector<Entry> expected = {{"OTHER", 4}, {"SAME", 1}, {"SAME", 3},
                                       {"SAME", 5},  {"SAME", 7}, {"SAME", 9}};
  EXPECT_EQ(f.Forward(), expected);
  ASSERT_TRUE(f.tree.Seek("SAME", true));
  EXPECT_EQ(f.tree.Current()->record, 1u);
  EXPECT_FALSE(f.tree.Seek("SAM", true));
  EXPECT_TRUE(f.tree.Seek("SAM", false));
}

TEST(CdxTree, DescendingTagsKeepEqualKeysInRecordOrder) {
  TreeFixture f(10, ' ', true);
  for (uint32_t record : {4u, 2u, 6u}) f.tree.Insert("B", record);
  f.tree.Insert("A", 1);
  f.tree.Insert("C", 9);
  const std::vector<Entry> expected = {{"C", 9}, {"B", 2}, {"B", 4}, {"B", 6}, {"A", 1}};
  EXPECT_EQ(f.Forward(), expected);
  EXPECT_EQ(f.Backward(), expected);
  ASSERT_TRUE(f.tree.Seek("B", true));
  EXPECT_EQ(f.tree.Current()->record, 2u);
  EXPECT_TRUE(f.tree.Check().problems.empty());
}

TEST(CdxTree, NumberKeysOrderWithZeroPadding) {
  TreeFixture f(8, '\0');
  const double values[] = {3, -1, 0, 2.5, -1000, 1e10, 0.5};
  uint32_t record = 1;
  for (double v : values) f.tree.Insert(CdxNumberKey(v), record++);
  std::vector<uint32_t> order;
  for (uint32_t r = f.tree.First(); r != 0; r = f.tree.Next()) order.push_back(r);
  EXPECT_EQ(order, (std::vector<uint32_t>{5, 2, 3, 7, 4, 1, 6}));
  EXPECT_TRUE(f.tree.Seek(CdxNumberKey(0.5), true));
  EXPECT_EQ(f.tree.Current()->record, 7u);
}

TEST(CdxTree, CorruptNodesRaiseInsteadOfLooping) {
  TreeFixture f(10);
  for (uint32_t r = 1; r <= 400; ++r) f.tree.Insert("KEY" + std::to_string(r % 50), r);
  const int64_t root = f.tree.root();
  std::string &bytes = f.store.bytes();
  const std::string good = bytes;
  auto expect_corrupted = [&](const char *what) {
    SCOPED_TRACE(what);
    f.tree.SetRoot(root);
    try {
      for (uint32_t r = f.tree.First(), n = 0; r != 0; r = f.tree.Next()) ASSERT_LT(++n, 10000u);
      ADD_FAILURE() << "no error";
    } catch (const EXbaseError &e) {
      EXPECT_STREQ(e.what(), "Index file t.cdx is corrupted");
    }
    bytes = good;
  };
  // The root's first child pointing back at the root.
  const size_t child = root + kCdxBranchOffEntries + 10 + 4;  // behind key and record
  for (int k = 0; k < 4; ++k) bytes[child + k] = static_cast<char>((root >> (24 - 8 * k)) & 0xFF);
  expect_corrupted("child loop");
  bytes[root + kCdxNodeOffCount] = static_cast<char>(0x7F);  // count beyond the branch capacity
  expect_corrupted("branch count");
  const size_t leaf = 1024;  // the first root, a leaf once the root split
  bytes[leaf + kCdxLeafOffRecordBits] = 40;  // record bits beyond 32
  expect_corrupted("record bits");
  bytes[leaf + kCdxNodeOffRight] = 0x01;  // right sibling inside no node boundary
  expect_corrupted("sibling");
}

}  // namespace
}  // namespace xb
