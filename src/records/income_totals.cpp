// See income_totals.h.
#include "records/income_totals.h"

#include <QFile>

#include "records/income_row.h"
#include "xbase/dbf_table.h"

namespace records {
namespace {

TableSums SumRows(xb::TxbDBFTable &table) {
  TableSums sums;
  int64_t visible = 0;
  for (table.GoTop(); !table.IsEOF(); table.SkipNext(), ++visible) {
    sums.totals.Add(QString::fromLatin1(table.StringGet(kF08)),
                    QString::fromLatin1(table.StringGet(kF09)));
  }
  sums.has_deleted_rows = visible != table.Table().RecordCount();
  return sums;
}

std::string EnginePath(const QString &path) { return QFile::encodeName(path).toStdString(); }

}  // namespace

TableSums SumIncomeTableFile(const QString &path) {
  xb::TxbDBFTable table(EnginePath(path), /*shared=*/true, /*readWrite=*/false);
  return SumRows(table);
}

TableSums PackIncomeTableFile(const QString &path) {
  xb::TxbDBFTable table(EnginePath(path), /*shared=*/false, /*readWrite=*/true);
  table.Pack();
  return SumRows(table);
}

}  // namespace records
