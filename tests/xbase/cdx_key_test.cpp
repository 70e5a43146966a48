// CDX keys: number and date bytes follow numeric order, negatives included;
// general ordering sorts Latin and Cyrillic letters alphabetically without
// regard to case, and its search keys ignore case.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "xbase/index/cdx_collation.h"
#include "xbase/index/cdx_key.h"
#include "xbase/index/index_key.h"

namespace xb {
namespace {

TEST(CdxKey, NumberKeysSortLikeTheirValues) {
  const double values[] = {-1e300, -2.5, -1.0000000000000002, -1.0, -0.5, 0.0,
                           0.5,    1.0,  1.0000000000000002,  2.5,  1e300};
  for (size_t i = 0; i + 1 < std::size(values); ++i) {
    EXPECT_LT(CdxNumberKey(values[i]), CdxNumberKey(values[i + 1]))
        << values[i] << " " << values[i + 1];
  }
  EXPECT_EQ(CdxNumberKey(0.0), std::string("\x80\0\0\0\0\0\0\0", 8));
  EXPECT_EQ(CdxNumberKey(-0.0), CdxNumberKey(0.0));
  EXPECT_EQ(CdxNumberKey(1.0), std::string("\xBF\xF0\0\0\0\0\0\0", 8));
  EXPECT_EQ(CdxNumberKey(-1.0), std::string("\x40\x0F\xFF\xFF\xFF\xFF\xFF\xFF", 8));
  EXPECT_LT(CdxDateKey(2444240), CdxDateKey(2444241));
  EXPECT_EQ(CdxDateKey(-5), CdxNumberKey(0));
}

TEST(CdxKey, MachineKeysKeepBytesAndTrimOnlyEntries) {
  EXPECT_EQ(CdxMachineKey("Abc  ", true, 10), "Abc");
  EXPECT_EQ(CdxMachineKey("Abc  ", false, 10), "Abc  ");
  EXPECT_EQ(CdxMachineKey("Abcdef", true, 4), "Abcd");
}

// Entry keys of a 6-character text (key length 12) in the expected order.
TEST(CdxKey, GeneralOrderIsAlphabeticalWithoutCase) {
  const std::vector<std::string> ordered = {
      "",         "  x",          "1",     "9a",   "a",        "AB",
      "ab",       "abc",          "Zebra", "\xC0", "\xE0\xE1",  // А, аб
      "\xC5",     "\xE5",                                       // Е, е
      "\xA8",     "\xB8",                                       // Ё, ё after е
      "\xC6",                                                   // Ж
      "\xC8",     "\xB2",                                       // И, І
      "\xD7",     "\xF7",                                       // Ч, ч
      "\xDF\xDF", "\xFF\xFF\xFF",                               // ЯЯ, яяя
  };
  std::vector<std::string> keys;
  for (const std::string &text : ordered) keys.push_back(CdxGeneralKey(text, true, 12));
  for (size_t i = 0; i + 1 < keys.size(); ++i) {
    EXPECT_LT(CompareKeys(keys[i], keys[i + 1]), 0) << i << ": " << ordered[i];
  }
  // Primary weights fill the first half, secondary weights only where a
  // small letter stands; a key of capitals has none.
  EXPECT_EQ(CdxGeneralKey("AB", true, 12).size(), 2u);
  EXPECT_EQ(CdxGeneralKey("aB", true, 12).size(), 7u);
  EXPECT_EQ(static_cast<unsigned char>(CdxGeneralKey("aB", true, 12)[6]), 0xF1);
}

TEST(CdxKey, GeneralSearchKeysIgnoreCase) {
  const std::string search = CdxGeneralKey("\xEC\xE0", false, 20);  // "ма"
  for (const char *stored : {"\xCC\xC0\xD0\xCA\xC0", "\xEC\xE0\xF0\xEA\xE0", "\xCC\xE0"}) {
    const std::string key = CdxGeneralKey(stored, true, 20);
    EXPECT_TRUE(KeyMatches(key.substr(0, 10), search, false)) << stored;
  }
  EXPECT_FALSE(KeyMatches(CdxGeneralKey("\xCC\xC0\xD0", true, 20).substr(0, 10), search, true));
  EXPECT_TRUE(KeyMatches(CdxGeneralKey("\xCC\xE0", true, 20).substr(0, 10), search, true));
}

TEST(CdxCollation, WeightsStayBelowTheSecondaryRange) {
  const CdxCollationTable &t = CdxGeneralCollation();
  for (int c = 0; c < 256; ++c) {
    EXPECT_GE(t.primary[c], 0x10) << c;
    EXPECT_LT(t.primary[c], 0xF0) << c;
  }
  EXPECT_EQ(t.primary[' '], 0x20);
  EXPECT_EQ(t.primary['q'], t.primary['Q']);
  EXPECT_EQ(t.secondary['q'], 1);
  EXPECT_EQ(t.secondary['Q'], 0);
}

}  // namespace
}  // namespace xb
