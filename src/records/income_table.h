// The income table dvel.dbf in the program's data directory: its creation at
// the first start, the check of an existing table's income code field, and
// the duplicate search that rebuilds dvel.ntx.
#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

class QWidget;

namespace records {

// The table's fields, one definition per line as name;type;width;decimals.
// Every row holds 1 + 5 + 1 + 1 + 13 + 40 + 2 + 40 + 13 + 13 + 5 + 20 = 154
// bytes.
QStringList IncomeTableFieldList();

// The warning for an income code field of the wrong type or width, e.g. a
// numeric field of width 3 gives <N3>; empty when the field is C 5.
QString IncomeCodeFieldProblem(char type, int width);

// Makes sure the data directory and dvel.dbf exist: creates the directory
// (with its parents) and an empty table when there is none; otherwise checks
// that F10 is a character field of width 5. A wrong (or missing) F10 is
// shown as a warning over `parent` and gives false: the program must end.
// Engine errors are thrown.
bool PrepareIncomeTable(QWidget *parent);

}  // namespace records
