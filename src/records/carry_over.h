// Carry-over from the previous year: the recipients of last year's income
// table come over into the new, empty one, without income codes and with
// zero amounts, for the user to complete row by row.
#pragma once

#include <QString>
#include <cstdint>
#include <optional>

#include "ui/progress.h"

class QWidget;

namespace xb {
class TXbaseDataSet;
class XBO_dBHandler;
}  // namespace xb

namespace records {

// Copies the visible rows of <directory>/dvel.dbf into `table` (open, the
// income table's dataset) after the user's confirmation, showing the copy's
// progress with a cancel button; returns the number of rows copied. Each new
// row gets F01..F07 of its source row as read (trailing blanks dropped),
// "0.00" in F08 and F09, and blank F10 and DATETIME. The table's AfterPost
// event runs once, after the copy, not per row. A copy that is cancelled or
// stops on an engine error leaves the table as it was (the error is thrown
// on); the source is closed in every case.
int CarryOverRows(QWidget *parent, xb::TXbaseDataSet &table, const QString &directory);

// The copy itself: appends to `target` one row per record of `source` that
// is present at the start and not marked deleted, in record order, all in
// one write batch. nullopt when `progress` asked to stop: the batch is then
// rolled back and `target` holds what it held before; an engine error rolls
// back too and is thrown on. The target object stands on no particular
// record afterwards.
std::optional<int64_t> CopyPreviousYearRows(xb::XBO_dBHandler &source, xb::XBO_dBHandler &target,
                                            const ui::ProgressCallback &progress);

}  // namespace records
