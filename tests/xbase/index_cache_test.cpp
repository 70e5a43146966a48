// The index pages kept between searches and walks, for NTX and CDX alike:
// the trees' kept pages stay in step with their own writes, a search over
// kept pages reads only the update counter, a change by another table object
// (or one still being made) is seen at the next search, the read-ahead
// window serves walks in natural order but not in index order, a walk with
// it reads the counter once a leaf and a walk under the table's own index
// lock not at all.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <memory>
#include <random>
#include <set>

#include "memory_page_store.h"
#include "table_fixture.h"
#include "xbase/index/cdx_tree.h"
#include "xbase/index/index_file.h"
#include "xbase/index/index_page_cache.h"
#include "xbase/index/ntx_format.h"
#include "xbase/index/ntx_tree.h"
#include "xbase/index/sort_ntx.h"

namespace xb {
namespace {

using testing_support::MemoryPageStore;
using testing_support::TempDir;

TEST(IndexPageCache, KeepsTheMostRecentlyUsedPagesUpToItsCapacity) {
  IndexPageCache<int> cache(2);
  cache.Put(1024, std::make_shared<int>(1));
  cache.Put(2048, std::make_shared<int>(2));
  ASSERT_NE(cache.Find(1024), nullptr);  // now 2048 was used longest ago
  cache.Put(3072, std::make_shared<int>(3));
  EXPECT_EQ(cache.Size(), 2u);
  EXPECT_EQ(cache.Find(2048), nullptr);
  cache.Put(1024, std::make_shared<int>(4));  // a page written anew
  EXPECT_EQ(*cache.Find(1024), 4);
  cache.Erase(3072);
  EXPECT_EQ(cache.Find(3072), nullptr);
  EXPECT_EQ(cache.Size(), 1u);
}

// --- trees in memory -----------------------------------------------------

using Entries = std::vector<std::pair<std::string, uint32_t>>;

template <typename Tree>
Entries Walk(Tree &tree) {
  Entries out;
  for (uint32_t r = tree.First(); r != 0; r = tree.Next()) out.emplace_back(tree.Current()->key, r);
  return out;
}

// Inserts and removes keys at random. The tree changes the pages it keeps
// (its own copies) and writes them; a tree made afresh on the same store
// reads everything from there: both must walk the same entries throughout.
// A search over kept pages reads nothing.
template <typename Tree>
void CheckKeptPages(MemoryPageStore &store, Tree &tree,
                    const std::function<std::unique_ptr<Tree>()> &fresh) {
  std::mt19937 random(7);
  std::set<std::pair<std::string, uint32_t>> model;
  for (int step = 1; step <= 3000; ++step) {
    const uint32_t record = random() % 900 + 1;
    char key[16];
    std::snprintf(key, sizeof key, "K%05u", record * 7919 % 1000);
    const auto entry = std::make_pair(std::string(key), record);
    if (model.count(entry)) {
      ASSERT_TRUE(tree.Remove(key, record));
      model.erase(entry);
    } else {
      tree.Insert(key, record);
      model.insert(entry);
    }
    if (step % 250 != 0) continue;
    SCOPED_TRACE(step);
    const Entries kept = Walk(tree);
    EXPECT_EQ(kept, Walk(*fresh()));
    EXPECT_EQ(kept.size(), model.size());
    const size_t reads = store.reads;
    EXPECT_TRUE(tree.Seek(model.begin()->first, true));
    EXPECT_EQ(store.reads, reads);
    tree.DropPages();
    EXPECT_TRUE(tree.Seek(model.begin()->first, true));
    EXPECT_GT(store.reads, reads);
  }
}

TEST(IndexPageCache, NtxTreeKeepsItsPagesInStepWithItsWrites) {
  MemoryPageStore store;
  const NtxTree::Layout layout{10, NtxMaxEntries(10), false};
  const int64_t root = XBobjSortNTX(10, false).WriteTree(store, layout.max_entries);
  NtxTree tree(store, layout, "t.ntx");
  tree.SetRoot(root);
  CheckKeptPages<NtxTree>(store, tree, [&] {
    auto other = std::make_unique<NtxTree>(store, layout, "t.ntx");
    other->SetRoot(tree.root());
    return other;
  });
}

TEST(IndexPageCache, CdxTreeKeepsItsNodesInStepWithItsWrites) {
  MemoryPageStore store;
  const auto limit = [] { return uint64_t{1000}; };
  CdxTree::Layout layout;
  layout.form.key_length = 10;
  CdxTree tree(store, "t.cdx", limit);
  tree.SetLayout(layout);
  tree.WriteEmptyRoot(store.AllocPage(kCdxNodeSize));
  CheckKeptPages<CdxTree>(store, tree, [&] {
    auto other = std::make_unique<CdxTree>(store, "t.cdx", limit);
    other->SetLayout(layout);
    other->SetRoot(tree.root());
    return other;
  });
}

// --- tables, NTX and CDX -----------------------------------------------

struct Format {
  const char *name;
  const char *file;
  const char *tag;
};

void PrintTo(const Format &format, std::ostream *out) { *out << format.name; }

constexpr int kRows = 4000;
constexpr int64_t kRecordLength = 154;

// A table whose F01 holds a five-digit key: records 1 to n/2 the even keys,
// the others the odd ones, so that index order jumps half the table at
// every step.
void MakeInterleavedTable(const std::string &path, int n) {
  BuiltTable built = BuildEmptyTable(testing::IncomeFields(), TxbDBFTypes::Clipper, "T", Now());
  std::string bytes = built.table;
  bytes.pop_back();
  for (int i = 0; i < n; ++i) {
    std::string record(kRecordLength, ' ');
    char key[8];
    std::snprintf(key, sizeof key, "%05d", i < n / 2 ? 2 * i : 2 * (i - n / 2) + 1);
    record.replace(1, 5, key);
    bytes += record;
  }
  bytes += '\x1A';
  PutLE32(bytes.data() + 4, static_cast<uint32_t>(n));
  testing_support::WriteFileBytes(path, bytes);
}

// The record holding key k in that table.
int64_t RecordOfKey(int k) { return k % 2 == 0 ? k / 2 + 1 : kRows / 2 + k / 2 + 1; }

std::string KeyText(int k) {
  char key[8];
  std::snprintf(key, sizeof key, "%05d", k);
  return key;
}

class IndexSharing : public ::testing::TestWithParam<Format> {
 protected:
  void SetUp() override {
    MakeInterleavedTable(table_, kRows);
    XBO_dBHandler t(table_, false, true);
    t.IndexOn(GetParam().file, GetParam().tag, "f01", "", 1, 0);
  }
  std::unique_ptr<XBO_dBHandler> Open(bool shared, bool read_write) {
    auto t = std::make_unique<XBO_dBHandler>(table_, shared, read_write);
    t->IndexOpen(GetParam().file, GetParam().tag);
    return t;
  }
  static const XBO_DiskFile::IoCounts &IndexIo(XBO_dBHandler &t) {
    return t.IndexSlots()[1]->Disk().Counts();
  }
  int64_t Find(XBO_dBHandler &t, int k) { return t.FindInTag(GetParam().tag, KeyText(k)); }
  // Raises the update counter on disk as a writer does first.
  void RaiseCounter() {
    std::fstream f(dir_.File(GetParam().file), std::ios::in | std::ios::out | std::ios::binary);
    const bool ntx = std::string(GetParam().name) == "Ntx";
    unsigned char b[4] = {};
    f.seekg(ntx ? 2 : 8);
    f.read(reinterpret_cast<char *>(b), 4);
    if (ntx) {
      PutLE16(b, static_cast<uint16_t>(GetLE16(b) + 1));
    } else {
      PutBE32(b, GetBE32(b) + 1);
    }
    f.seekp(ntx ? 2 : 8);
    f.write(reinterpret_cast<const char *>(b), ntx ? 2 : 4);
  }

  TempDir dir_;
  std::string table_ = dir_.File("t.dbf");
};

TEST_P(IndexSharing, KeptPagesServeSearchesAndWalksWithOneCounterRead) {
  auto t = Open(true, false);
  ASSERT_EQ(Find(*t, 1234), RecordOfKey(1234));
  const XBO_DiskFile::IoCounts before = IndexIo(*t);
  const int64_t table_reads = t->Counts().reads;
  EXPECT_EQ(Find(*t, 1234), RecordOfKey(1234));
  EXPECT_EQ(IndexIo(*t).reads - before.reads, 1);  // the counter
  EXPECT_EQ(t->Counts().reads - table_reads, 1);   // the record's deletion flag
  EXPECT_EQ(IndexIo(*t).sizes, before.sizes);

  // The first walk reads each page once; the second reads only the counter
  // at every step.
  int64_t steps = 0;
  for (t->GoToRecord(kGoFirst); !t->Eof(); t->GoToRecord(kGoNext)) ++steps;
  ASSERT_EQ(steps, kRows);
  const int64_t walked = IndexIo(*t).reads;
  int k = 0;
  for (t->GoToRecord(kGoFirst); !t->Eof(); t->GoToRecord(kGoNext)) {
    ASSERT_EQ(t->RecordNumber(), RecordOfKey(k++));
  }
  EXPECT_EQ(IndexIo(*t).reads - walked, kRows + 1);
  EXPECT_EQ(IndexIo(*t).sizes, before.sizes);

  // Opened exclusively nobody else can change the file: nothing is read.
  t.reset();
  auto own = Open(false, false);
  Find(*own, 77);
  const int64_t own_reads = IndexIo(*own).reads;
  EXPECT_EQ(Find(*own, 77), RecordOfKey(77));
  EXPECT_EQ(IndexIo(*own).reads, own_reads);
}

TEST_P(IndexSharing, AnotherObjectsRewritesAndAppendsAreSeenAtTheNextSearchAndStep) {
  auto writer = Open(true, true);
  auto reader = Open(true, false);
  ASSERT_EQ(Find(*reader, 77), RecordOfKey(77));
  reader->GoToRecord(kGoFirst);
  reader->GoToRecord(kGoNext);  // on key 1, with every page of the way kept
  ASSERT_EQ(reader->RecordNumber(), RecordOfKey(1));

  // Key 2 becomes "99999", behind the other digits; new keys "A0000" on,
  // behind all of them, split pages.
  writer->GoToRecord(RecordOfKey(2));
  writer->StringPut("F01", "99999");
  writer->WriteRecord(RecordOfKey(2));
  for (int i = 0; i < 300; ++i) testing::AppendValues(*writer, {"A" + KeyText(i).substr(1)});

  EXPECT_EQ(Find(*reader, 2), 0);
  EXPECT_EQ(reader->FindInTag(GetParam().tag, "99999"), RecordOfKey(2));
  EXPECT_EQ(reader->FindInTag(GetParam().tag, "A0299"), kRows + 300);
  EXPECT_EQ(Find(*reader, 77), RecordOfKey(77));
  // The walk goes on from its record into the changed tree.
  reader->GoToRecord(kGoNext);
  EXPECT_EQ(reader->RecordNumber(), RecordOfKey(3));
  int64_t rest = 1;
  int64_t moved = 0, last = 0;
  for (reader->GoToRecord(kGoNext); !reader->Eof(); reader->GoToRecord(kGoNext)) {
    ++rest;
    if (reader->RecordNumber() == RecordOfKey(2)) moved = rest;
    last = reader->RecordNumber();
  }
  EXPECT_EQ(rest, kRows + 300 - 2);  // all but keys 0 and 1
  EXPECT_EQ(moved, kRows - 2);       // after keys 3 to kRows - 1
  EXPECT_EQ(last, kRows + 300);
}

TEST_P(IndexSharing, WhileAnotherHoldsTheIndexLockAfterAChangeEverySearchReadsAgain) {
  auto writer = Open(true, true);
  auto reader = Open(true, false);
  ASSERT_EQ(Find(*reader, 500), RecordOfKey(500));
  const auto reads_of_search = [&] {
    const int64_t before = IndexIo(*reader).reads;
    EXPECT_EQ(Find(*reader, 500), RecordOfKey(500));
    return IndexIo(*reader).reads - before;
  };
  // A writer that has raised the counter and not yet written its pages.
  writer->LockIndexes();
  RaiseCounter();
  EXPECT_GT(reads_of_search(), 1);
  EXPECT_GT(reads_of_search(), 1);  // still writing: what was read may be old
  writer->UnlockIndexes();
  EXPECT_GT(reads_of_search(), 1);  // read once more after the writer is done
  EXPECT_EQ(reads_of_search(), 1);
  EXPECT_EQ(reads_of_search(), 1);
}

TEST_P(IndexSharing, ReadAheadServesNaturalOrderButNotIndexOrder) {
  const int64_t data = kRows * kRecordLength;
  const int64_t window = XBO_dBHandler::kReadBufferSize / kRecordLength * kRecordLength;
  struct Case {
    const char *what;
    bool in_index_order;
    const char *filter;
    int64_t most_reads;
    int64_t most_bytes;
  } const kCases[] = {
      {"natural order", false, "", data / window + 2, data + window},
      {"natural order, every tenth record", false, "MOD(RECNO(), 10) = 0", data / window + 2,
       data + window},
      {"index order", true, "", kRows + 2, data + window},
  };
  for (const Case &c : kCases) {
    SCOPED_TRACE(c.what);
    XBO_dBHandler t(table_, true, false);
    if (c.in_index_order) t.IndexOpen(GetParam().file, GetParam().tag);
    if (*c.filter) t.SetFilter(c.filter, false, false);
    t.SetReadBuffer(true);
    const XBO_DiskFile::IoCounts before = t.Counts();
    int64_t visited = 0;
    for (t.GoToRecord(kGoFirst); !t.Eof(); t.GoToRecord(kGoNext)) ++visited;
    EXPECT_EQ(visited, *c.filter ? kRows / 10 : kRows);
    EXPECT_LE(t.Counts().reads - before.reads, c.most_reads);
    EXPECT_LE(t.Counts().bytes_read - before.bytes_read, c.most_bytes);
  }
}

TEST_P(IndexSharing, WithReadAheadAWalkLooksForChangesWhenItLeavesALeaf) {
  auto writer = Open(true, true);
  auto reader = Open(true, false);
  reader->SetReadBuffer(true);
  const auto walk = [&] {
    int64_t steps = 0;
    for (reader->GoToRecord(kGoFirst); !reader->Eof(); reader->GoToRecord(kGoNext)) ++steps;
    return steps;
  };
  ASSERT_EQ(walk(), kRows);
  // Every page is kept now: the counter is read once a leaf, not at every
  // step.
  const int64_t walked = IndexIo(*reader).reads;
  ASSERT_EQ(walk(), kRows);
  EXPECT_GT(IndexIo(*reader).reads - walked, 0);
  EXPECT_LT(IndexIo(*reader).reads - walked, kRows / 20);

  reader->GoToRecord(kGoFirst);
  reader->GoToRecord(kGoNext);
  ASSERT_EQ(reader->RecordNumber(), RecordOfKey(1));
  // Another process deletes the rows of keys 2 to 999, more than a leaf
  // holds, and adds 200 rows of key 500, which split pages the reader
  // keeps. Its next step passes the hidden rows and finds the new ones.
  {
    std::fstream f(table_, std::ios::in | std::ios::out | std::ios::binary);
    for (int k = 2; k <= 999; ++k) {
      f.seekp(reader->HeaderLength() + (RecordOfKey(k) - 1) * kRecordLength);
      f.put('*');
    }
  }
  for (int i = 0; i < 200; ++i) testing::AppendValues(*writer, {KeyText(500)});
  reader->SetReadBuffer(true);  // the window read before the deletions goes
  std::vector<int64_t> next;
  for (int i = 0; i < 201; ++i) {
    reader->GoToRecord(kGoNext);
    next.push_back(reader->RecordNumber());
  }
  std::vector<int64_t> expected;
  for (int i = 1; i <= 200; ++i) expected.push_back(kRows + i);
  expected.push_back(RecordOfKey(1000));
  EXPECT_EQ(next, expected);
}

TEST_P(IndexSharing, UnderItsOwnIndexLockAWalkReadsTheCounterOnce) {
  auto t = Open(true, true);
  auto other = Open(true, true);
  const auto walk = [&] {
    int64_t steps = 0;
    for (t->GoToRecord(kGoFirst); !t->Eof(); t->GoToRecord(kGoNext)) ++steps;
    return steps;
  };
  ASSERT_EQ(walk(), kRows);  // every page kept
  t->LockIndexes();
  const int64_t before = IndexIo(*t).reads;
  ASSERT_EQ(walk(), kRows);
  ASSERT_EQ(walk(), kRows);
  EXPECT_EQ(IndexIo(*t).reads - before, 1);
  // Its own writes under the lock keep the tree right.
  testing::AppendValues(*t, {KeyText(77)});
  EXPECT_EQ(walk(), kRows + 1);
  t->UnlockIndexes();

  // Another's change made while the lock was let go is seen once it is
  // taken again.
  testing::AppendValues(*other, {"A0000"});
  t->LockIndexes();
  EXPECT_EQ(t->FindInTag(GetParam().tag, "A0000"), kRows + 2);
  EXPECT_EQ(walk(), kRows + 2);
  t->UnlockIndexes();
}

INSTANTIATE_TEST_SUITE_P(Formats, IndexSharing,
                         ::testing::Values(Format{"Ntx", "t.ntx", "t"},
                                           Format{"Cdx", "t.cdx", "KEY"}),
                         [](const auto &info) { return std::string(info.param.name); });

}  // namespace
}  // namespace xb
