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

// The record number of a saved row with this identifier and income code, 0
// when none (the texts of the editor's fields, not yet saved). Rebuilds
// dvel.ntx beside the table on every call, then searches it unless the
// identifier is "0000000000" or the code "820", which may repeat. The table
// is read as last saved: the row being edited is there with its old values.
qint64 FindDuplicateRow(const QString &identifier, const QString &code);

}  // namespace records
