// The choice rules of the two pick lists (see lookup_rules.h).
#include "records/lookup_rules.h"

#include "records/income_codes.h"
#include "records/row_validation.h"
#include "shell/display_texts.h"

namespace records {

PickCheck CheckCountryPick(const QString &code) {
  if (code.trimmed() != QLatin1String("BG")) return {};
  return {false, QStringLiteral("Изберете код различен от BG      ")};
}

PickCheck CheckIncomePick(const QString &code, int kind) {
  const QString c = code.trimmed();
  const QString condominium_code = QLatin1String(kCondominiumCode);
  const QString interest_code = QLatin1String(kBankInterestCode);
  const bool bound_code = IsKindBoundCode(c);
  const bool bound_kind = kind == kKindCondominium || kind == kKindBankInterest;
  if (bound_code == bound_kind) return {};
  if (bound_code) {
    // A person's kind (or none) with a code that belongs to kinds 4 and 5.
    const QString owner =
        shell::IdKindNames().at(c == condominium_code ? kKindCondominium : kKindBankInterest);
    return {false, QStringLiteral("Избрания код [") + c +
                       QStringLiteral("] е валиден само при идентификатор [") + owner +
                       QStringLiteral("]. ") + QStringLiteral("\n") +
                       QStringLiteral("      Изберете код различен от [") + condominium_code +
                       QStringLiteral(",") + interest_code + QStringLiteral("] !    ")};
  }
  const bool condominium = kind == kKindCondominium;
  return {false,
          QStringLiteral("Валиден код при идентификатор [") +
              (condominium ? QStringLiteral("етаж.соб.") : QStringLiteral("лихви по депоз.с/ки")) +
              QStringLiteral("] е [") + (condominium ? condominium_code : interest_code) +
              QStringLiteral("] !    ")};
}

}  // namespace records
