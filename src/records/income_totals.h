// The sums of the amount columns read straight from the income table file,
// and the pack that follows every deletion of a row, which needs the file to
// itself.
#pragma once

#include <QString>

#include "records/data_entry_rules.h"

namespace records {

// Sums F08 and F09 over the visible rows of the table file at `path`, opened
// shared and read-only beside any dataset that has it open.
AmountTotals SumIncomeTableFile(const QString &path);

// Opens the table file exclusive and read-write, packs it (rows marked
// deleted leave the file, the rows behind them move up) and sums the amounts
// of the rows that remain. Throws the engine's error when the file cannot be
// had alone, because some other program or table object holds it open, or
// when the pack fails; the file then keeps its rows as they were.
AmountTotals PackIncomeTableFile(const QString &path);

}  // namespace records
