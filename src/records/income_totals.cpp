// See income_totals.h.
#include "records/income_totals.h"

#include <QFile>

#include "records/income_row.h"
#include "ui/engine_text.h"
#include "xbase/table/dbf_table.h"

namespace records {
namespace {

TableSums SumRows(xb::TxbDBFTable &table) {
  // One pass over the whole file: records are read in blocks rather than one
  // by one, and the two fields are looked up once instead of on every row.
  xb::DBFObject &t = table.Table();
  t.SetReadBuffer(true);
  const int f08 = t.FindField(kF08);
  const int f09 = t.FindField(kF09);
  // A missing field is read by name, which raises the engine's error.
  auto get = [&t](int field, const char *name) {
    return QString::fromLatin1(field ? t.StringGet(field) : t.StringGet(name));
  };
  TableSums sums;
  int64_t visible = 0;
  for (table.GoTop(); !table.IsEOF(); table.SkipNext(), ++visible)
    sums.totals.Add(get(f08, kF08), get(f09, kF09));
  sums.has_deleted_rows = visible != t.RecordCount();
  return sums;
}

}  // namespace

TableSums SumIncomeTableFile(const QString &path) {
  xb::TxbDBFTable table(ui::EnginePath(path), /*shared=*/true, /*readWrite=*/false);
  return SumRows(table);
}

TableSums PackIncomeTableFile(const QString &path) {
  xb::TxbDBFTable table(ui::EnginePath(path), /*shared=*/false, /*readWrite=*/true);
  table.Pack();
  return SumRows(table);
}

}  // namespace records
