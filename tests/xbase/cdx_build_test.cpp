// Building CDX tags: the written tree read back node by node (order, full
// leaves, branch entries naming their child's last key, sibling links on
// every level), and compound files gaining and replacing tags.
#include "xbase/index/cdx_build.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "memory_page_store.h"
#include "table_fixture.h"
#include "xbase/file/byte_helpers.h"
#include "xbase/index/cdx_format.h"
#include "xbase/index/cdx_key.h"
#include "xbase/index/cdx_tag.h"
#include "xbase/index/cdx_verify.h"

namespace xb {
namespace {

using testing_support::MemoryPageStore;
using testing_support::ReadFileBytes;
using testing_support::TempDir;

struct Model {
  std::string key;  // without pad bytes
  uint32_t record;
};

std::string Strip(std::string key, char pad) {
  const size_t end = key.find_last_not_of(pad);
  key.resize(end == std::string::npos ? 0 : end + 1);
  return key;
}

CdxNode Load(MemoryPageStore &store, uint32_t position, const CdxKeyForm &form) {
  return DecodeCdxNode(store.ReadPage(position, kCdxNodeSize), form, store.bytes().size(), "t.cdx");
}

struct TreeShape {
  std::vector<XBobjIndexKeyData> entries;  // leaf entries, left to right
  size_t levels = 0;
  size_t leaves = 0;
};

// Reads the tree level by level and checks what every reader relies on.
TreeShape ReadTree(MemoryPageStore &store, uint32_t root, const CdxKeyForm &form) {
  TreeShape shape;
  std::vector<uint32_t> level{root};
  for (;;) {
    ++shape.levels;
    std::vector<uint32_t> below;
    std::vector<CdxNode> nodes;
    for (uint32_t position : level) nodes.push_back(Load(store, position, form));
    for (size_t i = 0; i < nodes.size(); ++i) {
      const CdxNode &n = nodes[i];
      SCOPED_TRACE("node at " + std::to_string(level[i]));
      EXPECT_EQ(n.root, shape.levels == 1);
      EXPECT_EQ(n.leaf, nodes.front().leaf);
      EXPECT_EQ(n.left, i == 0 ? kCdxNoSibling : level[i - 1]);
      EXPECT_EQ(n.right, i + 1 == nodes.size() ? kCdxNoSibling : level[i + 1]);
      if (shape.levels > 1 || !n.leaf) {
        EXPECT_FALSE(n.entries.empty());
      }
      if (n.leaf) {
        shape.entries.insert(shape.entries.end(), n.entries.begin(), n.entries.end());
        continue;
      }
      for (const XBobjIndexKeyData &e : n.entries) {
        const CdxNode child = Load(store, e.child, form);
        EXPECT_EQ(e.key, child.entries.back().key);
        EXPECT_EQ(e.record, child.entries.back().record);
        below.push_back(e.child);
      }
    }
    if (nodes.front().leaf) {
      shape.leaves = nodes.size();
      // Every leaf but the last is full: its right neighbour's first entry
      // would not have fitted.
      for (size_t i = 0; i + 1 < nodes.size(); ++i) {
        std::vector<XBobjIndexKeyData> more = nodes[i].entries;
        more.push_back(nodes[i + 1].entries.front());
        EXPECT_FALSE(CdxLeafFits(more, form, CdxLeafEntryWidth(form.key_length, 1 << 20)))
            << "leaf " << i << " was not filled";
      }
      return shape;
    }
    level = below;
  }
}

// The stored order: keys ascending or descending, equal keys in record
// order; a unique tag keeps each key's lowest record.
std::vector<Model> Sorted(std::vector<Model> keys, bool descending, bool unique) {
  std::sort(keys.begin(), keys.end(), [&](const Model &a, const Model &b) {
    if (a.key != b.key) return descending ? a.key > b.key : a.key < b.key;
    return a.record < b.record;
  });
  if (!unique) return keys;
  std::vector<Model> kept;
  for (const Model &m : keys) {
    if (!kept.empty() && kept.back().key == m.key) {
      kept.back().record = std::min(kept.back().record, m.record);
    } else {
      kept.push_back(m);
    }
  }
  return kept;
}

TEST(CdxBuild, TreesReadBackInSortedOrder) {
  const struct {
    const char *name;
    CdxKeyForm form;
    int keys;
    bool descending, unique;
    size_t levels;
  } cases[] = {
      {"empty", {10, ' ', false}, 0, false, false, 1},
      {"one leaf", {10, ' ', false}, 30, false, false, 1},
      {"two levels", {10, ' ', false}, 3000, false, false, 2},
      {"three levels", {120, ' ', false}, 400, false, false, 3},
      {"descending", {10, ' ', false}, 3000, true, false, 2},
      {"unique", {10, ' ', false}, 3000, false, true, 2},
      {"unique descending", {10, ' ', false}, 3000, true, true, 2},
      {"numbers padded with zero bytes", {8, '\0', false}, 2000, false, false, 2},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.name);
    std::mt19937 random(7);
    std::vector<Model> model;
    XBobjSortCDX sort(c.form, c.descending);
    for (int i = 0; i < c.keys; ++i) {
      // Few distinct keys with shared beginnings and pad at their ends.
      std::string key = "K" + std::to_string(random() % 700);
      if (c.form.pad == '\0') key = std::string("\xC0\x8F", 2) + std::string(1, random() % 5);
      key = key.substr(0, c.form.key_length);
      const uint32_t record = static_cast<uint32_t>(i + 1);
      model.push_back({Strip(key, c.form.pad), record});
      sort.AddKey(key, record);
    }
    MemoryPageStore store;
    const int64_t root = sort.WriteTree(store, 1 << 20, c.unique);
    const TreeShape shape = ReadTree(store, static_cast<uint32_t>(root), c.form);
    const std::vector<Model> expected = Sorted(model, c.descending, c.unique);
    ASSERT_EQ(shape.entries.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
      ASSERT_EQ(shape.entries[i].key, expected[i].key) << "entry " << i;
      ASSERT_EQ(shape.entries[i].record, expected[i].record) << "entry " << i;
    }
    EXPECT_EQ(shape.levels, c.levels);
  }
}

// The records of the current tag in walking order.
std::vector<uint32_t> Walk(XBO_dBHandler &t) {
  std::vector<uint32_t> records;
  for (t.GoToRecord(kGoFirst); !t.Eof(); t.GoToRecord(kGoNext)) {
    records.push_back(static_cast<uint32_t>(t.RecordNumber()));
  }
  return records;
}

XBobjCDXTag &CurrentCdxTag(XBO_dBHandler &t) { return static_cast<XBobjCDXTag &>(*t.CurrentTag()); }

// The tags of the open compound file, in directory order.
std::vector<std::string> TagNames(XBO_dBHandler &t) {
  std::vector<std::string> names;
  for (auto &file : t.IndexSlots()) {
    if (!file) continue;
    for (auto &tag : file->Tags()) names.push_back(tag->Name());
  }
  return names;
}

class CdxIndexOnTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CreateDbfTable(table_path_, TxbDBFTypes::Clipper, testing::TypedFields());
    table_ = std::make_unique<XBO_dBHandler>(table_path_, false, true);
    for (const auto &[name, amount] : std::vector<std::pair<std::string, std::string>>{
             {"ABC", "12.50"}, {"B", "-3.00"}, {"AB", "0.00"}, {"abc", "7.25"}, {"B", "12.50"}}) {
      testing::AppendValues(*table_, {name, amount});
    }
  }

  uint32_t Counter() { return GetBE32(ReadFileBytes(cdx_).data() + 8); }

  TempDir dir_;
  std::string table_path_ = dir_.File("t.dbf");
  std::string cdx_ = dir_.File("t.cdx");
  std::unique_ptr<XBO_dBHandler> table_;
};

TEST_F(CdxIndexOnTest, AddsAndReplacesTagsKeepingTheDirectorySorted) {
  XBO_dBHandler &t = *table_;
  t.IndexOn("t.cdx", "names", "NAME", "", 1, 0);
  EXPECT_EQ(Counter(), 1u);
  t.IndexOpen("t.cdx", "Names");
  EXPECT_EQ(TagNames(t), std::vector<std::string>{"NAMES"});
  const CdxTagHeader names = CurrentCdxTag(t).Header();
  EXPECT_EQ(names.key_length, 5);
  EXPECT_EQ(names.key_expression, "NAME");
  EXPECT_EQ(names.collation, CdxCollation::kMachine);
  EXPECT_FALSE(names.unique || names.descending);
  // Equal keys in record order.
  EXPECT_EQ(Walk(t), (std::vector<uint32_t>{3, 1, 2, 5, 4}));

  t.IndexOn("t.cdx", "Amount", "AMOUNT", "AMOUNT > 0", 0, 1);
  EXPECT_EQ(Counter(), 2u);
  t.IndexOpen("t.cdx", "amount");
  EXPECT_EQ(TagNames(t), (std::vector<std::string>{"AMOUNT", "NAMES"}));
  const CdxTagHeader amount = CurrentCdxTag(t).Header();
  EXPECT_EQ(amount.key_length, 8);
  EXPECT_EQ(amount.for_expression, "AMOUNT > 0");
  EXPECT_TRUE(amount.unique && amount.descending);
  // Unique keeps the first record of 12.50; the FOR condition drops the
  // others; descending puts the larger amount first.
  EXPECT_EQ(Walk(t), (std::vector<uint32_t>{1, 4}));

  // Same name in other letters: replaced, not added.
  t.IndexOn("t.cdx", "NaMeS", "UPPER(NAME)", "", 1, 0);
  EXPECT_EQ(Counter(), 3u);
  t.IndexOpen("t.cdx", "names");
  EXPECT_EQ(TagNames(t), (std::vector<std::string>{"AMOUNT", "NAMES"}));
  EXPECT_EQ(CurrentCdxTag(t).Header().key_expression, "UPPER(NAME)");
  EXPECT_EQ(Walk(t), (std::vector<uint32_t>{3, 1, 4, 2, 5}));
  t.SetTag("AMOUNT");
  EXPECT_EQ(Walk(t), (std::vector<uint32_t>{1, 4}));
}

// The layout written out by hand for three keys of a 5-byte tag: entries of
// 2 bytes (10 record bits, 3 duplicate bits, 3 trailing bits).
TEST_F(CdxIndexOnTest, SmallFileBytesFollowTheLayout) {
  table_.reset();
  CreateDbfTable(table_path_, TxbDBFTypes::Clipper, testing::TypedFields());
  table_ = std::make_unique<XBO_dBHandler>(table_path_, true, true);
  for (const char *name : {"ABC", "B", "AB"}) testing::AppendValues(*table_, {name});
  table_->IndexOn("t.cdx", "n", "NAME", "", 1, 0);
  const std::string b = ReadFileBytes(cdx_);
  // Directory header, the directory's leaf, the tag header, the tag's leaf.
  ASSERT_EQ(b.size(), 3072u);
  EXPECT_EQ(GetLE32(&b[0]), 1024u);
  EXPECT_EQ(b.substr(8, 4), std::string("\0\0\0\1", 4));
  EXPECT_EQ(static_cast<uint8_t>(b[14]), 0xE0);
  EXPECT_EQ(GetLE32(&b[1536]), 2560u);
  EXPECT_EQ(GetLE16(&b[1536 + 12]), 5);
  EXPECT_EQ(static_cast<uint8_t>(b[1536 + 14]), 0x60);
  EXPECT_EQ(b.substr(1536 + 494, 8), std::string("MACHINE\0", 8));
  EXPECT_EQ(b.substr(1536 + 512, 5), std::string("NAME\0", 5));
  const std::string leaf = b.substr(2560, 512);
  const char kHead[] =
      "\x03\x00\x03\x00"                  // root and leaf, 3 keys
      "\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF"  // no siblings
      "\xDE\x01"                          // 478 free bytes
      "\xFF\x03\x00\x00\x07\x07"          // masks
      "\x0A\x03\x03\x02"                  // bits and entry width
      "\x03\x60"                          // rec 3, d 0, t 3: "AB"
      "\x01\x48"                          // rec 1, d 2, t 2: "C"
      "\x02\x80";                         // rec 2, d 0, t 4: "B"
  const std::string head(kHead, sizeof kHead - 1);
  EXPECT_EQ(leaf.substr(0, head.size()), head);
  EXPECT_EQ(leaf.substr(508), "BCAB");
  EXPECT_EQ(leaf.find_first_not_of('\0', head.size()), 508u);
}

TEST_F(CdxIndexOnTest, ShortFilesStartAfreshAndDamagedOnesAreLeftAlone) {
  XBO_dBHandler &t = *table_;
  t.IndexOn("t.cdx", "names", "NAME", "", 1, 0);
  // 512 bytes or less: no directory to keep.
  testing_support::WriteFileBytes(cdx_, std::string(512, '\x55'));
  t.IndexOn("t.cdx", "other", "NAME", "", 1, 0);
  t.IndexOpen("t.cdx", "other");
  EXPECT_EQ(TagNames(t), std::vector<std::string>{"OTHER"});
  EXPECT_EQ(Walk(t).size(), 5u);
  t.IndexOpen("", "");  // closed again: the exclusive table holds its index files alone

  // A key that fails on some record stops the build before the file changes.
  const std::string before = ReadFileBytes(cdx_);
  EXPECT_ANY_THROW(t.IndexOn("t.cdx", "bad", "VAL(STR(1/AMOUNT))", "", 1, 0));
  EXPECT_TRUE(ReadFileBytes(cdx_) == before) << "the file was written";

  const struct {
    const char *name;
    size_t offset;
    std::string bytes;
  } damages[] = {
      {"directory root outside the file", kCdxOffRoot, std::string("\0\x10\0\0", 4)},
      {"directory header cut short", 600, ""},
      {"directory leaf count beyond the node", kCdxTagHeaderSize + kCdxNodeOffCount,
       std::string("\xFF\x00", 2)},
  };
  for (const auto &d : damages) {
    SCOPED_TRACE(d.name);
    std::remove(cdx_.c_str());
    t.IndexOn("t.cdx", "names", "NAME", "", 1, 0);
    std::string bytes = ReadFileBytes(cdx_);
    if (d.bytes.empty()) {
      bytes.resize(d.offset);
    } else {
      bytes.replace(d.offset, d.bytes.size(), d.bytes);
    }
    testing_support::WriteFileBytes(cdx_, bytes);
    EXPECT_EQ(testing::ErrorOf([&] { t.IndexOn("t.cdx", "more", "NAME", "", 1, 0); }),
              "Index file t.cdx is corrupted");
    EXPECT_TRUE(ReadFileBytes(cdx_) == bytes) << "the damaged file was written";
  }
  EXPECT_EQ(testing::ErrorOf([&] { t.IndexOn("t.cdx", "  ", "NAME", "", 1, 0); }),
            "Cannot find index tag   ");
}

// Tags built from a random table walk and seek like a sorted model, pass the
// check, and stay so while appends and rewrites split their full leaves.
TEST(CdxIndexOnModel, BuiltTagsAgreeWithASortedModelAndTakeNewKeys) {
  TempDir dir;
  const std::string path = dir.File("m.dbf");
  CreateDbfTable(path, TxbDBFTypes::Clipper, {{"NAME", 'C', 12, 0}, {"AMOUNT", 'N', 8, 2}});
  XBO_dBHandler t(path, false, true);
  std::mt19937 random(11);
  std::vector<std::pair<std::string, double>> rows;
  const std::string letters = "aAbB\xE0\xC0\xE1\xC1 ";  // Latin and Cyrillic, both cases
  auto random_row = [&] {
    std::string name(1 + random() % 6, ' ');
    for (char &c : name) c = letters[random() % letters.size()];
    name = name.substr(0, name.find_last_not_of(' ') + 1);
    const double amount = static_cast<double>(static_cast<int>(random() % 2001) - 1000) / 100;
    return std::make_pair(name, amount);
  };
  auto put = [&](const std::pair<std::string, double> &row) {
    t.StringPut("NAME", row.first);
    t.StringPut("AMOUNT", std::to_string(row.second));
  };
  for (int i = 0; i < 700; ++i) {
    rows.push_back(random_row());
    t.BlankRecord();
    put(rows.back());
    t.AppendRecord();
  }
  const struct {
    const char *tag, *expression, *condition;
    int unique, order;
  } tags[] = {
      {"NAMES", "NAME", "", 1, 0},
      {"GENERAL", "NAME", "", 1, 7},
      {"AMOUNTS", "AMOUNT", "AMOUNT > 0", 1, 1},
      {"FIRSTS", "NAME", "", 0, 0},
  };
  // The model: each tag's key of every row, ordered as the tag stores them.
  auto expected = [&](const auto &tag) {
    std::vector<std::pair<std::string, uint32_t>> keys;
    for (size_t i = 0; i < rows.size(); ++i) {
      const auto &[name, amount] = rows[i];
      if (tag.expression == std::string("AMOUNT")) {
        if (amount > 0) keys.emplace_back(CdxNumberKey(amount), i + 1);
      } else {
        keys.emplace_back(tag.order == 7 ? CdxGeneralKey(name, true, 24) : name, i + 1);
      }
    }
    const bool descending = tag.order == 1;
    std::stable_sort(keys.begin(), keys.end(), [&](const auto &a, const auto &b) {
      const int c = CompareKeys(a.first, b.first);
      if (c != 0) return descending ? c > 0 : c < 0;
      return a.second < b.second;
    });
    std::vector<uint32_t> order;
    for (size_t i = 0; i < keys.size(); ++i) {
      if (tag.unique == 0 && i > 0 && CompareKeys(keys[i - 1].first, keys[i].first) == 0) {
        order.back() = std::min(order.back(), keys[i].second);
        continue;
      }
      order.push_back(keys[i].second);
    }
    return order;
  };
  // After upkeep a unique tag no longer holds each key's lowest record (a
  // rewritten record takes its key away), so it is compared once built.
  auto check = [&](const char *when, bool built) {
    SCOPED_TRACE(when);
    for (const auto &tag : tags) {
      SCOPED_TRACE(tag.tag);
      if (!built && tag.unique == 0) continue;
      t.SetTag(tag.tag);
      const std::vector<uint32_t> order = expected(tag);
      ASSERT_EQ(Walk(t), order);
      const IndexVerifyReport report = VerifyCdxTag(t, CurrentCdxTag(t));
      EXPECT_TRUE(report.problems.empty()) << report.problems.front();
      if (tag.order == 0) {
        // A seek finds the first record of equal keys.
        for (size_t i = 0; i < order.size(); i += 37) {
          const std::string &name = rows[order[i] - 1].first;
          const uint32_t first = *std::find_if(
              order.begin(), order.end(), [&](uint32_t r) { return rows[r - 1].first == name; });
          EXPECT_EQ(t.FindInTag(tag.tag, name), first) << name;
        }
      }
    }
  };
  for (const auto &tag : tags) {
    t.IndexOn("m.cdx", tag.tag, tag.expression, tag.condition, tag.unique, tag.order);
  }
  t.IndexOpen("m.cdx", "NAMES");
  check("built", true);
  for (int step = 0; step < 300; ++step) {
    const auto row = random_row();
    if (step % 3 == 0) {
      const auto r = static_cast<uint32_t>(random() % rows.size() + 1);
      t.GoToRecord(r);
      put(row);
      t.WriteRecord(r);
      rows[r - 1] = row;
    } else {
      t.BlankRecord();
      put(row);
      t.AppendRecord();
      rows.push_back(row);
    }
  }
  check("after appends and rewrites", false);
}

}  // namespace
}  // namespace xb
