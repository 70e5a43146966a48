// Building CDX tags: the written tree read back node by node (order, full
// leaves, branch entries naming their child's last key, sibling links on
// every level), and compound files gaining and replacing tags.
#include "xbase/cdx_build.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "memory_page_store.h"
#include "table_fixture.h"
#include "xbase/byte_helpers.h"
#include "xbase/cdx_key.h"

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

std::vector<Model> Sorted(std::vector<Model> keys, bool descending, bool unique) {
  std::stable_sort(keys.begin(), keys.end(), [&](const Model &a, const Model &b) {
    if (a.key != b.key) return descending ? a.key > b.key : a.key < b.key;
    return a.record < b.record;
  });
  if (unique) {
    keys.erase(std::unique(keys.begin(), keys.end(),
                           [](const Model &a, const Model &b) { return a.key == b.key; }),
               keys.end());
  }
  return keys;
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

// A compound file read back through the codec: its directory header, its
// tags in directory order, and each tag's header and leaf entries.
struct CompoundFile {
  CdxTagHeader directory;
  std::vector<CdxDirectoryEntry> tags;
  MemoryPageStore store{0};

  explicit CompoundFile(const std::string &path) {
    store.bytes() = ReadFileBytes(path);
    directory = DecodeCdxTagHeader(store.bytes(), store.bytes().size(), "t.cdx");
    tags = ReadCdxDirectory(store, directory, store.bytes().size(), "t.cdx");
  }
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (const CdxDirectoryEntry &e : tags) names.push_back(e.name);
    return names;
  }
  CdxTagHeader Header(const std::string &name) {
    for (const CdxDirectoryEntry &e : tags) {
      if (e.name == name) {
        return DecodeCdxTagHeader(store.ReadPage(e.header, kCdxTagHeaderSize), store.bytes().size(),
                                  "t.cdx");
      }
    }
    ADD_FAILURE() << "no tag " << name;
    return CdxTagHeader();
  }
  std::vector<XBobjIndexKeyData> Entries(const std::string &name, char pad) {
    const CdxTagHeader h = Header(name);
    return ReadCdxLeaves(store, h.root, CdxKeyForm{h.key_length, pad, false}, store.bytes().size(),
                         "t.cdx");
  }
};

std::vector<std::pair<std::string, uint32_t>> Pairs(const std::vector<XBobjIndexKeyData> &v) {
  std::vector<std::pair<std::string, uint32_t>> pairs;
  for (const XBobjIndexKeyData &e : v) pairs.emplace_back(e.key, e.record);
  return pairs;
}

class CdxIndexOnTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CreateDbfTable(table_path_, TxbDBFTypes::Clipper, testing::TypedFields());
    table_ = std::make_unique<XBO_dBHandler>(table_path_, true, true);
    for (const auto &[name, amount] : std::vector<std::pair<std::string, std::string>>{
             {"ABC", "12.50"}, {"B", "-3.00"}, {"AB", "0.00"}, {"abc", "7.25"}, {"B", "12.50"}}) {
      testing::AppendValues(*table_, {name, amount});
    }
  }

  TempDir dir_;
  std::string table_path_ = dir_.File("t.dbf");
  std::string cdx_ = dir_.File("t.cdx");
  std::unique_ptr<XBO_dBHandler> table_;
};

TEST_F(CdxIndexOnTest, AddsAndReplacesTagsKeepingTheDirectorySorted) {
  table_->IndexOn("t.cdx", "names", "NAME", "", 1, 0);
  {
    CompoundFile f(cdx_);
    EXPECT_EQ(f.directory.update_counter, 1u);
    EXPECT_EQ(f.Names(), std::vector<std::string>{"NAMES"});
    const CdxTagHeader h = f.Header("NAMES");
    EXPECT_EQ(h.key_length, 5);
    EXPECT_EQ(h.key_expression, "NAME");
    EXPECT_EQ(h.collation, CdxCollation::kMachine);
    EXPECT_FALSE(h.unique || h.descending);
    // Equal keys in record order.
    EXPECT_EQ(Pairs(f.Entries("NAMES", ' ')),
              (std::vector<std::pair<std::string, uint32_t>>{
                  {"AB", 3}, {"ABC", 1}, {"B", 2}, {"B", 5}, {"abc", 4}}));
  }

  table_->IndexOn("t.cdx", "Amount", "AMOUNT", "AMOUNT > 0", 0, 1);
  {
    CompoundFile f(cdx_);
    EXPECT_EQ(f.directory.update_counter, 2u);
    EXPECT_EQ(f.Names(), (std::vector<std::string>{"AMOUNT", "NAMES"}));
    const CdxTagHeader h = f.Header("AMOUNT");
    EXPECT_EQ(h.key_length, 8);
    EXPECT_EQ(h.for_expression, "AMOUNT > 0");
    EXPECT_TRUE(h.unique && h.descending);
    // Unique keeps the first record of 12.50; the FOR condition drops the
    // others.
    EXPECT_EQ(Pairs(f.Entries("AMOUNT", '\0')),
              (std::vector<std::pair<std::string, uint32_t>>{
                  {Strip(CdxNumberKey(12.5), '\0'), 1}, {Strip(CdxNumberKey(7.25), '\0'), 4}}));
  }

  // Same name in other letters: replaced, not added.
  table_->IndexOn("t.cdx", "NaMeS", "UPPER(NAME)", "", 1, 0);
  CompoundFile f(cdx_);
  EXPECT_EQ(f.directory.update_counter, 3u);
  EXPECT_EQ(f.Names(), (std::vector<std::string>{"AMOUNT", "NAMES"}));
  EXPECT_EQ(f.Header("NAMES").key_expression, "UPPER(NAME)");
  EXPECT_EQ(Pairs(f.Entries("NAMES", ' ')),
            (std::vector<std::pair<std::string, uint32_t>>{
                {"AB", 3}, {"ABC", 1}, {"ABC", 4}, {"B", 2}, {"B", 5}}));
  EXPECT_EQ(f.Entries("AMOUNT", '\0').size(), 2u);
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
  // Directory header, tag header, the tag's root leaf, the directory's leaf.
  ASSERT_EQ(b.size(), 3072u);
  EXPECT_EQ(GetLE32(&b[0]), 2560u);
  EXPECT_EQ(b.substr(8, 4), std::string("\0\0\0\1", 4));
  EXPECT_EQ(static_cast<uint8_t>(b[14]), 0xE0);
  EXPECT_EQ(GetLE32(&b[1024]), 2048u);
  EXPECT_EQ(GetLE16(&b[1024 + 12]), 5);
  EXPECT_EQ(static_cast<uint8_t>(b[1024 + 14]), 0x60);
  EXPECT_EQ(b.substr(1024 + 494, 8), std::string("MACHINE\0", 8));
  EXPECT_EQ(b.substr(1024 + 512, 5), std::string("NAME\0", 5));
  const std::string leaf = b.substr(2048, 512);
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

TEST_F(CdxIndexOnTest, ShortFilesStartAfreshAndDamagedOnesAreRefused) {
  table_->IndexOn("t.cdx", "names", "NAME", "", 1, 0);
  // 512 bytes or less: no directory to keep.
  testing_support::WriteFileBytes(cdx_, std::string(512, '\x55'));
  table_->IndexOn("t.cdx", "other", "NAME", "", 1, 0);
  CompoundFile f(cdx_);
  EXPECT_EQ(f.Names(), std::vector<std::string>{"OTHER"});
  EXPECT_EQ(f.tags[0].header, 1024u);

  const struct {
    const char *name;
    size_t offset;
    std::string bytes;
  } damages[] = {
      {"directory root outside the file", 0, std::string("\0\x10\0\0", 4)},
      {"directory header cut short", 600, ""},
      {"directory leaf count beyond the node", 2560 + 2, std::string("\xFF\x00", 2)},
      {"directory leaf linking to itself", 2560 + 8, std::string("\x00\x0A\x00\x00", 4)},
  };
  for (const auto &d : damages) {
    SCOPED_TRACE(d.name);
    table_->IndexOn("t.cdx", "names", "NAME", "", 1, 0);
    std::string bytes = ReadFileBytes(cdx_);
    if (d.bytes.empty()) {
      bytes.resize(d.offset);
    } else {
      bytes.replace(d.offset, d.bytes.size(), d.bytes);
    }
    testing_support::WriteFileBytes(cdx_, bytes);
    EXPECT_EQ(testing::ErrorOf([&] { table_->IndexOn("t.cdx", "more", "NAME", "", 1, 0); }),
              "Index file t.cdx is corrupted");
    EXPECT_EQ(ReadFileBytes(cdx_), bytes);
    std::remove(cdx_.c_str());
  }
  EXPECT_EQ(testing::ErrorOf([&] { table_->IndexOn("t.cdx", "  ", "NAME", "", 1, 0); }),
            "Cannot find index tag   ");
}

}  // namespace
}  // namespace xb
