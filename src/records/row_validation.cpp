// The row rules (see row_validation.h).
#include "records/row_validation.h"

#include "records/amount_text.h"
#include "records/duplicate_check.h"
#include "records/income_codes.h"
#include "shell/editor_messages.h"
#include "shell/identifier_checks.h"

namespace records {

namespace {

bool IsLatinLetterRange(QChar c) { return c.unicode() >= 0x41 && c.unicode() <= 0x7A; }

bool IsDigit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }

// Step 1: the identifier, by kind. Only the first failing test counts.
void CheckIdentifier(const RowValues &row, QList<int> &out) {
  const QString &id = row.identifier;
  const bool zeros = id == QLatin1String(kNoIdentifier);
  switch (row.kind) {
    case kKindEGN:
      if (id.isEmpty())
        out << 3;
      else if (!shell::CheckEGN(id) || zeros)
        out << 4;
      break;
    case kKindLNCh:
      if (id.isEmpty())
        out << 5;
      else if (!shell::CheckLNCh(id) || zeros)
        out << 6;
      break;
    case kKindServiceNo:
      if (id.isEmpty())
        out << 7;
      else if (id.size() != 10 || !shell::CheckServiceNo(id) || (zeros && !row.foreign))
        out << 8;
      break;
    case kKindEIK:
      if (id.isEmpty())
        out << 1;
      else if ((!shell::CheckEIK(id) && !shell::CheckEGN(id)) || zeros)
        out << 2;
      break;
    case kKindCondominium:
      if (row.address.isEmpty()) out << 14;
      break;
    case kKindBankInterest:
      break;
    default:
      out << kMsgChooseKind;
      break;
  }
}

// Step 3: the country of a foreign person.
void CheckCountry(const RowValues &row, const ReferenceTables &tables, QList<int> &out) {
  const QString &country = row.country;
  if (country.isEmpty()) {
    out << 11;
    return;
  }
  // A missing second character counts as outside the range.
  if (!IsLatinLetterRange(country.at(0)) || country.size() < 2 ||
      !IsLatinLetterRange(country.at(1))) {
    out << 12;
    return;
  }
  const QString upper = CountryCodeUpper(country);
  if (upper == QLatin1String("BG"))
    out << 22;
  else if (!tables.HasCountry(upper))
    out << 13;
}

// Step 5: the income code and the kinds it belongs to.
void CheckCode(const RowValues &row, const ReferenceTables &tables, QList<int> &out) {
  const QString &code = row.code;
  if (code.isEmpty()) {
    out << 19;
    return;
  }
  if (code.size() < 3 || !IsDigit(code.at(0)) || !IsDigit(code.at(1)) || !IsDigit(code.at(2))) {
    out << 20;
    return;
  }
  if (!tables.HasIncomeCode(code)) {
    out << 21;
    return;
  }
  if (IsPersonKind(row.kind) && IsKindBoundCode(code)) {
    out << 23 << 24;
  } else if (row.kind == kKindCondominium && code != QLatin1String(kCondominiumCode)) {
    out << 23;
  } else if (row.kind == kKindBankInterest && code != QLatin1String(kBankInterestCode)) {
    out << 24;
  }
}

// Steps 6 and 7: the amounts. The input filters only let readable amounts
// in; a text that cannot be read all the same is asked for again.
void CheckAmounts(const RowValues &row, QList<int> &out) {
  const std::optional<CurrencyUnits> income = ReadAmount(row.income);
  const std::optional<CurrencyUnits> tax = ReadAmount(row.tax);
  const bool tax_given = !row.tax.isEmpty();
  if (row.income.isEmpty() || !income) {
    out << 15;
  } else {
    if (row.code.startsWith(QLatin1Char('9')) && *income <= 5000 * kUnitsPerLev) out << 25;
    if (tax && *income <= *tax) out << 16;
  }
  if (tax_given && !tax) {
    out << 17;
  } else if (tax && income && *tax > *income) {
    out << 18;
  }
}

}  // namespace

QString ValidationWarningText(const QList<int> &numbers) {
  QString text;
  for (int number : numbers) {
    text += (number == kMsgChooseKind ? QString::fromUtf8(kMsgChooseKindText)
                                      : shell::MsgText(number)) +
            QStringLiteral("  \r");
  }
  return text;
}

QString MessageControlName(int number) {
  return number == kMsgChooseKind ? QStringLiteral("ComboBox1") : shell::MsgControlName(number);
}

QString CountryCodeUpper(const QString &code) {
  QString upper = code;
  for (QChar &c : upper) {
    if (c >= QLatin1Char('a') && c <= QLatin1Char('z')) c = QChar(c.unicode() - 'a' + 'A');
  }
  return upper;
}

QList<int> ValidateRow(const RowValues &row, const ReferenceTables &tables) {
  QList<int> out;
  CheckIdentifier(row, out);
  if (row.names.isEmpty() && IsPersonKind(row.kind)) out << 9;
  if (row.foreign) {
    CheckCountry(row, tables, out);
    if (row.address.isEmpty()) out << 14;
  }
  CheckCode(row, tables, out);
  CheckAmounts(row, out);
  return out;
}

}  // namespace records
