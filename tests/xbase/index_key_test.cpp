// Key order, search matching and NTX key bytes.
#include <gtest/gtest.h>

#include "xbase/index/index_key.h"
#include "xbase/index/ntx_key.h"

namespace xb {
namespace {

TEST(IndexKey, ComparesBytesUnsignedWithBlankPadding) {
  struct Case {
    const char *a, *b;
    int sign;
  } const kCases[] = {
      {"AB", "AB  ", 0}, {"AB", "AB\x01", 1}, {"AB", "ABC", -1},
      {"\xE0", "z", 1},  {"", "  ", 0},       {"A", "", 1},
  };
  for (const Case &c : kCases) {
    SCOPED_TRACE(std::string(c.a) + " vs " + c.b);
    const int r = CompareKeys(c.a, c.b);
    EXPECT_EQ((r > 0) - (r < 0), c.sign);
    const int back = CompareKeys(c.b, c.a);
    EXPECT_EQ((back > 0) - (back < 0), -c.sign);
  }
}

TEST(IndexKey, MatchesPrefixOnlyWithoutExact) {
  const std::string stored = "1234567890   101  ";
  EXPECT_TRUE(KeyMatches(stored, "1234567890   101", true));  // trailing blanks only
  EXPECT_TRUE(KeyMatches(stored, stored + "  ", true));
  EXPECT_FALSE(KeyMatches(stored, "12345", true));
  EXPECT_TRUE(KeyMatches(stored, "12345", false));
  EXPECT_FALSE(KeyMatches(stored, "12346", false));
}

TEST(NtxKey, NumbersSortNegativesBelowPositives) {
  EXPECT_EQ(NtxNumericKey(-5, 4, 0), ",,,'");
  EXPECT_EQ(NtxNumericKey(0, 4, 0), "0000");
  EXPECT_EQ(NtxNumericKey(12.5, 8, 2), "00012.50");
  EXPECT_EQ(NtxNumericKey(-0.0, 4, 0), "0000");
  EXPECT_EQ(NtxNumericKey(123456, 4, 0), "****");
  const double values[] = {-120, -9, -5, -0.5, 0, 0.25, 3, 44};
  for (size_t i = 1; i < std::size(values); ++i) {
    SCOPED_TRACE(values[i]);
    EXPECT_LT(CompareKeys(NtxNumericKey(values[i - 1], 8, 2), NtxNumericKey(values[i], 8, 2)), 0);
  }
}

TEST(NtxKey, DatesAndCharacters) {
  EXPECT_EQ(NtxDateKey(2444240), "19800101");
  EXPECT_EQ(NtxDateKey(2451605), "20000301");
  EXPECT_EQ(NtxDateKey(0), "00000000");
  EXPECT_EQ(NtxDateKey(1e100), "00000000");
  EXPECT_EQ(NtxCharacterKey("ab  ", true, false, 10), "ab");
  EXPECT_EQ(NtxCharacterKey("ab  ", false, false, 10), "ab  ");
  EXPECT_EQ(NtxCharacterKey("\xE0\xE1z", true, true, 10), "\xC0\xC1Z");  // абz
  EXPECT_EQ(NtxCharacterKey("abcdef", true, false, 4), "abcd");
}

}  // namespace
}  // namespace xb
