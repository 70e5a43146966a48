// Small rules of the income table: the stored form of amounts, the input
// filters, the totals' format, the allowed income codes, the duplicate
// search key and its exemptions, and the number-of-persons check.
#include <gtest/gtest.h>

#include <QRegularExpression>
#include <limits>

#include "records/amount_text.h"
#include "records/complete_amount.h"
#include "records/duplicate_check.h"
#include "records/income_codes.h"
#include "records/persons_count.h"

namespace records {
namespace {

TEST(CompleteAmount, PadsToTwoDecimals) {
  const struct {
    const char *typed, *stored;
  } cases[] = {{"1234", "1234.00"}, {"12.", "12.00"},   {"12.5", "12.50"},
               {"12.55", "12.55"},  {"0.123", "0.123"}, {"", ".00"}};
  for (const auto &c : cases) EXPECT_EQ(CompleteAmount(c.typed), c.stored) << c.typed;
}

TEST(ReadAmount, ReadsPlainDecimalsOnly) {
  EXPECT_EQ(ReadAmount("5000.01"), 50000100);
  EXPECT_EQ(ReadAmount(" -12.5 "), -125000);
  EXPECT_EQ(ReadAmount(".5"), 5000);
  EXPECT_EQ(ReadAmount("7."), 70000);
  EXPECT_EQ(ReadAmount("0.00005"), 1);  // rounded to four decimals
  for (const char *bad : {"", ".", "-", "1e3", "12,5", "1.2.3", "abc", "99999999999999999999"}) {
    EXPECT_FALSE(ReadAmount(bad).has_value()) << bad;
  }
}

// The reading the program had before the hand-written parse, kept here as
// the reference it must agree with on every text.
std::optional<CurrencyUnits> ReadAmountByPattern(const QString &text) {
  static const QRegularExpression pattern(QStringLiteral("^([+-]?)(\\d*)(?:\\.(\\d*))?$"));
  const QRegularExpressionMatch m = pattern.match(text.trimmed());
  if (!m.hasMatch()) return std::nullopt;
  const QString whole = m.captured(2);
  QString fraction = m.captured(3);
  if (whole.isEmpty() && fraction.isEmpty()) return std::nullopt;
  constexpr CurrencyUnits kMaxLevs = std::numeric_limits<CurrencyUnits>::max() / kUnitsPerLev - 1;
  CurrencyUnits levs = 0;
  for (QChar c : whole) {
    if (levs > (kMaxLevs - c.digitValue()) / 10) return std::nullopt;
    levs = levs * 10 + c.digitValue();
  }
  const bool round_up = fraction.size() > 4 && fraction.at(4).digitValue() >= 5;
  fraction = fraction.left(4).leftJustified(4, QLatin1Char('0'));
  CurrencyUnits units = levs * kUnitsPerLev + fraction.toLongLong() + (round_up ? 1 : 0);
  if (m.captured(1) == QLatin1String("-")) units = -units;
  return units;
}

// Every text of up to four characters over signs, digits, points, blanks,
// a line break, a non-breaking space, a letter, a comma and a non-Latin
// digit, and some long ones (rounding, the largest amount and one past it).
TEST(ReadAmount, AgreesWithThePatternOnEveryText) {
  const QString alphabet = QStringLiteral("05+-. \ne,\u00a0\u0663");
  std::vector<QString> texts = {"",
                                "12.34565",
                                "-0.99995",
                                "1.00004999",
                                "922337203685476",
                                "922337203685477",
                                "-922337203685476.9999",
                                "00000000000000000000000001.5",
                                " \t+7.25\r\n"};
  for (int length = 1; length <= 4; ++length) {
    std::vector<QString> longer;
    for (const QString &text : texts) {
      if (text.size() != length - 1) continue;
      for (QChar c : alphabet) longer.push_back(text + c);
    }
    texts.insert(texts.end(), longer.begin(), longer.end());
  }
  int read = 0;
  for (const QString &text : texts) {
    const auto want = ReadAmountByPattern(text);
    ASSERT_EQ(ReadAmount(text), want) << text.toStdString();
    if (want) ++read;
  }
  EXPECT_GT(read, 100);
}

TEST(InputFilters, AcceptOnlyWhatTheFieldMayHold) {
  for (const char *ok : {"", "0", "12", "+301", "-5", "9223372036854775807"}) {
    EXPECT_TRUE(WholeNumberFilterAccepts(ok)) << ok;
  }
  for (const char *bad : {"-", "3a", "1.5", " 1", "9223372036854775808"}) {
    EXPECT_FALSE(WholeNumberFilterAccepts(bad)) << bad;
  }
  for (const char *ok : {"", "12", "12.", "12.5", "12.55", ".5"}) {
    EXPECT_TRUE(AmountFilterAccepts(ok)) << ok;
  }
  for (const char *bad : {"12.555", "1e5", "1a", ".", "1 ", "12,5"}) {
    EXPECT_FALSE(AmountFilterAccepts(bad)) << bad;
  }
}

TEST(FormatTotal, TwoDecimalsWithAPoint) {
  EXPECT_EQ(FormatTotal(0), "0.00");
  EXPECT_EQ(FormatTotal(3505000), "350.50");
  EXPECT_EQ(FormatTotal(*ReadAmount("1234567.895")), "1234567.90");
  EXPECT_EQ(FormatTotal(-125000), "-12.50");
  // More than 12 significant digits are rounded away.
  EXPECT_EQ(FormatTotal(*ReadAmount("12345678901.55")), "12345678901.60");
}

TEST(IncomeCodes, AllowedRangesAndTheirEdges) {
  for (qint64 ok :
       {301, 306, 3071, 3079, 30710, 30714, 401, 509, 606, 801, 820, 821, 901, 902, 904, 907}) {
    EXPECT_TRUE(IsAllowedIncomeCode(ok)) << ok;
  }
  for (qint64 bad : {0, 300, 307, 3070, 3080, 30715, 404, 822, 903, 908, -301}) {
    EXPECT_FALSE(IsAllowedIncomeCode(bad)) << bad;
  }
}

TEST(DuplicateCheck, SearchKeyPadsTheIdentifierOnly) {
  EXPECT_EQ(DuplicateSearchKey("7501010010", "101"), "7501010010   101");
  EXPECT_EQ(DuplicateSearchKey("", "821"), std::string(13, ' ') + "821");
  EXPECT_TRUE(SkipsDuplicateSearch("0000000000", "301"));
  EXPECT_TRUE(SkipsDuplicateSearch("7501010010", "820"));
  EXPECT_FALSE(SkipsDuplicateSearch("", "821"));
}

TEST(DuplicateCheck, EditorExemptions) {
  const struct {
    const char *name;
    qint64 found;
    bool edit_mode;
    qint64 edited;
    const char *identifier, *code;
    qint64 reported;
  } cases[] = {
      {"none found", 0, false, 0, "7501010010", "301", 0},
      {"another row in insert mode", 3, false, 0, "7501010010", "301", 3},
      {"the edited row itself", 3, true, 3, "7501010010", "301", 0},
      {"another row in edit mode", 3, true, 2, "7501010010", "301", 3},
      {"zeros identifier", 3, false, 0, "0000000000", "301", 0},
      {"second interest row", 1, false, 0, "", "821", 1},
      {"blank identifier, ordinary code", 1, false, 0, "", "301", 0},
  };
  for (const auto &c : cases) {
    EXPECT_EQ(DuplicateToReport(c.found, c.edit_mode, c.edited, c.identifier, c.code), c.reported)
        << c.name;
  }
}

TEST(PersonsCount, WholeNumbersNotAboveTheRowCount) {
  EXPECT_EQ(CheckPersonsCount("5", 5), PersonsCountCheck::kAccepted);
  EXPECT_EQ(CheckPersonsCount("0", 5), PersonsCountCheck::kAccepted);
  EXPECT_EQ(CheckPersonsCount("005", 5), PersonsCountCheck::kAccepted);
  EXPECT_EQ(CheckPersonsCount("6", 5), PersonsCountCheck::kMoreThanRows);
  EXPECT_EQ(CheckPersonsCount("", 5), PersonsCountCheck::kEmpty);
  for (const char *bad : {"3.5", "2.", "-1", "+2"}) {
    EXPECT_EQ(CheckPersonsCount(bad, 5), PersonsCountCheck::kNotWholeNumber) << bad;
  }
  EXPECT_EQ(PersonsCountTooLargeText("6", 5),
            "Въведения брой лица : 6 e по-голям от     \n        въведения брой редове : 5");
}

}  // namespace
}  // namespace records
