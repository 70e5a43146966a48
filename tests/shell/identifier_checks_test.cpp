// Check digits of ЕГН, ЛНЧ, service number and ЕИК, and the two text tests.
#include "shell/identifier_checks.h"

#include <gtest/gtest.h>

namespace {

enum Kind { kEgn, kLnch, kServiceNo, kEik };

struct Case {
  Kind kind;
  const char *text;
  bool valid;
};

bool Check(Kind kind, const QString &text) {
  switch (kind) {
    case kEgn:
      return shell::CheckEGN(text);
    case kLnch:
      return shell::CheckLNCh(text);
    case kServiceNo:
      return shell::CheckServiceNo(text);
    case kEik:
      return shell::CheckEIK(text);
  }
  return false;
}

const Case kCases[] = {
    // All sums zero.
    {kEgn, "0000000000", true},
    {kLnch, "0000000000", true},
    {kServiceNo, "0000000000", true},
    {kEik, "000000000", true},
    // ЕГН: remainder 10 gives check digit 0; an ordinary number.
    {kEgn, "5000000000", true},
    {kEgn, "5000000001", false},
    {kEgn, "7501020018", true},
    {kEgn, "7501020017", false},
    {kEgn, "750102001", false},
    {kEgn, "75010200180", false},
    // ЛНЧ: check digit is the sum mod 10; wrong lengths.
    {kLnch, "0000000077", true},
    {kLnch, "0000000070", false},
    {kLnch, "000000077", false},
    {kLnch, "00000000770", false},
    // Service number: remainder 1 has no check digit; 2 -> 9, 3 -> 8.
    {kServiceNo, "3000000000", false},
    {kServiceNo, "3000000001", false},
    {kServiceNo, "3000000009", false},
    {kServiceNo, "0010000009", true},
    {kServiceNo, "0010000008", false},
    {kServiceNo, "0100000008", true},
    {kServiceNo, "0100000009", false},
    // A sign in place of the first digit is refused whatever the sum.
    {kEgn, "+000000000", false},
    {kEgn, "-000000000", false},
    {kLnch, "+000000000", false},
    {kServiceNo, "-000000000", false},
    // ЕИК nine digits: second pass on remainder 10; both 10 give 0.
    {kEik, "050000009", true},
    {kEik, "050000000", false},
    {kEik, "028100000", true},
    {kEik, "028100001", false},
    // ЕИК thirteen digits: second part with its own two passes.
    {kEik, "0000000000702", true},
    {kEik, "0000000000703", false},
    {kEik, "0000000000650", true},
    {kEik, "0000000000651", false},
    {kEik, "0000000001000", false},
    {kEik, "0000000001007", true},
    // ЕИК lengths other than 9 and 13; blanks and letters.
    {kEik, "0000000000", false},
    {kEik, "00000000000", false},
    {kEik, "000000000000", false},
    {kEik, "00000000", false},
    {kEik, "", false},
    {kEik, "0000 0000", false},
    {kEik, "00000000A", false},
    {kEik, " 000000000000", false},
    {kEgn, "00000 0000", false},
};

TEST(IdentifierChecks, TableOfCases) {
  for (const Case &c : kCases) {
    SCOPED_TRACE(testing::Message() << "kind " << c.kind << " text '" << c.text << "'");
    EXPECT_EQ(Check(c.kind, QString::fromLatin1(c.text)), c.valid);
  }
}

TEST(IdentifierChecks, CyrillicOrWideDigitsAreNotDigits) {
  // Arabic-Indic and full-width digits are digits to Unicode, not to the checks.
  EXPECT_TRUE(shell::HasNonDigit(QString::fromUtf8("١٢")));
  EXPECT_FALSE(shell::CheckEGN(QString::fromUtf8("０００００００００００")));
  EXPECT_FALSE(shell::CheckEIK(QString::fromUtf8("00000000О")));  // Cyrillic О
}

TEST(IdentifierChecks, HasNonDigit) {
  EXPECT_FALSE(shell::HasNonDigit(""));
  EXPECT_FALSE(shell::HasNonDigit("0123456789"));
  EXPECT_TRUE(shell::HasNonDigit("12 34"));
  EXPECT_TRUE(shell::HasNonDigit("-1"));
  EXPECT_TRUE(shell::HasNonDigit("1.0"));
}

TEST(IdentifierChecks, IsNotNumber) {
  struct NumberCase {
    const char *text;
    bool not_number;
  };
  static const NumberCase kNumbers[] = {
      {"12.5", false},   {"   -1", false}, {"+7", false},   {"0", false},   {"1e5", false},
      {"2.5E-3", false}, {".5", false},    {"5.", false},   {"12,5", true}, {"12.5 ", true},
      {"", true},        {"   ", true},    {"-", true},     {".", true},    {"1e", true},
      {"1e+", true},     {"e5", true},     {"1.2.3", true}, {"- 1", true},  {"12a", true},
      {"1 000", true},   {"\t1", true},
  };
  for (const NumberCase &c : kNumbers) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(shell::IsNotNumber(QString::fromLatin1(c.text)), c.not_number);
  }
}

}  // namespace
