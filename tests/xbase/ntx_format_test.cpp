// NTX header and page codec: exact bytes, round trips, and headers that must
// be refused.
#include <gtest/gtest.h>

#include "xbase/file/byte_helpers.h"
#include "xbase/index/ntx_format.h"

namespace xb {
namespace {

NtxHeader DvelHeader() {
  NtxHeader h;
  h.root = 1024;
  h.key_length = 18;
  h.max_entries = NtxMaxEntries(18);
  h.key_expression = "f04+f10";
  return h;
}

TEST(NtxFormat, HeaderBytesAndRoundTrip) {
  NtxHeader h = DvelHeader();
  std::string b = EncodeNtxHeader(h);
  ASSERT_EQ(b.size(), 1024u);
  EXPECT_EQ(GetLE16(&b[0]), 6);
  EXPECT_EQ(GetLE16(&b[2]), 1);
  EXPECT_EQ(GetLE32(&b[4]), 1024u);
  EXPECT_EQ(GetLE32(&b[8]), 0u);
  EXPECT_EQ(GetLE16(&b[12]), 26);
  EXPECT_EQ(GetLE16(&b[14]), 18);
  EXPECT_EQ(GetLE16(&b[18]), 34);
  EXPECT_EQ(GetLE16(&b[20]), 1);
  EXPECT_EQ(b.substr(22, 8), std::string("f04+f10\0", 8));
  EXPECT_EQ(b.find_first_not_of('\0', 30), std::string::npos);

  h.for_expression = "F09 > \"0\"";
  h.unique = true;
  h.descending = true;
  h.update_counter = 77;
  b = EncodeNtxHeader(h);
  EXPECT_EQ(GetLE16(&b[0]), 7);
  EXPECT_EQ(b[278], 1);
  EXPECT_EQ(b[279], 1);
  const NtxHeader back = DecodeNtxHeader(b, "x.ntx");
  EXPECT_EQ(back.for_expression, h.for_expression);
  EXPECT_EQ(back.key_expression, h.key_expression);
  EXPECT_TRUE(back.unique);
  EXPECT_TRUE(back.descending);
  EXPECT_EQ(back.update_counter, 77);
  EXPECT_EQ(back.max_entries, 34);
}

TEST(NtxFormat, RefusesHeadersThatDoNotFitAPage) {
  struct Case {
    const char *what;
    size_t offset;
    uint16_t value;
  } const kCases[] = {
      {"entry size not key length + 8", kNtxOffEntrySize, 30},
      {"max entries zero", kNtxOffMaxEntries, 0},
      {"max entries beyond the page", kNtxOffMaxEntries, 60},
      {"root inside the header", kNtxOffRoot, 0},
      {"root not on a page boundary", kNtxOffRoot, 1500},
      {"no key expression", kNtxOffKeyExpr, 0},
  };
  for (const Case &c : kCases) {
    SCOPED_TRACE(c.what);
    std::string b = EncodeNtxHeader(DvelHeader());
    PutLE16(&b[c.offset], c.value);
    try {
      DecodeNtxHeader(b, "dvel.ntx");
      FAIL() << "accepted";
    } catch (const std::exception &e) {
      EXPECT_STREQ(e.what(), "Index file dvel.ntx is corrupted");
    }
  }
  EXPECT_THROW(DecodeNtxHeader(std::string(100, '\0'), "short.ntx"), std::exception);
}

TEST(NtxFormat, PagesReadThroughAnyPermutationOfOffsets) {
  NtxPage page;
  page.leaf = false;
  page.entries = {{"AAA", 1, 2048}, {"BBB", 2, 3072}};
  page.rightmost = 4096;
  std::string b = EncodeNtxPage(page, 3, NtxMaxEntries(3));
  const uint16_t max = NtxMaxEntries(3);
  // Swap the offsets of slots 0 and 2 and move the bytes accordingly.
  const uint16_t o0 = GetLE16(&b[2]), o2 = GetLE16(&b[6]);
  std::string s0 = b.substr(o0, 11), s2 = b.substr(o2, 11);
  b.replace(o0, 11, s2);
  b.replace(o2, 11, s0);
  PutLE16(&b[2], o2);
  PutLE16(&b[6], o0);
  const NtxPage back = DecodeNtxPage(b, 3, max, "p.ntx");
  ASSERT_EQ(back.entries.size(), 2u);
  EXPECT_FALSE(back.leaf);
  EXPECT_EQ(back.entries[0].key, "AAA");
  EXPECT_EQ(back.entries[0].child, 2048u);
  EXPECT_EQ(back.entries[1].record, 2u);
  EXPECT_EQ(back.rightmost, 4096u);
  // Written back in natural order.
  EXPECT_EQ(GetLE16(&EncodeNtxPage(back, 3, max)[2]), 2 * max + 4);
}

}  // namespace
}  // namespace xb
