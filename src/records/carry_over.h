// Carry-over from the previous year: the recipients of last year's income
// table come over into the new, empty one, without income codes and with
// zero amounts, for the user to complete row by row.
#pragma once

#include <QString>

class QWidget;

namespace xb {
class TDataSet;
}

namespace records {

// Copies the visible rows of <directory>/dvel.dbf into `table` (open, the
// income table's dataset) after the user's confirmation; returns the number
// of rows copied. Each new row gets F01..F07 of its source row as read
// (trailing blanks dropped), "0.00" in F08 and F09, and blank F10 and
// DATETIME. The table's AfterPost event runs once, after the last row saved,
// not after each. An engine error stops the copy: the unsaved row is
// cancelled, the source closed and the error thrown on; rows saved before it
// remain.
int CarryOverRows(QWidget *parent, xb::TDataSet &table, const QString &directory);

}  // namespace records
