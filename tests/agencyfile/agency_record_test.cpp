// The agency record layout: field cut, amount format, header and detail
// records built from plain values, header address fitting.
#include "agencyfile/agency_record.h"

#include <gtest/gtest.h>

namespace agencyfile {
namespace {

constexpr records::CurrencyUnits kLev = records::kUnitsPerLev;

TEST(AgencyRecordLayout, FieldsFollowTheStoredWidths) {
  const int offsets[kFieldCount] = {0, 5, 6, 7, 20, 60, 62, 102, 115, 128, 133, 134, 135};
  const int widths[kFieldCount] = {5, 1, 1, 13, 40, 2, 40, 13, 13, 5, 1, 1, 4};
  for (int field = 1; field <= kFieldCount; ++field) {
    SCOPED_TRACE(field);
    EXPECT_EQ(SpanOf(field).offset, offsets[field - 1]);
    EXPECT_EQ(SpanOf(field).width, widths[field - 1]);
  }
  EXPECT_EQ(SpanOf(kTaxYearField).offset + SpanOf(kTaxYearField).width, kRecordLength);
}

TEST(AgencyRecordLayout, SplitCutsTheFirst139CharactersAndNeverReadsPastALine) {
  QString line;
  for (int field = 1; field <= kFieldCount; ++field) {
    line += QString(SpanOf(field).width, QChar('a' + field - 1));
  }
  line += QStringLiteral("extra");
  const RecordFields f = SplitRecord(line);
  for (int i = 0; i < kFieldCount; ++i) {
    EXPECT_EQ(f[i].toString(), QString(SpanOf(i + 1).width, QChar('a' + i)));
  }

  const RecordFields short_fields = SplitRecord(u"00001 0123");
  EXPECT_EQ(short_fields[0].toString(), QStringLiteral("00001"));
  EXPECT_EQ(short_fields[3].toString(), QStringLiteral("123"));
  EXPECT_TRUE(short_fields[4].isEmpty());
  EXPECT_TRUE(short_fields[12].isEmpty());
}

TEST(AgencyAmount, FormatRightAlignsTwoDecimalsAndRefusesWhatDoesNotFit) {
  struct Case {
    records::CurrencyUnits value;
    const char *text;  // nullptr: refused
  } const cases[] = {
      {1234 * kLev + kLev / 2, "      1234.50"},
      {0, "         0.00"},
      {50, "         0.01"},  // half a cent rounds up
      {49, "         0.00"},
      {9999999999 * kLev + 99 * kLev / 100, "9999999999.99"},
      {10000000000 * kLev, nullptr},
      {-kLev, nullptr},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.value);
    const std::optional<QString> text = FormatAmount(c.value);
    if (c.text) {
      ASSERT_TRUE(text.has_value());
      EXPECT_EQ(*text, QString::fromLatin1(c.text));
    } else {
      EXPECT_FALSE(text.has_value());
    }
  }
}

TEST(AgencyAmount, ReadFieldAcceptsOnlyTheAmountShape) {
  struct Case {
    const char *field;
    std::optional<records::CurrencyUnits> value;
  } const cases[] = {
      {"      1234.50", 1234 * kLev + kLev / 2},
      {"1234567890.12", 1234567890 * kLev + 12 * kLev / 100},
      {"         0.00", 0},
      {"          .00", 0},             // blanks alone before the point read as 0
      {"12        .00", std::nullopt},  // digits apart from the point
      {"    1 2345.00", std::nullopt},  // blank between digits
      {"      1234,50", std::nullopt},  // comma
      {"      -123.00", std::nullopt},  // sign
      {"     1234.5 ", std::nullopt},   // one decimal
      {"   1234.50", std::nullopt},     // short field
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.field);
    EXPECT_EQ(ReadAmountField(QString::fromLatin1(c.field)), c.value);
  }
  EXPECT_EQ(AmountText(-1234 * kLev - kLev / 2), QStringLiteral("-1234.50"));
  EXPECT_EQ(AmountText(123456789012 * kLev), QStringLiteral("123456789012.00"));
}

HeaderValues SampleHeader() {
  HeaderValues h;
  h.payer_id = QStringLiteral("121212121");
  h.payer_name = QStringLiteral("Фирма ООД");
  h.composed_address = QStringLiteral("гр.София, ул.Тест №5");
  h.house_number = QStringLiteral("5");
  h.total_income = 350 * kLev + kLev / 2;
  h.total_tax = 10 * kLev;
  h.status = QStringLiteral("Active");
  h.tax_year = QStringLiteral("2024");
  return h;
}

TEST(AgencyHeaderRecord, PlacesEveryValueInItsField) {
  const BuiltRecord built = BuildHeaderRecord(SampleHeader());
  ASSERT_TRUE(built.ok()) << built.error.toStdString();
  ASSERT_EQ(built.text.size(), kRecordLength);
  const RecordFields f = SplitRecord(built.text);
  EXPECT_EQ(f[0], u"00000");
  EXPECT_EQ(f[1], u" ");
  EXPECT_EQ(f[2], u" ");
  EXPECT_EQ(f[3], u"121212121    ");
  EXPECT_EQ(f[4].toString(), QStringLiteral("Фирма ООД").leftJustified(40));
  EXPECT_EQ(f[5], u"  ");
  EXPECT_EQ(f[6].toString(), QStringLiteral("гр.София, ул.Тест №5").leftJustified(40));
  EXPECT_EQ(f[7], u"       350.50");
  EXPECT_EQ(f[8], u"        10.00");
  EXPECT_EQ(f[9], u"     ");
  EXPECT_EQ(f[10], u" ");
  EXPECT_EQ(f[11], u" ");
  EXPECT_EQ(f[12], u"2024");
}

TEST(AgencyHeaderRecord, StatusGivesTheTwoFlags) {
  struct Case {
    const char *status;
    const char *flags;
  } const cases[] = {
      {"Active", "  "}, {"Stopped", "1 "}, {"Target", " 1"}, {"StoppedTarget", "11"}};
  for (const Case &c : cases) {
    SCOPED_TRACE(c.status);
    HeaderValues h = SampleHeader();
    h.status = QString::fromLatin1(c.status);
    const BuiltRecord built = BuildHeaderRecord(h);
    ASSERT_TRUE(built.ok());
    EXPECT_EQ(built.text.mid(133, 2), QString::fromLatin1(c.flags));
  }
}

TEST(AgencyHeaderRecord, RefusesValuesWithNoRoomInsteadOfCuttingThem) {
  HeaderValues long_name = SampleHeader();
  long_name.payer_name = QString(41, QLatin1Char('x'));
  HeaderValues long_id = SampleHeader();
  long_id.payer_id = QString(14, QLatin1Char('1'));
  HeaderValues huge_total = SampleHeader();
  huge_total.total_income = 10000000000 * kLev;
  HeaderValues unknown_status = SampleHeader();
  unknown_status.status = QStringLiteral("Closed");
  HeaderValues long_year = SampleHeader();
  long_year.tax_year = QStringLiteral("20245");
  for (const HeaderValues &h : {long_name, long_id, huge_total, unknown_status, long_year}) {
    const BuiltRecord built = BuildHeaderRecord(h);
    EXPECT_FALSE(built.ok());
    EXPECT_TRUE(built.text.isEmpty());
  }
}

DetailValues SampleDetail() {
  DetailValues d;
  d.record_number = 7;
  d.foreign_flag = QStringLiteral("0");
  d.id_kind = QStringLiteral("0");
  d.identifier = QStringLiteral("7501010010   ");
  d.names = QStringLiteral("Иван Петров");
  d.country = QStringLiteral("  ");
  d.address = QString();
  d.income = 100 * kLev;
  d.tax = 0;
  d.income_code = QStringLiteral("401  ");
  return d;
}

TEST(AgencyDetailRecord, WritesNumberTextsAmountsAndBlankTail) {
  const BuiltRecord built = BuildDetailRecord(SampleDetail());
  ASSERT_TRUE(built.ok()) << built.error.toStdString();
  ASSERT_EQ(built.text.size(), kRecordLength);
  const RecordFields f = SplitRecord(built.text);
  EXPECT_EQ(f[0], u"00007");
  EXPECT_EQ(f[1], u"0");
  EXPECT_EQ(f[2], u"0");
  EXPECT_EQ(f[3], u"7501010010   ");
  EXPECT_EQ(f[4].toString(), QStringLiteral("Иван Петров").leftJustified(40));
  EXPECT_EQ(f[6].toString(), QString(40, QLatin1Char(' ')));
  EXPECT_EQ(f[7], u"       100.00");
  EXPECT_EQ(f[8], u"         0.00");
  EXPECT_EQ(f[9], u"401  ");
  EXPECT_EQ(built.text.right(6), QStringLiteral("      "));
}

TEST(AgencyDetailRecord, RefusesRecordNumbersAndTextsThatDoNotFit) {
  DetailValues too_many = SampleDetail();
  too_many.record_number = 100000;
  DetailValues long_names = SampleDetail();
  long_names.names = QString(41, QLatin1Char('x'));
  DetailValues long_code = SampleDetail();
  long_code.income_code = QStringLiteral("307100");
  DetailValues negative = SampleDetail();
  negative.tax = -kLev;
  for (const DetailValues &d : {too_many, long_names, long_code, negative}) {
    EXPECT_FALSE(BuildDetailRecord(d).ok());
  }
}

TEST(AgencyHeaderAddress, FitsIntoFortyCharactersWithoutBreakingAWord) {
  const QString late_sign = QStringLiteral("гр.Пловдив, ул.Александър Стамболийски №1234");
  struct Case {
    QString address;
    const char *house;
    QString expected;
  } const cases[] = {
      {QStringLiteral("гр.София"), "", QStringLiteral("гр.София")},
      // The 40th character is a letter: back to the last blank.
      {QStringLiteral("гр.Пловдив, бул.Цар Борис III Обединител Руски"), "",
       QStringLiteral("гр.Пловдив, бул.Цар Борис III ")},
      {QStringLiteral("гр.Пловдив, ж.к.Тракия бл.123 вх.Б ет.10 ап.55"), "1234",
       QStringLiteral("гр.Пловдив, ж.к.Тракия бл.123 вх.Б ")},
      // "№" after position 35 and a four-character house number: hard cut.
      {late_sign, "1234", late_sign.left(40)},
      {late_sign, "12", QStringLiteral("гр.Пловдив, ул.Александър Стамболийски ")},
      // "№" at position 35 is not after it; at 36 it is.
      {QStringLiteral("ул.Александър Стамболийски 1 бл.2 №1234567"), "1234",
       QStringLiteral("ул.Александър Стамболийски 1 бл.2 ")},
      {QStringLiteral("ул.Александър Стамболийски 1 бл.2  №1234567"), "1234",
       QStringLiteral("ул.Александър Стамболийски 1 бл.2  №1234")},
      // No blank at all: the hard cut stays rather than an empty address.
      {QString(45, QLatin1Char('x')), "", QString(40, QLatin1Char('x'))},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.address.toStdString());
    EXPECT_EQ(FitHeaderAddress(c.address, QString::fromLatin1(c.house)),
              c.expected.leftJustified(40));
  }
}

}  // namespace
}  // namespace agencyfile
