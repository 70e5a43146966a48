// Formal control of an agency file: each field of each record on its own,
// then the header's totals against the sums of the detail records.
#include <optional>

#include "agencyfile/agency_check_stages.h"
#include "agencyfile/agency_record.h"
#include "shell/display_texts.h"
#include "shell/identifier_checks.h"
#include "ui/codepage.h"

namespace agencyfile {
namespace {

const QString &Caption(int index) { return shell::FieldCaptions().at(index); }

// The first character of a one-character field; a null character for a
// field the line was too short to hold.
QChar At(QStringView field) { return field.isEmpty() ? QChar() : field[0]; }

bool OneOf(QChar c, const char *allowed) {
  for (; *allowed; ++allowed) {
    if (c == QLatin1Char(*allowed)) return true;
  }
  return false;
}

bool IsDigit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }
bool IsCapitalLatin(QChar c) { return c >= QLatin1Char('A') && c <= QLatin1Char('Z'); }

bool HasNonDigit(QStringView text) {
  for (QChar c : text) {
    if (!IsDigit(c)) return true;
  }
  return false;
}

// The messages of the amount tests for one amount field. Detail messages
// are followed by the field's text and "]".
struct AmountMessages {
  const char *no_point;
  const char *decimals;
  const char *whole_digits;
  const char *not_a_number;  // digits and point in place, but blanks between them
  const char *out_of_range;
  bool income;  // must be greater than 0.00; tax: 0.00 or more
};

constexpr AmountMessages kHeaderIncome = {
    "В заглавния ред годишния размер на дохода, трябва да съдържа десетична точка на 11 позиция.",
    "В заглавния ред годишният размер на дохода, трябва да съдържа 2 цифри след десетичната точка.",
    "В заглавния ред годишният размер на дохода, трябва да съдържа 1..10 цифри преди десетичната "
    "точка.",
    "В заглавния ред годишният размер на дохода не е число.",
    "Годишният размер на дохода в заглавния ред трябва да е по-голям от 0.00 лв.",
    true};
constexpr AmountMessages kHeaderTax = {
    "В заглавния ред удържаният данък трябва да съдържа десетична точка на 11 позиция.",
    "В заглавния ред удържаният данък трябва да съдържа 2 цифри след десетичната точка.",
    "В заглавния ред удържаният данък трябва да съдържа 1..10 цифри преди десетичната точка.",
    "В заглавния ред удържаният данък не е число.",
    "В заглавния ред удържаният данък трябва да е по-голям или равен на 0.00 лв.",
    false};
constexpr AmountMessages kDetailIncome = {
    "Годишният размер на дохода в заглавния ред, трябва да съдържа десетична точка на 11 "
    "позиция.[",
    "Годишният размер на дохода в заглавния ред, трябва да съдържа 2 цифри след десетичната "
    "точка.[",
    "Годишният размер на дохода в заглавния ред, трябва да съдържа 1..10 цифри пред десетичната "
    "точка.[",
    "Годишният размер на дохода не е число.[",
    "Годишният размер на дохода в заглавния ред, трябва да е по-голям от 0.00 лв.[",
    true};
constexpr AmountMessages kDetailTax = {
    "Удържаният данък трябва да съдържа десетична точка на 11 позиция.[",
    "Удържаният данък трябва да съдържа 2 цифри след десетичната точка.[",
    "Удържаният данък трябва да съдържа 1..10 цифри преди десетичната точка.[",
    "Удържаният данък не е число.[",
    "Удържаният данък трябва да е по-голям или равен на 0.00 лв.[",
    false};

// The amount tests of one field, stopping at the first that fails. Returns
// the amount when all pass. An amount whose digits stand apart
// from the point ("12", blanks, ".00") passes the format tests but is no
// number: it gets a fault line of its own rather than being read as zero.
std::optional<records::CurrencyUnits> CheckAmount(QStringView field, int field_no,
                                                  const AmountMessages &texts, bool detail,
                                                  FaultSink *faults) {
  auto fault = [&](const char *message) {
    QString text = QString::fromUtf8(message);
    if (detail) text += field.toString() + QLatin1Char(']');
    faults->Add(field_no, text);
    return std::nullopt;
  };
  if (At(field.mid(kAmountPointOffset, 1)) != QLatin1Char('.')) return fault(texts.no_point);
  const QStringView decimals = field.mid(kAmountPointOffset + 1);
  if (decimals.size() != 2 || !IsDigit(decimals[0]) || !IsDigit(decimals[1])) {
    return fault(texts.decimals);
  }
  if (HasNonDigit(TrimBlanks(field.left(kAmountPointOffset)))) return fault(texts.whole_digits);
  const std::optional<records::CurrencyUnits> value = ReadAmountField(field);
  if (!value) return fault(texts.not_a_number);
  if (texts.income ? *value <= 0 : *value < 0) return fault(texts.out_of_range);
  return value;
}

struct Totals {
  std::optional<records::CurrencyUnits> header_income;
  std::optional<records::CurrencyUnits> header_tax;
  QString header_income_text;
  QString header_tax_text;
  records::CurrencyUnits income_sum = 0;
  records::CurrencyUnits tax_sum = 0;
};

void CheckHeaderFormal(const RecordFields &f, int current_year, FaultSink *faults,
                       CheckResult *result, Totals *totals) {
  const QString in_header = QStringLiteral("В заглавния ред ");
  if (!OneOf(At(f[1]), " 0")) {
    faults->Add(kForeignFlagField,
                in_header + Caption(1) + QStringLiteral(" може да е интервал или 0"));
  }
  if (!OneOf(At(f[2]), " 0")) {
    faults->Add(kIdKindField, in_header + Caption(2) + QStringLiteral(" може да е интервал или 0"));
  }
  const QString id = TrimRightBlanks(f[3]).toString();
  const QString id_text = in_header + Caption(3) + QStringLiteral(" [") + id;
  if (HasNonDigit(id)) {
    faults->Add(kIdentifierField,
                id_text + QStringLiteral("] съдържа и други символи, освен цифри."));
  } else if (id.size() != 9 && id.size() != 10) {
    faults->Add(
        kIdentifierField,
        id_text + QStringLiteral("] е с невалидна дължина (%1 цифри) за ЕИК.").arg(id.size()));
  } else if (id.size() == 9 && !shell::CheckEIK(id)) {
    faults->Add(kIdentifierField, id_text + QStringLiteral("] е невалиден 9-цифров ЕИК."));
  } else if (id.size() == 10 && !shell::CheckEGN(id) && !shell::CheckServiceNo(id)) {
    // The "e" after the bracket is a Latin letter in the established text.
    faults->Add(kIdentifierField,
                id_text + QStringLiteral("] e невалиден 10-цифров ЕИК или Служебен № от "
                                         "регистъра на ВЕСКОР."));
  }
  if (TrimRightBlanks(f[4]).isEmpty()) {
    faults->Add(kNamesField, QStringLiteral("В заглавния ред името на платеца не е попълнено"));
  } else {
    result->payer_name = TrimBlanks(f[4]).toString();
  }
  totals->header_income = CheckAmount(f[7], kIncomeField, kHeaderIncome, false, faults);
  totals->header_tax = CheckAmount(f[8], kTaxField, kHeaderTax, false, faults);
  totals->header_income_text = TrimBlanks(f[7]).toString();
  totals->header_tax_text = TrimBlanks(f[8]).toString();
  const QChar liquidation = At(f[10]);
  const QChar successor = At(f[11]);
  const bool liquidation_ok = OneOf(liquidation, " 01");
  const bool successor_ok = OneOf(successor, " 01");
  if (!liquidation_ok) {
    faults->Add(kLiquidationFlagField,
                in_header + Caption(10) + QStringLiteral(" трябва да е [интервал, 0 или 1]"));
  }
  if (!successor_ok) {
    faults->Add(kSuccessorFlagField, QStringLiteral("В заглавния ред, ") + Caption(11) +
                                         QStringLiteral(" може да е [интервал, 0 или 1]"));
  }
  if (liquidation_ok && successor_ok) {
    result->liquidation_flag = liquidation == QLatin1Char('1');
    result->successor_flag = successor == QLatin1Char('1');
  }
  if (HasNonDigit(f[12]) || f[12].isEmpty()) {
    faults->Add(kTaxYearField, QStringLiteral("В заглавния ред, ") + Caption(12) +
                                   QStringLiteral(" трябва да е четири цифри."));
  } else {
    result->tax_year = f[12].toString();
    const int year = f[12].toInt();
    if (year != current_year - 1 && year != current_year) {
      faults->Add(kTaxYearField, in_header + Caption(12) +
                                     QStringLiteral(" трябва да е [%1 или %2] г.")
                                         .arg(current_year - 1)
                                         .arg(current_year));
    }
  }
}

// The identifier test by kind (kind '0'..'4'; a blank counts as '0').
bool IdentifierFails(QChar kind, const QString &id, QChar foreign) {
  const bool zeros = id == QLatin1String("0000000000");
  switch (kind.unicode()) {
    case ' ':
    case '0':
      return !shell::CheckEGN(id) || zeros;
    case '1':
      return !shell::CheckLNCh(id) || zeros;
    case '2':
      return !shell::CheckServiceNo(id) || (zeros && foreign != QLatin1Char('1'));
    case '3':
      return !shell::CheckEIK(id) && (!shell::CheckEGN(id) || zeros);
    default:
      return false;
  }
}

// Returns the line's two amounts when both passed their tests.
void CheckDetailFormal(const RecordFields &f, FaultSink *faults,
                       std::optional<records::CurrencyUnits> *income,
                       std::optional<records::CurrencyUnits> *tax) {
  const QChar foreign = At(f[1]);
  const QChar kind = At(f[2]);
  const bool condominium = kind == QLatin1Char('4');
  const QString id = TrimRightBlanks(f[3]).toString();
  const QStringView code = TrimRightBlanks(f[9]);
  const QString condo = QStringLiteral("При идентификатор етажна собственост ");

  if (!OneOf(foreign, " 01")) {
    faults->Add(kForeignFlagField, Caption(1) + QStringLiteral(" може да е интервал или 0,1"));
  }
  if (condominium && foreign == QLatin1Char('1')) {
    faults->Add(kForeignFlagField,
                QStringLiteral("за етаж.соб. поле ЧФЛ не може да е 1(чужденец)"));
  }
  if (condominium && code == u"820" && f[5] != u"BG") {
    faults->Add(kCountryField,
                condo + QStringLiteral("поле [Код държава] трябва да е попълнено с BG"));
  }
  if (condominium && code == u"820" && TrimRightBlanks(f[6]).isEmpty()) {
    faults->Add(kAddressField,
                condo + QStringLiteral("поле [Населено място,ул.No.] не е попълнено"));
  }
  // A kind that is no digit 0..4 leaves no identifier test to apply: the
  // kind fault stands for it.
  const bool kind_known = OneOf(kind, " 01234");
  if (!kind_known) {
    faults->Add(kIdKindField, Caption(2) + QStringLiteral(" може да е интервал, 0, 1, 2, 3 или 4"));
  }
  if (!id.isEmpty() && condominium) {
    faults->Add(kIdentifierField,
                condo + QStringLiteral("стойността на идентификатора не трябва да се попълва."));
  }
  if (id.size() != 9 && id.size() != 10 && !condominium) {
    faults->Add(kIdentifierField,
                QStringLiteral("Невалиден брой цифри [%1] за идентификатор [%2].(очакват се 9 или "
                               "10 цифри)")
                    .arg(id.size())
                    .arg(id));
  } else if (kind_known && IdentifierFails(kind, id, foreign)) {
    const int kind_index = kind == QLatin1Char(' ') ? 0 : kind.unicode() - '0';
    faults->Add(kIdentifierField, QStringLiteral("За идентификатор [") +
                                      shell::IdKindNames().at(kind_index) +
                                      QStringLiteral("], стойността на идентификатора [") + id +
                                      QStringLiteral("] е невалидна."));
  }
  const QStringView names = TrimRightBlanks(f[4]);
  if (names.isEmpty() && !condominium) {
    faults->Add(kNamesField, QStringLiteral("Името на лицето не е попълнено"));
  } else if (!names.isEmpty() && condominium) {
    faults->Add(kNamesField, condo + QStringLiteral("името на лицето [") + names.toString() +
                                 QStringLiteral("] не трябва да се попълва"));
  }
  if (foreign == QLatin1Char('1') &&
      (f[5].size() != 2 || !IsCapitalLatin(f[5][0]) || !IsCapitalLatin(f[5][1]))) {
    faults->Add(
        kCountryField,
        QStringLiteral("Съдържанието на поле държава трябва да е две големи латински букви."));
  }
  if (foreign == QLatin1Char('1') && TrimBlanks(f[6]).isEmpty()) {
    faults->Add(kAddressField, QStringLiteral("Адресът в чужбина не е попълнен"));
  }
  *income = CheckAmount(f[7], kIncomeField, kDetailIncome, true, faults);
  *tax = CheckAmount(f[8], kTaxField, kDetailTax, true, faults);
  if (HasNonDigit(code)) {
    faults->Add(
        kIncomeCodeField,
        Caption(9) +
            QStringLiteral(" трябва да е от три до пет цифри, ляво подравнени и допълнени с "
                           "интервали.[") +
            f[9].toString() + QLatin1Char(']'));
  }
  const QString in_details = QStringLiteral("В детайлните редове ");
  if (!OneOf(At(f[10]), " 0")) {
    faults->Add(kLiquidationFlagField, in_details + Caption(10) +
                                           QStringLiteral(" трябва да е интервал или 0[") +
                                           f[10].toString() + QLatin1Char(']'));
  }
  if (!OneOf(At(f[11]), " 0")) {
    faults->Add(kSuccessorFlagField, in_details + Caption(11) +
                                         QStringLiteral(" трябва да е интервал или 0. [") +
                                         f[11].toString() + QLatin1Char(']'));
  }
  if (f[12] != u"    ") {
    faults->Add(kTaxYearField, in_details + Caption(12) +
                                   QStringLiteral(" трябва да е четири интервала.[") +
                                   f[12].toString() + QLatin1Char(']'));
  }
}

}  // namespace

bool CheckFormal(const AgencySource &source, const CheckOptions &options, CheckProgress *progress,
                 CheckResult *result) {
  bool any_fault = false;
  Totals totals;
  const bool read = ForEachLine(
      source, progress, &result->error, [&](int number, const QByteArray &bytes, qint64) {
        const QString line = Decode(bytes);
        const RecordFields f = SplitRecord(line);
        FaultSink faults(&result->formal_faults, number, f[0]);
        if (number == 1) {
          CheckHeaderFormal(f, options.current_year, &faults, result, &totals);
        } else {
          std::optional<records::CurrencyUnits> income;
          std::optional<records::CurrencyUnits> tax;
          CheckDetailFormal(f, &faults, &income, &tax);
          if (!faults.added()) {
            totals.income_sum += *income;
            totals.tax_sum += *tax;
          }
        }
        any_fault = any_fault || faults.added();
        return true;
      });
  if (!read || any_fault) return false;

  FaultSink faults(&result->formal_faults, 1, u"00000");
  if (*totals.header_income != totals.income_sum) {
    faults.Add(kIncomeField,
               QStringLiteral("Годишният размер на дохода в заглавния ред.") +
                   totals.header_income_text +
                   QStringLiteral(" не е равен на сумата от годишния размер на дохода на "
                                  "детайлните редове ") +
                   AmountText(totals.income_sum));
  }
  if (*totals.header_tax != totals.tax_sum) {
    faults.Add(kTaxField, QStringLiteral("Удържаният данък в заглавния ред ") +
                              totals.header_tax_text +
                              QStringLiteral(" не е равен на сумата от удържаният данък на "
                                             "детайлните редове ") +
                              AmountText(totals.tax_sum));
  }
  return !faults.added();
}

}  // namespace agencyfile
