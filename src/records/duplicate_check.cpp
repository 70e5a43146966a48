// The key rules of the duplicate search (see duplicate_check.h).
#include "records/duplicate_check.h"

#include "records/income_codes.h"
#include "ui/codepage.h"

namespace records {

namespace {

constexpr qsizetype kIdentifierWidth = 13;  // width of F04

}  // namespace

bool SkipsDuplicateSearch(const QString &identifier, const QString &code) {
  return identifier == QLatin1String(kNoIdentifier) || code == QLatin1String(kCondominiumCode);
}

std::string DuplicateSearchKey(const QString &identifier, const QString &code) {
  QString key = identifier;
  if (key.size() < kIdentifierWidth)
    key += QString(kIdentifierWidth - key.size(), QLatin1Char(' '));
  return codepage::ToCp1251(key + code);
}

bool TakesPartInDuplicateRule(const QString &identifier, const QString &code) {
  return !SkipsDuplicateSearch(identifier, code) &&
         (!identifier.isEmpty() || IsKindBoundCode(code));
}

QString DuplicateWarningText(qint64 record, const QString &identifier, const QString &code) {
  return QStringLiteral(
             "\nЗа едно лице, доходите от един вид, се въвеждат сумарно !     \n\n"
             "                 Имате въведен ред (") +
         QString::number(record) + QStringLiteral(") със същите") + QStringLiteral("\n") +
         QStringLiteral("                 <идентификатор> и <код доход>") + QStringLiteral("\n") +
         QStringLiteral("                        ") + identifier +
         QStringLiteral("                 ") + code;
}

qint64 DuplicateToReport(qint64 found, bool edit_mode, qint64 edited_record,
                         const QString &identifier, const QString &code) {
  if (found == 0) return 0;
  if (edit_mode && found == edited_record) return 0;
  if (identifier == QLatin1String(kNoIdentifier)) return 0;
  if (identifier.isEmpty() && !IsKindBoundCode(code)) return 0;
  return found;
}

}  // namespace records
