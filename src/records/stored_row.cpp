// Between a stored row and the record editor's values (see stored_row.h).
#include "records/stored_row.h"

#include "records/complete_amount.h"
#include "records/editor_rules.h"

namespace records {

bool operator==(const StoredRow &a, const StoredRow &b) {
  return a.foreign_flag == b.foreign_flag && a.kind == b.kind && a.identifier == b.identifier &&
         a.names == b.names && a.country == b.country && a.address == b.address &&
         a.income == b.income && a.tax == b.tax && a.code == b.code;
}

StoredRow StoreRow(const RowValues &values) {
  StoredRow row;
  row.foreign_flag = values.foreign ? QStringLiteral("1") : QStringLiteral("0");
  row.kind = StoredKind(values.kind);
  row.identifier = values.identifier;
  row.names = values.names;
  row.country = values.country;
  row.address = values.address;
  row.income = CompleteAmount(values.income);
  row.tax = CompleteAmount(values.tax.isEmpty() ? QStringLiteral("0.00") : values.tax);
  row.code = values.code;
  return row;
}

RowValues ValuesOfStoredRow(const StoredRow &row) {
  const StoredRowView view = ViewOfStoredRow(row.foreign_flag, row.kind, row.code);
  RowValues values;
  values.foreign = view.foreign;
  values.kind = view.kind;
  values.identifier = row.identifier;
  values.names = row.names;
  values.country = row.country;
  values.address = row.address;
  values.code = row.code;
  values.income = row.income;
  values.tax = row.tax;
  return values;
}

}  // namespace records
