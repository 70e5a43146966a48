// CDX tag header and node codec: exact leaf bytes for a hand-built entry,
// round trips of every node type, and files that must be refused.
#include <gtest/gtest.h>

#include <cstring>

#include "xbase/file/byte_helpers.h"
#include "xbase/index/cdx_format.h"
#include "xbase/xbase_error.h"

namespace xb {
namespace {

const CdxKeyForm kText10{10, ' ', false};
constexpr uint64_t kBigFile = 1u << 20;

void ExpectCorrupted(const std::string &bytes, const CdxKeyForm &form) {
  try {
    DecodeCdxNode(bytes, form, kBigFile, "x.cdx");
    FAIL() << "decoded a corrupted node";
  } catch (const EXbaseError &e) {
    EXPECT_STREQ(e.what(), "Index file x.cdx is corrupted");
  }
}

TEST(CdxFormat, TagHeaderBytesAndRoundTrip) {
  CdxTagHeader h;
  h.root = 1536;
  h.update_counter = 0x01020304;
  h.key_length = 20;
  h.unique = true;
  h.descending = true;
  h.collation = CdxCollation::kGeneral;
  h.key_expression = "UPPER(NAME)";
  h.for_expression = "!DELETED()";
  const std::string b = EncodeCdxTagHeader(h);
  ASSERT_EQ(b.size(), 1024u);
  EXPECT_EQ(GetLE32(&b[0]), 1536u);
  EXPECT_EQ(b.substr(8, 4), std::string("\1\2\3\4", 4));
  EXPECT_EQ(GetLE16(&b[12]), 20);
  EXPECT_EQ(static_cast<uint8_t>(b[14]), 0x60 | 0x01 | 0x08);
  EXPECT_EQ(b[15], 2);
  EXPECT_EQ(b.substr(494, 8), std::string("GENERAL\0", 8));
  EXPECT_EQ(GetLE16(&b[504]), 12);
  EXPECT_EQ(GetLE16(&b[506]), 11);
  EXPECT_EQ(GetLE16(&b[510]), 12);
  EXPECT_EQ(b.substr(512, 23), std::string("UPPER(NAME)\0!DELETED()\0", 23));

  const CdxTagHeader back = DecodeCdxTagHeader(b, 2048, "x.cdx");
  EXPECT_EQ(back.root, 1536u);
  EXPECT_EQ(back.update_counter, 0x01020304u);
  EXPECT_EQ(back.key_length, 20);
  EXPECT_TRUE(back.unique && back.descending && !back.directory);
  EXPECT_EQ(back.collation, CdxCollation::kGeneral);
  EXPECT_EQ(back.key_expression, "UPPER(NAME)");
  EXPECT_EQ(back.for_expression, "!DELETED()");

  const std::string dir = EncodeCdxTagHeader(NewCdxDirectoryHeader(1024));
  EXPECT_EQ(static_cast<uint8_t>(dir[14]), 0xE0);
  const CdxTagHeader dback = DecodeCdxTagHeader(dir, 1536, "x.cdx");
  EXPECT_TRUE(dback.directory);
  EXPECT_EQ(dback.key_length, 10);
  EXPECT_EQ(dback.collation, CdxCollation::kMachine);
}

TEST(CdxFormat, InvalidTagHeadersAreCorrupted) {
  CdxTagHeader good;
  good.root = 1024;
  good.key_length = 10;
  good.key_expression = "NAME";
  struct Case {
    const char *what;
    uint32_t root;
    uint16_t key_length;
    const char *expression;
    uint64_t file_size;
  } cases[] = {
      {"root zero", 0, 10, "NAME", 4096},
      {"root not a node position", 1000, 10, "NAME", 4096},
      {"root past the end", 4096, 10, "NAME", 4096},
      {"root none", 0xFFFFFFFF, 10, "NAME", 4096},
      {"key too long", 1024, 241, "NAME", 4096},
      {"key length zero", 1024, 0, "NAME", 4096},
      {"no key expression", 1024, 10, "", 4096},
  };
  EXPECT_NO_THROW(DecodeCdxTagHeader(EncodeCdxTagHeader(good), 4096, "x.cdx"));
  for (const Case &c : cases) {
    CdxTagHeader h = good;
    h.root = c.root;
    h.key_length = c.key_length;
    h.key_expression = c.expression;
    EXPECT_THROW(DecodeCdxTagHeader(EncodeCdxTagHeader(h), c.file_size, "x.cdx"), EXbaseError)
        << c.what;
  }
  EXPECT_THROW(DecodeCdxTagHeader(std::string(100, '\0'), 4096, "x.cdx"), EXbaseError);
}

// A leaf built by hand: 3-byte entries, 4 bits per count, 16 record bits.
std::string HandLeaf() {
  std::string b(512, '\0');
  PutLE16(&b[0], 3);  // root and leaf
  PutLE16(&b[2], 2);
  PutLE32(&b[4], 0xFFFFFFFF);
  PutLE32(&b[8], 0xFFFFFFFF);
  PutLE32(&b[14], 0xFFFF);
  b[18] = 0x0F;
  b[19] = 0x0F;
  b[20] = 16;
  b[21] = 4;
  b[22] = 4;
  b[23] = 3;
  // Entry 0: record 7, d 0, t 4: "ABCDEF" is 6 new bytes.
  PutLE16(&b[24], 7);
  b[26] = static_cast<char>((4 << 4) | 0);
  // Entry 1: record 0x1234, d 3, t 2: 5 new bytes "XYZWV".
  PutLE16(&b[27], 0x1234);
  b[29] = static_cast<char>((2 << 4) | 3);
  std::memcpy(&b[24 + 488 - 6], "ABCDEF", 6);
  std::memcpy(&b[24 + 488 - 11], "XYZWV", 5);
  PutLE16(&b[12], static_cast<uint16_t>(488 - 11 - 6));
  return b;
}

TEST(CdxFormat, LeafEntryWithDuplicateAndTrailingCounts) {
  const CdxNode n = DecodeCdxNode(HandLeaf(), kText10, kBigFile, "x.cdx");
  EXPECT_TRUE(n.root && n.leaf);
  EXPECT_EQ(n.left, kCdxNoSibling);
  ASSERT_EQ(n.entries.size(), 2u);
  EXPECT_EQ(n.entries[0].key, "ABCDEF");
  EXPECT_EQ(n.entries[0].record, 7u);
  EXPECT_EQ(n.entries[1].key, "ABCXYZWV");  // 3 kept, 5 new, 2 blanks dropped
  EXPECT_EQ(n.entries[1].record, 0x1234u);
  // The encoder makes the same bytes.
  EXPECT_EQ(EncodeCdxNode(n, kText10, 0x1234), HandLeaf());
}

TEST(CdxFormat, LeafRoundTripsAcrossEntryWidths) {
  const CdxKeyForm number{8, '\0', false};
  for (uint64_t limit :
       {uint64_t{100}, uint64_t{70000}, uint64_t{20000000}, uint64_t{4000000000}}) {
    CdxNode n;
    n.right = 4096;
    for (uint32_t i = 0; i < 30; ++i) {
      std::string key = "\xC0\x10" + std::string(1, static_cast<char>(i / 3 + 1));
      n.entries.push_back({key, static_cast<uint32_t>((limit - 1 - i) & 0xFFFFFFFF), 0});
    }
    n.entries.push_back({std::string(8, '\xFF'), 1, 0});
    n.entries.push_back({std::string(), 2, 0});
    const std::string b = EncodeCdxNode(n, number, limit);
    const CdxNode back = DecodeCdxNode(b, number, kBigFile, "x.cdx");
    ASSERT_EQ(back.entries.size(), n.entries.size()) << limit;
    for (size_t i = 0; i < n.entries.size(); ++i) {
      EXPECT_EQ(back.entries[i].key, n.entries[i].key) << limit << " " << i;
      EXPECT_EQ(back.entries[i].record, n.entries[i].record) << limit << " " << i;
    }
    EXPECT_EQ(back.right, 4096u);
  }
  // Key length 10: 4 bits per count, the rest for the record number.
  EXPECT_EQ(CdxLeafEntryWidth(10, 0), 2);
  EXPECT_EQ(CdxLeafEntryWidth(10, 255), 2);
  EXPECT_EQ(CdxLeafEntryWidth(10, 256), 3);
  EXPECT_EQ(CdxLeafEntryWidth(10, 65536), 4);
  EXPECT_EQ(CdxLeafEntryWidth(240, 1), 3);  // 16 count bits leave none in 2 bytes
}

TEST(CdxFormat, FullLeafIsRefusedByTheEncoder) {
  CdxNode n;
  for (uint32_t i = 0; i < 45; ++i) {
    n.entries.push_back(
        {std::string(10, static_cast<char>('A' + i)), i, 0});  // 12 or 13 bytes each
  }
  EXPECT_FALSE(CdxLeafFits(n.entries, kText10, 3));
  EXPECT_THROW(EncodeCdxNode(n, kText10, 100), std::length_error);
}

TEST(CdxFormat, BranchRoundTripAndLimits) {
  CdxNode n;
  n.leaf = false;
  n.root = true;
  n.left = 2048;
  n.entries = {{"ALPHA", 3, 1024}, {"BETA", 9, 1536}};
  const std::string b = EncodeCdxNode(n, kText10, 0);
  EXPECT_EQ(b.substr(12, 10), "ALPHA     ");
  EXPECT_EQ(GetBE32(&b[22]), 3u);
  EXPECT_EQ(GetBE32(&b[26]), 1024u);
  const CdxNode back = DecodeCdxNode(b, kText10, kBigFile, "x.cdx");
  EXPECT_FALSE(back.leaf);
  ASSERT_EQ(back.entries.size(), 2u);
  EXPECT_EQ(back.entries[1].key, "BETA");
  EXPECT_EQ(back.entries[1].record, 9u);
  EXPECT_EQ(back.entries[1].child, 1536u);
  EXPECT_EQ(CdxBranchCapacity(10), 27u);
}

TEST(CdxFormat, CorruptedNodesAreRefused) {
  struct Case {
    const char *what;
    size_t at;
    std::string bytes;
  };
  const std::vector<Case> leaf_cases = {
      {"key count beyond the node", kCdxNodeOffCount, std::string("\xFF\x00", 2)},
      {"left sibling not a node", kCdxNodeOffLeft, std::string("\x01\x02\x00\x00", 4)},
      {"right sibling past the file", kCdxNodeOffRight, std::string("\x00\x00\x00\x10", 4)},
      {"entry width 1", kCdxLeafOffEntryWidth, std::string("\x01", 1)},
      {"entry width too wide", kCdxLeafOffEntryWidth, std::string("\x09", 1)},
      {"count bits beyond two bytes", kCdxLeafOffDuplicateBits, std::string("\x09\x09", 2)},
      {"bits beyond the entry", kCdxLeafOffRecordBits, std::string("\x20", 1)},
      // The counts sit in the top byte of each 3-byte entry of HandLeaf.
      {"first entry copies from no key", kCdxLeafOffEntries + 2, std::string("\x41", 1)},
      {"counts longer than the key", kCdxLeafOffEntries + 3 + 2, std::string("\xF3", 1)},
  };
  for (const Case &c : leaf_cases) {
    std::string b = HandLeaf();
    b.replace(c.at, c.bytes.size(), c.bytes);
    SCOPED_TRACE(c.what);
    ExpectCorrupted(b, kText10);
  }
  // New key bytes reaching into the entry table.
  CdxNode many;
  for (uint32_t i = 0; i < 40; ++i) many.entries.push_back({std::to_string(1000000 + i), i, 0});
  std::string b = EncodeCdxNode(many, kText10, 100);
  PutLE16(&b[kCdxNodeOffCount], 160);
  ExpectCorrupted(b, kText10);

  CdxNode branch;
  branch.leaf = false;
  branch.entries = {{"A", 1, 1024}};
  std::string bb = EncodeCdxNode(branch, kText10, 0);
  const size_t child = kCdxBranchOffEntries + kText10.key_length + 4;  // behind key and record
  PutBE32(&bb[child], 1000);  // child not at a node position
  ExpectCorrupted(bb, kText10);
  PutBE32(&bb[child], 1024);
  PutLE16(&bb[kCdxNodeOffCount], 28);  // more entries than a branch holds
  ExpectCorrupted(bb, kText10);
  ExpectCorrupted(std::string(511, '\0'), kText10);
}

TEST(CdxFormat, GeneralKeysGetTheirLowTrailingBytesRaised) {
  const CdxKeyForm general{6, ' ', true};
  CdxNode n;
  n.entries = {{std::string("\x41\x42\x01\x02", 4), 1, 0}};
  const CdxNode back = DecodeCdxNode(EncodeCdxNode(n, general, 10), general, kBigFile, "x.cdx");
  EXPECT_EQ(back.entries[0].key, std::string("\x41\x42\xF1\xF2", 4));
}

}  // namespace
}  // namespace xb
