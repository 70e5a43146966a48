// The editor's field limits applied to texts from a file (see field_limits.h).
#include "records/field_limits.h"

#include "records/amount_text.h"

namespace records {

namespace {

// The agency file holds amounts below ten thousand million leva.
constexpr CurrencyUnits kAmountCeiling = 10000000000LL * kUnitsPerLev;

void CheckLength(const QString &text, int limit, const QString &label, QStringList &out) {
  if (text.size() > limit)
    out << QStringLiteral("Полето <%1> е по-дълго от %2 знака").arg(label).arg(limit);
}

void CheckWholeNumber(const QString &text, int limit, const QString &label, QStringList &out) {
  if (!WholeNumberFilterAccepts(text))
    out << QStringLiteral("Полето <%1> трябва да е цяло число").arg(label);
  else
    CheckLength(text, limit, label, out);
}

void CheckAmount(const QString &text, const QString &label, QStringList &out) {
  if (!AmountFilterAccepts(text)) {
    out << QStringLiteral("Полето <%1> трябва да е сума с най-много два знака след точката")
               .arg(label);
  } else if (text.size() > kAmountLimit) {
    CheckLength(text, kAmountLimit, label, out);
  } else if (!text.isEmpty() && *ReadAmount(text) < 0) {
    out << QStringLiteral("Полето <%1> не може да е отрицателна сума").arg(label);
  } else if (!text.isEmpty() && *ReadAmount(text) >= kAmountCeiling) {
    out << QStringLiteral("Полето <%1> е по-голямо от 9999999999.99").arg(label);
  }
}

}  // namespace

QStringList FieldLimitProblems(const StoredRow &texts, const FieldLabels &labels) {
  QStringList out;
  if (!texts.foreign_flag.isEmpty() && texts.foreign_flag != QLatin1String("0") &&
      texts.foreign_flag != QLatin1String("1")) {
    out << QStringLiteral("Полето <%1> трябва да е 1 (Да) или 0 (Не)").arg(labels.foreign);
  }
  if (texts.kind.size() > 1)
    out << QStringLiteral("Полето <%1> трябва да е една цифра от 0 до 4").arg(labels.kind);
  CheckWholeNumber(texts.identifier, kIdentifierLimit, labels.identifier, out);
  CheckLength(texts.names, kNamesLimit, labels.names, out);
  CheckLength(texts.country, kCountryLimit, labels.country, out);
  CheckLength(texts.address, kAddressLimit, labels.address, out);
  CheckWholeNumber(texts.code, kCodeLimit, labels.code, out);
  CheckAmount(texts.income, labels.income, out);
  CheckAmount(texts.tax, labels.tax, out);
  return out;
}

}  // namespace records
