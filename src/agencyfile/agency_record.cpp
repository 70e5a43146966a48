// The agency record layout; see agency_record.h.
#include "agencyfile/agency_record.h"

#include <QStringList>

namespace agencyfile {
namespace {

using Spans = std::array<FieldSpan, kFieldCount>;

Spans ParseWidths() {
  Spans spans{};
  const QStringList widths = QString::fromLatin1(RecordFieldWidths).split(QLatin1Char(','));
  int offset = 0;
  for (int i = 0; i < kFieldCount; ++i) {
    spans[i] = {offset, widths.at(i).toInt()};
    offset += spans[i].width;
  }
  return spans;
}

const Spans &AllSpans() {
  static const Spans spans = ParseWidths();
  return spans;
}

bool IsDigit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }

// Appends `value` padded with blanks to the width of `field`; false when it
// is longer than the field.
bool AppendPadded(QString *out, int field, const QString &value) {
  const int width = SpanOf(field).width;
  if (value.size() > width) return false;
  out->append(value);
  out->append(QString(width - value.size(), QLatin1Char(' ')));
  return true;
}

QString TooLongMessage(const char *what, const QString &value, int field) {
  return QStringLiteral("%1 [%2] е по-дълъг от %3 символа.")
      .arg(QString::fromUtf8(what), value)
      .arg(SpanOf(field).width);
}

QString AmountTooLargeMessage(const char *what, records::CurrencyUnits value) {
  return QStringLiteral("%1 %2 не се побира в полето (от 0.00 до 9999999999.99).")
      .arg(QString::fromUtf8(what), AmountText(value));
}

}  // namespace

FieldSpan SpanOf(int field) { return AllSpans().at(field - 1); }

QString TooManyRecordsText() {
  return QStringLiteral("Редовете на файла са повече от %1.").arg(kMaxDetailRecords);
}

RecordFields SplitRecord(QStringView line) {
  RecordFields fields;
  const Spans &spans = AllSpans();
  for (int i = 0; i < kFieldCount; ++i) {
    const qsizetype offset = spans[i].offset;
    if (offset >= line.size()) {
      fields[i] = QStringView();
    } else {
      fields[i] = line.mid(offset, std::min<qsizetype>(spans[i].width, line.size() - offset));
    }
  }
  return fields;
}

QStringView TrimLeftBlanks(QStringView text) {
  qsizetype i = 0;
  while (i < text.size() && text[i].unicode() <= ' ') ++i;
  return text.mid(i);
}

QStringView TrimRightBlanks(QStringView text) {
  qsizetype n = text.size();
  while (n > 0 && text[n - 1].unicode() <= ' ') --n;
  return text.left(n);
}

QStringView TrimBlanks(QStringView text) { return TrimRightBlanks(TrimLeftBlanks(text)); }

namespace {

// Whole cents of a value, rounded half away from zero.
qint64 RoundToCents(records::CurrencyUnits value) {
  constexpr qint64 kUnitsPerCent = records::kUnitsPerLev / 100;
  const qint64 half = value < 0 ? -kUnitsPerCent / 2 : kUnitsPerCent / 2;
  return (value + half) / kUnitsPerCent;
}

}  // namespace

records::CurrencyUnits RoundedToCents(records::CurrencyUnits value) {
  return RoundToCents(value) * (records::kUnitsPerLev / 100);
}

std::optional<QString> FormatAmount(records::CurrencyUnits value) {
  constexpr qint64 kLimitCents = 1000000000000;  // 10 000 000 000.00
  const qint64 cents = RoundToCents(value);
  if (cents < 0 || cents >= kLimitCents) return std::nullopt;
  return AmountText(value).rightJustified(kAmountWidth, QLatin1Char(' '));
}

QString AmountText(records::CurrencyUnits value) {
  const qint64 cents = RoundToCents(value);
  const quint64 magnitude = cents < 0 ? 0 - static_cast<quint64>(cents) : cents;
  QString text = QString::number(magnitude / 100) + QLatin1Char('.') +
                 QString::number(magnitude % 100).rightJustified(2, QLatin1Char('0'));
  return cents < 0 ? QLatin1Char('-') + text : text;
}

std::optional<records::CurrencyUnits> ReadAmountField(QStringView field) {
  if (field.size() != kAmountWidth || field[kAmountPointOffset] != QLatin1Char('.') ||
      !IsDigit(field[kAmountPointOffset + 1]) || !IsDigit(field[kAmountPointOffset + 2])) {
    return std::nullopt;
  }
  int i = 0;
  while (i < kAmountPointOffset && field[i] == QLatin1Char(' ')) ++i;
  qint64 cents = 0;
  for (; i < kAmountPointOffset; ++i) {
    if (!IsDigit(field[i])) return std::nullopt;
    cents = cents * 10 + (field[i].unicode() - '0');
  }
  cents = cents * 100 + (field[kAmountPointOffset + 1].unicode() - '0') * 10 +
          (field[kAmountPointOffset + 2].unicode() - '0');
  return cents * (records::kUnitsPerLev / 100);
}

std::optional<StatusFlags> FlagsForStatus(const QString &status) {
  const QChar blank = QLatin1Char(' ');
  const QChar one = QLatin1Char('1');
  if (status == QLatin1String("Active")) return StatusFlags{blank, blank};
  if (status == QLatin1String("Stopped")) return StatusFlags{one, blank};
  if (status == QLatin1String("Target")) return StatusFlags{blank, one};
  if (status == QLatin1String("StoppedTarget")) return StatusFlags{one, one};
  return std::nullopt;
}

QString FitHeaderAddress(const QString &address, const QString &house_number) {
  const int width = SpanOf(kAddressField).width;
  if (address.size() <= width) return address.leftJustified(width, QLatin1Char(' '));
  QString cut = address.left(width);
  if (cut.at(width - 1) != QLatin1Char(' ')) {
    // "№" after position 35 (1-based) with a long house number: the number
    // sits at the end and backing off would drop it; keep the hard cut.
    const qsizetype number_sign = cut.indexOf(QChar(0x2116));
    const bool keep_hard_cut = number_sign >= 35 && house_number.size() >= 4;
    const qsizetype last_blank = cut.lastIndexOf(QLatin1Char(' '));
    if (!keep_hard_cut && last_blank >= 0) cut.truncate(last_blank + 1);
  }
  return cut.leftJustified(width, QLatin1Char(' '));
}

BuiltRecord BuildHeaderRecord(const HeaderValues &values) {
  BuiltRecord built;
  QString &out = built.text;
  out.reserve(kRecordLength);
  out.append(QLatin1String(kHeaderRecordNumber));
  out.append(QLatin1String("  "));
  if (!AppendPadded(&out, kIdentifierField, values.payer_id)) {
    return {QString(),
            TooLongMessage("Идентификаторът на платеца", values.payer_id, kIdentifierField)};
  }
  if (!AppendPadded(&out, kNamesField, values.payer_name)) {
    return {QString(), TooLongMessage("Името на платеца", values.payer_name, kNamesField)};
  }
  out.append(QLatin1String("  "));
  out.append(FitHeaderAddress(values.composed_address, values.house_number));
  const std::optional<QString> income = FormatAmount(values.total_income);
  if (!income) {
    return {QString(), AmountTooLargeMessage("Общият размер на дохода", values.total_income)};
  }
  const std::optional<QString> tax = FormatAmount(values.total_tax);
  if (!tax) {
    return {QString(), AmountTooLargeMessage("Общият удържан данък", values.total_tax)};
  }
  out.append(*income);
  out.append(*tax);
  out.append(QString(SpanOf(kIncomeCodeField).width, QLatin1Char(' ')));
  const std::optional<StatusFlags> flags = FlagsForStatus(values.status);
  if (!flags) {
    return {QString(), QStringLiteral("Непознат статус на платеца [%1].").arg(values.status)};
  }
  out.append(flags->liquidation);
  out.append(flags->successor);
  if (!AppendPadded(&out, kTaxYearField, values.tax_year)) {
    return {QString(), TooLongMessage("Данъчната година", values.tax_year, kTaxYearField)};
  }
  return built;
}

BuiltRecord BuildDetailRecord(const DetailValues &values) {
  if (values.record_number < 1 || values.record_number > kMaxDetailRecords) {
    return {QString(), TooManyRecordsText()};
  }
  BuiltRecord built;
  QString &out = built.text;
  out.reserve(kRecordLength);
  out.append(QString::number(values.record_number).rightJustified(5, QLatin1Char('0')));
  struct TextField {
    int field;
    const QString *value;
    const char *what;
  };
  const TextField texts[] = {
      {kForeignFlagField, &values.foreign_flag, "Флагът за чуждестранно лице"},
      {kIdKindField, &values.id_kind, "Видът идентификатор"},
      {kIdentifierField, &values.identifier, "Идентификаторът"},
      {kNamesField, &values.names, "Името на лицето"},
      {kCountryField, &values.country, "Кодът на държавата"},
      {kAddressField, &values.address, "Адресът"},
  };
  for (const TextField &t : texts) {
    if (!AppendPadded(&out, t.field, *t.value)) {
      return {QString(), TooLongMessage(t.what, *t.value, t.field)};
    }
  }
  const std::optional<QString> income = FormatAmount(values.income);
  if (!income) return {QString(), AmountTooLargeMessage("Размерът на дохода", values.income)};
  const std::optional<QString> tax = FormatAmount(values.tax);
  if (!tax) return {QString(), AmountTooLargeMessage("Удържаният данък", values.tax)};
  out.append(*income);
  out.append(*tax);
  if (!AppendPadded(&out, kIncomeCodeField, values.income_code)) {
    return {QString(), TooLongMessage("Кодът на дохода", values.income_code, kIncomeCodeField)};
  }
  out.append(QLatin1String("      "));  // fields 11 and 12 blank, field 13 four blanks
  return built;
}

}  // namespace agencyfile
