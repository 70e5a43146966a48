// The columns of a row in a CSV file, their names in a header line
// (Bulgarian, Latin, or the table's field name, in any letter case) and the
// order used when the file has no header line:
//
//   ORDER  BULGARIAN      LATIN       FIELD  HOLDS
//     1    ЧФЛ            foreign     F02    1 or Да: a foreign person; 0, Не or empty: not
//     2    Вид            kind        F03    identifier kind 0..4 as stored (4: codes 820, 821)
//     3    Идентификатор  identifier  F04    ЕГН, ЛНЧ, service number or ЕИК
//     4    Имена          names       F05    the recipient's names
//     5    Държава        country     F06    country code of a foreign person
//     6    Адрес          address     F07    address abroad, or of the condominium
//     7    Доход          income      F08    amount of income, point or comma
//     8    Данък          tax         F09    tax withheld, point or comma
//     9    Код            code        F10    income code
#pragma once

#include <QString>
#include <QStringList>
#include <array>
#include <optional>
#include <vector>

#include "records/field_limits.h"
#include "records/stored_row.h"

namespace importfile {

enum Column : int {
  kForeignColumn,
  kKindColumn,
  kIdentifierColumn,
  kNamesColumn,
  kCountryColumn,
  kAddressColumn,
  kIncomeColumn,
  kTaxColumn,
  kCodeColumn,
  kColumnCount,
};

struct ColumnName {
  const char *bulgarian;
  const char *latin;
  const char *field;
};
const ColumnName &NameOfColumn(int column);

// The Bulgarian names of the columns, in order: the header line of the files
// this program writes.
QStringList HeaderCells();
// The captions messages name the columns by.
const records::FieldLabels &ColumnLabels();

// The column a header cell names, or nullopt.
std::optional<int> ColumnOfName(const QString &cell);

// For each cell of a header line the column it names (-1: not one of ours,
// ignored). nullopt when no cell names a column: the line is data. A column
// named twice is an error (`error` set).
std::optional<std::vector<int>> HeaderColumns(const QStringList &cells, QString *error);

// A row's texts in column order.
using RowCells = std::array<QString, kColumnCount>;

// The texts as the stored row holds them: "Да"/"Не" as "1"/"0", an amount
// with one decimal comma (and no point) with a point instead.
records::StoredRow StoredTexts(const RowCells &cells);
// And back, for the files this program writes: amounts with a comma.
RowCells CellsOfRow(const records::StoredRow &row);

}  // namespace importfile
