// The data entry window's rules that need no window: the position label's
// text, what editing a carried-over row does first, the totals of the amount
// columns, the texts of the carry-over offer, and what the window says when
// it cannot use the table.
#pragma once

#include <QString>
#include <QtGlobal>

#include "records/amount_text.h"

namespace records {

// The dataset's state as the position label names it.
enum class BrowseMode { kBrowse, kEdit, kInsert, kOther };

// " преглeд", " редактиране", " нов эапис" or "друг режим" (the Latin e and
// the э are the program's own spelling), preceded by "<record> of <count>"
// unless there is no current record (0) or a row is being inserted.
QString PositionLabelText(BrowseMode mode, qint64 record, qint64 count);

// What the navigator's edit button does before the editor opens, for a row
// whose F10 is blank (a carried-over row).
enum class CarriedOverEdit {
  kNothing,               // F10 is not blank, or nothing can be told
  kStoreCondominiumCode,  // F06 "BG": store "820" in F10 and save the row
  kTellToChooseKind,      // F04 blank: tell the user to choose the kind
};
CarriedOverEdit CarriedOverEditAction(const QString &f10, const QString &f06, const QString &f04);

inline constexpr char kChooseInterestKindText[] =
    "Изберете от (3) И [Идентификатор]\nЛихви по банкови сметки или\nНеоблагаеми лихви по банкови "
    "сметки";

// Why the income table could not be opened, as the window tells it.
enum class TableRefusal {
  kMissing,   // the file is not there
  kReadOnly,  // the user may not write it
  kInUse,     // another program holds it (or the engine refused it otherwise)
};
// The warning shown instead of the window: the file, what happened, that its
// rows are untouched, then the engine's own text for the expert.
QString TableRefusalText(TableRefusal reason, const QString &path, const QString &engine_text);

// The sums of F08 and F09 over the rows. Empty texts count as nothing; so do
// texts that do not read as amounts (the editor never stores such a text).
struct AmountTotals {
  CurrencyUnits income = 0;
  CurrencyUnits tax = 0;
  void Add(const QString &f08, const QString &f09);
};

}  // namespace records
