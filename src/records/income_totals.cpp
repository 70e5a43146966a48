// See income_totals.h.
#include "records/income_totals.h"

#include <QFile>

#include "records/income_row.h"
#include "xbase/dbf_table.h"

namespace records {
namespace {

AmountTotals SumRows(xb::TxbDBFTable &table) {
  AmountTotals totals;
  for (table.GoTop(); !table.IsEOF(); table.SkipNext()) {
    totals.Add(QString::fromLatin1(table.StringGet(kF08)), QString::fromLatin1(table.StringGet(kF09)));
  }
  return totals;
}

std::string EnginePath(const QString &path) { return QFile::encodeName(path).toStdString(); }

}  // namespace

AmountTotals SumIncomeTableFile(const QString &path) {
  xb::TxbDBFTable table(EnginePath(path), /*shared=*/true, /*readWrite=*/false);
  return SumRows(table);
}

AmountTotals PackIncomeTableFile(const QString &path) {
  xb::TxbDBFTable table(EnginePath(path), /*shared=*/false, /*readWrite=*/true);
  table.Pack();
  return SumRows(table);
}

}  // namespace records
