// Byte order, fixed-width numbers, day numbers, the short date format and
// 1251 letter case.
#include "xbase/file/byte_helpers.h"

#include <gtest/gtest.h>

#include "xbase/file/short_date.h"
#include "xbase/file/text_case.h"
#include "xbase/xbase_error.h"

namespace xb {
namespace {

TEST(ByteHelpers, IntegersRoundTripInBothByteOrders) {
  unsigned char b[8] = {};
  PutLE32(b, 0x12345678);
  EXPECT_EQ(b[0], 0x78);
  EXPECT_EQ(b[3], 0x12);
  EXPECT_EQ(GetLE32(b), 0x12345678u);
  PutBE32(b, 0x12345678);
  EXPECT_EQ(b[0], 0x12);
  EXPECT_EQ(GetBE32(b), 0x12345678u);
  PutLE16(b, 0xFFFE);
  EXPECT_EQ(GetLE16(b), 0xFFFE);
  PutBE16(b, 0x0102);
  EXPECT_EQ(b[0], 1);
  EXPECT_EQ(GetBE16(b), 0x0102);
  PutLE64(b, 0x0102030405060708ull);
  EXPECT_EQ(b[7], 1);
  EXPECT_EQ(GetLE64(b), 0x0102030405060708ull);
}

TEST(ByteHelpers, FormatFixedRoundsPadsAndOverflows) {
  struct Case {
    long double value;
    int width, decimals;
    const char *text;
  } const kCases[] = {
      {12345.678L, 8, 2, "12345.68"}, {0, 6, 2, "  0.00"},      {-1.5L, 5, 0, "   -2"},
      {123456.7L, 8, 2, "123456.70"}, {-0.001L, 5, 2, " 0.00"}, {42, 1, 0, "42"},
  };
  for (const Case &c : kCases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(FormatFixed(c.value, c.width, c.decimals), c.text);
  }
}

TEST(ByteHelpers, ParseDecimalAcceptsNumbersOnly) {
  EXPECT_EQ(ParseDecimal("  -12.50 "), -12.5L);
  EXPECT_EQ(ParseDecimal("+3"), 3.0L);
  EXPECT_EQ(ParseDecimal("1E3"), 1000.0L);
  for (const char *bad : {"", "   ", "12,5", "abc", "inf", "nan", "1.2.3", "0x10", "- 1"}) {
    SCOPED_TRACE(bad);
    EXPECT_FALSE(ParseDecimal(bad).has_value());
  }
}

TEST(ByteHelpers, JulianDayNumbersMatchTheCalendar) {
  EXPECT_EQ(JulianFromDate(1980, 1, 1), kJulian1980);
  EXPECT_EQ(JulianFromDate(1899, 12, 30), kJulianDayZero);
  EXPECT_EQ(JulianToDtos(JulianFromDate(2024, 2, 29)), "20240229");
  EXPECT_EQ(JulianToDtos(0), "        ");
  for (int32_t j = JulianFromDate(1899, 1, 1); j < JulianFromDate(2101, 1, 1); j += 7) {
    const CalendarDate d = DateFromJulian(j);
    ASSERT_TRUE(IsValidDate(d.year, d.month, d.day)) << j;
    ASSERT_EQ(JulianFromDate(d.year, d.month, d.day), j);
  }
  EXPECT_FALSE(IsValidDate(2019, 2, 29));
  EXPECT_TRUE(IsValidDate(2000, 2, 29));
  EXPECT_FALSE(IsValidDate(1900, 2, 29));
}

// Day numbers read from damaged files can be anything: converting them must
// not overflow, and a date with no "yyyymmdd" form is written as the empty
// date rather than as a text of another length.
TEST(ByteHelpers, ExtremeDayNumbersConvertWithoutOverflow) {
  const struct {
    int32_t julian;
    CalendarDate date;
    const char *dtos;
    const char *shown;
  } kCases[] = {
      {INT32_MAX, {5874898, 6, 3}, "        ", "03.06.5874898"},
      {5373485, {10000, 1, 1}, "        ", "01.01.10000"},
      {5373484, {9999, 12, 31}, "99991231", "31.12.9999"},
      {1721426, {1, 1, 1}, "00010101", "01.01.0001"},
      {1721425, {0, 12, 31}, "        ", "31.12.0000"},
  };
  for (const auto &c : kCases) {
    SCOPED_TRACE(c.julian);
    const CalendarDate d = DateFromJulian(c.julian);
    EXPECT_EQ(d.year, c.date.year);
    EXPECT_EQ(d.month, c.date.month);
    EXPECT_EQ(d.day, c.date.day);
    EXPECT_EQ(JulianFromDate(d.year, d.month, d.day), c.julian);
    EXPECT_EQ(JulianToDtos(c.julian), c.dtos);
    EXPECT_EQ(JulianToShortDate(c.julian), c.shown);
  }
  for (int32_t empty : {0, -1, INT32_MIN}) {
    EXPECT_EQ(JulianToDtos(empty), "        ");
    EXPECT_EQ(JulianToShortDate(empty), "");
  }
}

TEST(ShortDate, ShowsAndReadsThePatternsOrder) {
  const std::string saved = ShortDateFormat();
  EXPECT_EQ(JulianToShortDate(JulianFromDate(2019, 3, 7)), "07.03.2019");
  EXPECT_EQ(ShortDateToJulian("7.3.2019"), JulianFromDate(2019, 3, 7));
  EXPECT_EQ(ShortDateToJulian("07.03.19"), JulianFromDate(2019, 3, 7));
  EXPECT_FALSE(ShortDateToJulian("31.02.2019").has_value());
  EXPECT_FALSE(ShortDateToJulian("tomorrow").has_value());
  EXPECT_EQ(JulianToShortDate(0), "");
  SetShortDateFormat("M/d/yy");
  EXPECT_EQ(JulianToShortDate(JulianFromDate(2019, 3, 7)), "3/7/2019");
  EXPECT_EQ(ShortDateToJulian("12/31/1999"), JulianFromDate(1999, 12, 31));
  SetShortDateFormat(saved);
}

TEST(TextCase, CyrillicAndLatinChangeCaseOtherBytesStay) {
  // "абв ёя" and "АБВ ЁЯ" in 1251, with digits and punctuation around.
  EXPECT_EQ(UpperCp1251("ab1-\xE0\xE1\xE2 \xB8\xFF"), "AB1-\xC0\xC1\xC2 \xA8\xDF");
  EXPECT_EQ(LowerCp1251("AB1-\xC0\xC1\xC2 \xA8\xDF"), "ab1-\xE0\xE1\xE2 \xB8\xFF");
  EXPECT_EQ(UpperCp1251("\xAB\xBB\xB9"), "\xAB\xBB\xB9");  // quotes and No. sign
}

TEST(XbaseError, MessagesFillPlaceholdersInOrder) {
  EXPECT_EQ(
      FormatMessage("Error %d in Read of file %s at block %d", {"5", "/t/a.dbf", "4294967296"}),
      "Error 5 in Read of file /t/a.dbf at block 4294967296");
  EXPECT_EQ(FormatMessage("100%% of %s", {"x"}), "100% of x");
  try {
    RaiseEncryption("No Password for encrypted file %s", {"a.dbf"});
    FAIL();
  } catch (const EXbaseError &e) {
    EXPECT_STREQ(e.what(), "No Password for encrypted file a.dbf");
    EXPECT_NE(dynamic_cast<const EXbaseEncryption *>(&e), nullptr);
  }
}

}  // namespace
}  // namespace xb
