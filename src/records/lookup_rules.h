// What the two pick lists of the record editor decide when the user chooses
// a row: the country list refuses Bulgaria, the income code list keeps codes
// 820 and 821 for the condominium and interest kinds and those kinds for
// them. Plain functions; the windows show the warnings and write the choice.
#pragma once

#include <QString>

namespace records {

// Texts of the country pick list.
inline constexpr char kCountryPickCaption[] = "Изберете код държава";
inline constexpr char kCountryPickSortLabel[] = "таблицата е сортирана по колонка Наименование";
// Texts of the income code pick list.
inline constexpr char kIncomePickCaption[] = "Видове доходи";
inline constexpr char kIncomePickDescriptionLabel[] = "Описание на дохода";

// The verdict on the row chosen in a pick list: accepted, or a warning and
// the list stays open.
struct PickCheck {
  bool accepted = true;
  QString warning;
};

// Country chosen by its CODE: "BG" is refused, any other code is accepted.
PickCheck CheckCountryPick(const QString &code);

// Income code chosen by its CODE, with the record editor's selected kind
// (an index of IdKindNames; none selected counts like kinds 0 to 3).
PickCheck CheckIncomePick(const QString &code, int kind);

}  // namespace records
