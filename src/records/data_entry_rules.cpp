// The data entry window's rules (see data_entry_rules.h).
#include "records/data_entry_rules.h"

namespace records {

QString PositionLabelText(BrowseMode mode, qint64 record, qint64 count) {
  QString text;
  switch (mode) {
    case BrowseMode::kBrowse:
      text = QStringLiteral(" преглeд");  // the sixth letter is a Latin e
      break;
    case BrowseMode::kEdit:
      text = QStringLiteral(" редактиране");
      break;
    case BrowseMode::kInsert:
      text = QStringLiteral(" нов эапис");
      break;
    case BrowseMode::kOther:
      text = QStringLiteral("друг режим");
      break;
  }
  if (record <= 0 || mode == BrowseMode::kInsert) return text;
  return QStringLiteral("%1 of %2").arg(record).arg(count) + text;
}

CarriedOverEdit CarriedOverEditAction(const QString &f10, const QString &f06, const QString &f04) {
  if (!f10.isEmpty()) return CarriedOverEdit::kNothing;
  if (f06 == QLatin1String("BG")) return CarriedOverEdit::kStoreCondominiumCode;
  if (f04.isEmpty()) return CarriedOverEdit::kTellToChooseKind;
  return CarriedOverEdit::kNothing;
}

QString TableRefusalText(TableRefusal reason, const QString &path, const QString &engine_text) {
  QString why;
  switch (reason) {
    case TableRefusal::kMissing:
      why = QStringLiteral("Файлът с данните не е намерен:\n") + path;
      break;
    case TableRefusal::kReadOnly:
      why = QStringLiteral("Файлът с данните не може да бъде отворен, защото е само за четене "
                           "(нямате право да записвате в него):\n") +
            path + QStringLiteral("\n\nРедовете в него не са променени.");
      break;
    case TableRefusal::kInUse:
      why = QStringLiteral("Файлът с данните не може да бъде отворен, защото се използва от "
                           "друга програма:\n") +
            path +
            QStringLiteral("\n\nРедовете в него не са променени. Затворете другата програма и "
                           "опитайте отново.");
      break;
  }
  return why + QStringLiteral("\n\n") + engine_text;
}

void AmountTotals::Add(const QString &f08, const QString &f09) {
  for (auto [text, sum] : {std::pair{&f08, &income}, std::pair{&f09, &tax}}) {
    if (const auto value = ReadAmount(*text)) *sum += *value;
  }
}

}  // namespace records
