// The walk over the income table that the export and the printing make
// before they run: every row must have an income other than 0.00, a tax and
// an income code, and each complete row gets its record number in F01.
#pragma once

#include <QString>
#include <cstdint>

#include "ui/progress.h"

namespace xb {
class XBO_dBHandler;
}

namespace agencyfile {

inline constexpr char kNoDataText[] = "Няма въведени данни !    ";
inline constexpr char kIncompleteRowText[] =
    "Има непопълнени данни в         \n      <Код на дохода>\n    <Размер на дохода>\n"
    "<Размер на удържания данък>";

// A row is incomplete when its income is empty or an amount that the file
// writes as 0.00 ("0.00", and also "0", " 0.004" as other products store
// them), its tax is empty, or its income code is empty (texts without
// trailing blanks). An income that is no number at all is left for the
// file's own message.
bool IsIncompleteRow(const QString &income, const QString &tax, const QString &code);

struct Numbering {
  // 0 when every row was complete, else the record number of the first
  // incomplete row, where the walk stopped.
  int64_t incomplete_record = 0;
  int64_t rewritten = 0;  // rows whose F01 had to change
  bool complete() const { return incomplete_record == 0; }
};

// Walks the table object from record 1 in record order (rows marked deleted
// are passed over): each complete row gets F01 = its record number as five
// digits; the first incomplete row ends the walk, and the rows before it
// keep their numbers. Records past the 99 999th, which a detail record has
// no room for, are not visited. Only rows whose F01 is not already their number are
// rewritten, all of them in one write batch; a row that another program holds
// locked for editing stops the walk with the dataset's "Record is locked by
// another user", as saving it would. `progress` hears of every row;
// the walk is not stopped half way, so its answer is not looked at. The
// table object is left on no particular record: a dataset over it must be
// moved before it is used again.
Numbering NumberCompleteRows(xb::XBO_dBHandler &table, const ui::ProgressCallback &progress);

}  // namespace agencyfile
