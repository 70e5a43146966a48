// The NTX B-tree in memory: the bottom-up build's exact pages, search and
// navigation, insertion and deletion against a model, and corrupt pages.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "memory_page_store.h"
#include "xbase/index/ntx_format.h"
#include "xbase/index/ntx_tree.h"
#include "xbase/index/sort_ntx.h"

namespace xb {
namespace {

using testing_support::MemoryPageStore;

uint16_t U16(std::string_view b, size_t at) {
  return static_cast<uint16_t>(static_cast<unsigned char>(b[at]) |
                               static_cast<unsigned char>(b[at + 1]) << 8);
}
uint32_t U32(std::string_view b, size_t at) { return U16(b, at) | U16(b, at + 2) << 16; }

std::string Key18(int i) {
  std::string k = std::to_string(1000000000 + i);
  k.resize(13, ' ');
  return k + "101  ";
}

// Builds a tree of the given keys (record numbers 1..n) the way an index
// build does.
int64_t Build(MemoryPageStore &store, const std::vector<std::string> &keys, uint16_t key_length,
              bool descending = false) {
  XBobjSortNTX sort(key_length, descending);
  for (size_t i = 0; i < keys.size(); ++i) sort.Add(keys[i], static_cast<uint32_t>(i + 1));
  return sort.WriteTree(store, NtxMaxEntries(key_length));
}

TEST(NtxBuild, EmptyTreeIsOneEmptyRootPage) {
  MemoryPageStore store;
  EXPECT_EQ(Build(store, {}, 18), 1024);
  ASSERT_EQ(store.bytes().size(), 2048u);
  const std::string page = store.bytes().substr(1024);
  EXPECT_EQ(U16(page, 0), 0);
  for (size_t i = 0; i <= 34; ++i) EXPECT_EQ(U16(page, 2 + 2 * i), 72 + i * 26);
  EXPECT_EQ(U32(page, 72), 0u);
}

TEST(NtxBuild, ThirtyFiveKeysGiveTwoLeavesAndARoot) {
  MemoryPageStore store;
  std::vector<std::string> keys;
  for (int i = 1; i <= 35; ++i) keys.push_back(Key18(i));
  EXPECT_EQ(NtxMaxEntries(18), 34);
  const int64_t root = Build(store, keys, 18);
  ASSERT_EQ(store.bytes().size(), 4096u);
  EXPECT_EQ(root, 3072);
  const std::string leaf1 = store.bytes().substr(1024, 1024);
  const std::string leaf2 = store.bytes().substr(2048, 1024);
  const std::string top = store.bytes().substr(3072, 1024);
  EXPECT_EQ(U16(leaf1, 0), 18);
  EXPECT_EQ(U16(leaf2, 0), 16);
  EXPECT_EQ(U16(top, 0), 1);
  // Root: key 19 with the first leaf on its left, the second leaf rightmost.
  EXPECT_EQ(U32(top, 72), 1024u);
  EXPECT_EQ(U32(top, 76), 19u);
  EXPECT_EQ(top.substr(80, 18), Key18(19));
  EXPECT_EQ(U32(top, 72 + 26), 2048u);
  EXPECT_EQ(U32(leaf2, 76), 20u);
  EXPECT_EQ(leaf1.substr(72 + 17 * 26 + 8, 18), Key18(18));
  // Every page's unused bytes are zero.
  EXPECT_EQ(top.find_first_not_of('\0', 72 + 2 * 26), std::string::npos);
}

// A fresh tree read straight from its page bytes the way any other program
// reading NTX files does: every page holds 1 to max entries (only an empty
// tree has an empty root leaf), slot 0's left child tells a branch from a
// leaf, leaves all lie at one depth, the walk in key order gives every key,
// and a search that descends through the first key not below the wanted
// one finds each key. What is wrong goes to `problems`.
struct PlainReader {
  const std::string &bytes;
  uint16_t key_length;
  uint16_t max;
  std::vector<std::string> problems;
  std::vector<uint32_t> walked;
  int leaf_depth = -1;

  std::string_view Slot(int64_t page, size_t i) const {
    const size_t at = static_cast<size_t>(page) + U16(bytes, static_cast<size_t>(page) + 2 + 2 * i);
    return std::string_view(bytes).substr(at, 8 + key_length);
  }
  uint32_t Child(int64_t page, size_t i) const { return U32(Slot(page, i), 0); }

  void Walk(int64_t page, int depth, bool root_of_empty_tree) {
    if (page < 1024 || page % 1024 != 0 || page + 1024 > static_cast<int64_t>(bytes.size()) ||
        depth > 31) {
      problems.push_back("page outside the file: " + std::to_string(page));
      return;
    }
    const size_t count = U16(bytes, static_cast<size_t>(page));
    if (count > max) problems.push_back("page " + std::to_string(page) + " is overfull");
    if (count == 0 && !root_of_empty_tree) {
      problems.push_back("page " + std::to_string(page) + " holds no key");
    }
    if (count == 0 || Child(page, 0) == 0) {
      if (leaf_depth < 0) leaf_depth = depth;
      if (depth != leaf_depth) problems.push_back("leaves at two depths");
      for (size_t i = 0; i < count; ++i) walked.push_back(U32(Slot(page, i), 4));
      return;
    }
    for (size_t i = 0; i <= count && i <= max; ++i) {
      Walk(Child(page, i), depth + 1, false);
      if (i < count) walked.push_back(U32(Slot(page, i), 4));
    }
  }

  uint32_t Search(int64_t page, std::string_view key) const {
    for (int depth = 0; depth <= 31; ++depth) {
      const size_t count = U16(bytes, static_cast<size_t>(page));
      size_t i = 0;
      for (size_t end = count; i < end;) {
        const size_t mid = (i + end) / 2;
        if (Slot(page, mid).substr(8) < key) {
          i = mid + 1;
        } else {
          end = mid;
        }
      }
      if (i < count && Slot(page, i).substr(8) == key) return U32(Slot(page, i), 4);
      if (count == 0 || Child(page, 0) == 0) return 0;
      page = Child(page, i);
    }
    return 0;
  }
};

// The build fills each page to a common target; for some key counts that
// left the last leaf without a key, which readers and the index check take
// for a damaged file. Every count must give a sound tree, for the income
// table's key (34 entries a page) over the counts the program meets, and for
// longer keys down to the smallest page capacity (2).
TEST(NtxBuild, EmptyLastLeafNeverWritten) {
  const struct {
    uint16_t key_length;
    int up_to;
  } kCases[] = {{18, 3000}, {100, 700}, {239, 300}};
  for (const auto &c : kCases) {
    const uint16_t max = NtxMaxEntries(c.key_length);
    std::vector<std::string> keys;
    for (int i = 1; i <= c.up_to; ++i) {
      std::string key = std::to_string(1000000 + i);
      key.resize(c.key_length, ' ');
      keys.push_back(key);
    }
    std::vector<std::string> faulty;
    for (int n = 0; n <= c.up_to; ++n) {
      MemoryPageStore store;
      XBobjSortNTX sort(c.key_length, false);
      for (int i = 0; i < n; ++i) sort.Add(keys[i], static_cast<uint32_t>(i + 1));
      const int64_t root = sort.WriteTree(store, max);
      PlainReader reader{store.bytes(), c.key_length, max, {}, {}};
      reader.Walk(root, 0, n == 0);
      std::vector<uint32_t> want(n);
      for (int i = 0; i < n; ++i) want[i] = static_cast<uint32_t>(i + 1);
      if (reader.walked != want) reader.problems.push_back("the walk misses keys");
      for (int i = 0; i < n; ++i) {
        if (reader.Search(root, keys[i]) != static_cast<uint32_t>(i + 1)) {
          reader.problems.push_back("key " + std::to_string(i + 1) + " is not found");
          break;
        }
      }
      NtxTree tree(store, {c.key_length, max, false}, "t.ntx");
      tree.SetRoot(root);
      for (std::string &problem : tree.Check().problems) reader.problems.push_back(problem);
      if (!reader.problems.empty()) faulty.push_back(std::to_string(n) + ": " + reader.problems[0]);
    }
    EXPECT_TRUE(faulty.empty()) << "key length " << c.key_length << ", " << faulty.size()
                                << " faulty counts, first " << faulty.front();
  }
}

// 32 keys at 8 a page: d = 5, k = 7, and 32 = 4 * (7 + 1), so filling to 7
// would leave the fifth leaf empty. The fourth leaf keeps half of its keys.
TEST(NtxBuild, LastTwoLeavesShareTheKeysOfAnEmptyLastLeaf) {
  MemoryPageStore store;
  std::vector<std::string> keys;
  for (int i = 1; i <= 32; ++i)
    keys.push_back(std::string(1, static_cast<char>('A' + i)) + std::string(99, ' '));
  const int64_t root = Build(store, keys, 100);
  std::vector<uint16_t> counts;
  for (size_t at = 1024; at < store.bytes().size(); at += 1024)
    counts.push_back(U16(store.bytes(), at));
  EXPECT_EQ(counts, (std::vector<uint16_t>{7, 7, 7, 4, 3, 4}));
  EXPECT_EQ(root, 6 * 1024);
  // The root's last separator is key 29, with the last leaf to its right.
  const std::string top = store.bytes().substr(root, 1024);
  EXPECT_EQ(U32(top, U16(top, 2 + 2 * 3) + 4), 29u);
  EXPECT_EQ(U32(top, U16(top, 2 + 2 * 4)), 5 * 1024u);
}

// A model of what a tag holds: (key, record) in index order, equal keys in
// insertion order.
struct Model {
  bool descending = false;
  std::vector<std::pair<std::string, uint32_t>> entries;
  void Insert(const std::string &key, uint32_t record) {
    auto at = std::partition_point(entries.begin(), entries.end(), [&](const auto &e) {
      return descending ? e.first >= key : e.first <= key;
    });
    entries.insert(at, {key, record});
  }
  void Remove(const std::string &key, uint32_t record) {
    entries.erase(std::find(entries.begin(), entries.end(), std::make_pair(key, record)));
  }
};

void ExpectSame(NtxTree &tree, const Model &model) {
  const NtxTree::CheckResult check = tree.Check();
  EXPECT_TRUE(check.problems.empty()) << check.problems.front();
  std::vector<std::pair<std::string, uint32_t>> walked;
  for (const XBobjIndexKeyData &e : check.entries) walked.emplace_back(e.key, e.record);
  ASSERT_EQ(walked, model.entries);
  // The cursor agrees in both directions.
  std::vector<uint32_t> forward, backward, want;
  for (const auto &e : model.entries) want.push_back(e.second);
  for (uint32_t r = tree.First(); r != 0; r = tree.Next()) forward.push_back(r);
  for (uint32_t r = tree.Last(); r != 0; r = tree.Prior()) backward.push_back(r);
  std::reverse(backward.begin(), backward.end());
  EXPECT_EQ(forward, want);
  EXPECT_EQ(backward, want);
}

// Long keys (8 entries a page) so that a few hundred keys make several
// levels, splits and emptied pages.
TEST(NtxTree, RandomInsertsAndRemovesMatchAModel) {
  for (bool descending : {false, true}) {
    SCOPED_TRACE(descending);
    const uint16_t length = 100;
    MemoryPageStore store;
    Model model{descending, {}};
    std::mt19937 random(descending ? 7 : 11);
    std::vector<std::string> initial;
    for (int i = 0; i < 50; ++i) {
      std::string key = "K" + std::to_string(random() % 40);
      key.resize(length, ' ');
      initial.push_back(key);
    }
    // The build orders equal keys by record; so does a model fed in that order.
    {
      std::vector<std::pair<std::string, uint32_t>> sorted;
      for (size_t i = 0; i < initial.size(); ++i) sorted.emplace_back(initial[i], i + 1);
      std::stable_sort(sorted.begin(), sorted.end(), [&](const auto &a, const auto &b) {
        return descending ? a.first > b.first : a.first < b.first;
      });
      model.entries = sorted;
    }
    NtxTree tree(store, {length, NtxMaxEntries(length), descending}, "t.ntx");
    tree.SetRoot(Build(store, initial, length, descending));
    ExpectSame(tree, model);
    uint32_t next_record = 51;
    for (int round = 0; round < 40; ++round) {
      for (int step = 0; step < 25; ++step) {
        if (random() % 3 != 0 || model.entries.empty()) {
          std::string key = "K" + std::to_string(random() % 40);
          key.resize(length, ' ');
          tree.Insert(key, next_record);
          ASSERT_TRUE(tree.Current());
          EXPECT_EQ(tree.Current()->record, next_record);
          model.Insert(key, next_record++);
        } else {
          const auto victim = model.entries[random() % model.entries.size()];
          ASSERT_TRUE(tree.Remove(victim.first, victim.second));
          model.Remove(victim.first, victim.second);
        }
      }
      ASSERT_NO_FATAL_FAILURE(ExpectSame(tree, model));
    }
    // Remove everything: the root ends as an empty leaf.
    while (!model.entries.empty()) {
      const auto victim = model.entries[random() % model.entries.size()];
      ASSERT_TRUE(tree.Remove(victim.first, victim.second));
      model.Remove(victim.first, victim.second);
    }
    ExpectSame(tree, model);
    EXPECT_FALSE(tree.Remove(initial[0], 1));
    EXPECT_EQ(tree.First(), 0u);
  }
}

TEST(NtxTree, SeekHonoursExactMatchingAndStopsPastTheEnd) {
  MemoryPageStore store;
  std::vector<std::string> keys;
  for (int i = 1; i <= 200; ++i) keys.push_back(Key18(i * 2));
  NtxTree tree(store, {18, NtxMaxEntries(18), false}, "d.ntx");
  tree.SetRoot(Build(store, keys, 18));
  EXPECT_TRUE(tree.Seek(Key18(100), true));
  EXPECT_EQ(tree.Current()->record, 50u);
  EXPECT_TRUE(tree.Seek("1000000100   101", true));  // without trailing blanks
  EXPECT_FALSE(tree.Seek("1000000100", true));       // a proper prefix
  EXPECT_EQ(tree.Current()->record, 50u);            // rests on it
  EXPECT_TRUE(tree.Seek("1000000100", false));
  EXPECT_FALSE(tree.Seek(Key18(101), true));  // between two keys
  EXPECT_EQ(tree.Current()->record, 51u);
  EXPECT_FALSE(tree.Seek("2", true));  // behind every key
  EXPECT_EQ(tree.Current(), nullptr);
  EXPECT_EQ(tree.Next(), 0u);
}

TEST(NtxTree, CorruptPagesAreReportedNotFollowed) {
  // The root of the 35 keys' tree is the page at 3072 (34 entries a page).
  constexpr size_t kRoot = 3072;
  constexpr size_t kFirstChild = kRoot + NtxSlotTableEnd(34) + kNtxEntryOffChild;
  struct Case {
    const char *what;
    void (*damage)(std::string &bytes);
  } const kCases[] = {
      {"count above max", [](std::string &b) { b[kRoot + kNtxPageOffCount] = 40; }},
      {"slot offset outside the page",
       [](std::string &b) {
         b[kRoot + NtxSlotOffset(0)] = '\xFF';
         b[kRoot + NtxSlotOffset(0) + 1] = 3;
       }},
      {"child outside the file", [](std::string &b) { b[kFirstChild + 1] = 0x7F; }},
      {"child pointing at itself", [](std::string &b) { b[kFirstChild + 1] = 0x0C; }},
      {"child not on a page boundary", [](std::string &b) { b[kFirstChild] = 5; }},
  };
  for (const Case &c : kCases) {
    SCOPED_TRACE(c.what);
    MemoryPageStore store;
    std::vector<std::string> keys;
    for (int i = 1; i <= 35; ++i) keys.push_back(Key18(i));
    const int64_t root = Build(store, keys, 18);
    c.damage(store.bytes());
    NtxTree tree(store, {18, NtxMaxEntries(18), false}, "dvel.ntx");
    tree.SetRoot(root);
    try {
      tree.First();
      // A self-pointing child is only found by walking down it far enough.
      for (int i = 0; i < 100; ++i) tree.Next();
      tree.Seek(Key18(1), true);
      FAIL() << "no error";
    } catch (const std::exception &e) {
      EXPECT_STREQ(e.what(), "Index file dvel.ntx is corrupted");
    }
    EXPECT_FALSE(tree.Check().problems.empty());
  }
}

}  // namespace
}  // namespace xb
