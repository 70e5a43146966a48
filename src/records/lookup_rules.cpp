// The choice rules of the two pick lists (see lookup_rules.h).
#include "records/lookup_rules.h"

#include "records/row_validation.h"
#include "shell/globals.h"

namespace records {

namespace {

const QString kCondominiumCode = QStringLiteral("820");
const QString kInterestCode = QStringLiteral("821");

}  // namespace

PickCheck CheckCountryPick(const QString &code) {
  if (code.trimmed() != QLatin1String("BG")) return {};
  return {false, QStringLiteral("Изберете код различен от BG      ")};
}

PickCheck CheckIncomePick(const QString &code, int kind) {
  const QString c = code.trimmed();
  const bool bound_code = c == kCondominiumCode || c == kInterestCode;
  const bool bound_kind = kind == kKindCondominium || kind == kKindBankInterest;
  if (bound_code == bound_kind) return {};
  if (bound_code) {
    // A person's kind (or none) with a code that belongs to kinds 4 and 5.
    const QString owner =
        shell::IdKindNames().at(c == kCondominiumCode ? kKindCondominium : kKindBankInterest);
    return {false, QStringLiteral("Избрания код [") + c +
                       QStringLiteral("] е валиден само при идентификатор [") + owner +
                       QStringLiteral("]. ") + QStringLiteral("\n") +
                       QStringLiteral("      Изберете код различен от [") + kCondominiumCode +
                       QStringLiteral(",") + kInterestCode + QStringLiteral("] !    ")};
  }
  const bool condominium = kind == kKindCondominium;
  return {false,
          QStringLiteral("Валиден код при идентификатор [") +
              (condominium ? QStringLiteral("етаж.соб.") : QStringLiteral("лихви по депоз.с/ки")) +
              QStringLiteral("] е [") + (condominium ? kCondominiumCode : kInterestCode) +
              QStringLiteral("] !    ")};
}

PickCellColours CountryPickCellColours(bool current_row, bool focused_cell) {
  if (!current_row) return {QColor(Qt::white), QColor()};
  if (focused_cell) return {QColor(Qt::red), QColor(Qt::yellow)};
  return {QColor(192, 220, 192), QColor()};
}

}  // namespace records
