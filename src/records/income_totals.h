// The sums of the amount columns read straight from the income table file,
// and the pack that follows every deletion of a row, which needs the file to
// itself.
#pragma once

#include <QString>

#include "records/data_entry_rules.h"

namespace records {

// What a walk over the table file found.
struct TableSums {
  AmountTotals totals;
  // The file still holds rows marked deleted (an earlier pack could not have
  // the file alone), so record numbers have gaps.
  bool has_deleted_rows = false;
};

// Sums F08 and F09 over the visible rows of the table file at `path`, opened
// shared and read-only beside any dataset that has it open.
TableSums SumIncomeTableFile(const QString &path);

// Opens the table file exclusive and read-write, packs it (rows marked
// deleted leave the file, the rows behind them move up) and sums the amounts
// of the rows that remain. Throws the engine's error when the file cannot be
// had alone, because some other program or table object holds it open, or
// when the pack fails; the file then keeps its rows as they were.
TableSums PackIncomeTableFile(const QString &path);

}  // namespace records
