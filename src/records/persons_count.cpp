// The number-of-persons check (see persons_count.h).
#include "records/persons_count.h"

#include "shell/identifier_checks.h"

namespace records {

PersonsCountCheck CheckPersonsCount(const QString &text, qint64 row_count) {
  if (text.isEmpty()) return PersonsCountCheck::kEmpty;
  if (shell::HasNonDigit(text)) return PersonsCountCheck::kNotWholeNumber;
  bool ok = false;
  const qint64 count = text.toLongLong(&ok);
  if (!ok) return PersonsCountCheck::kNotWholeNumber;
  return count > row_count ? PersonsCountCheck::kMoreThanRows : PersonsCountCheck::kAccepted;
}

QString PersonsCountTooLargeText(const QString &text, qint64 row_count) {
  // The "e" after the count is a Latin letter in the program's own text.
  return QStringLiteral("Въведения брой лица : ") + text + QStringLiteral(" e по-голям от     ") +
         QStringLiteral("\n") + QStringLiteral("        въведения брой редове : ") +
         QString::number(row_count);
}

}  // namespace records
