// Row access through a dataset (see income_row.h).
#include "records/income_row.h"

#include "ui/codepage.h"
#include "xbase/dataset/dataset.h"

namespace records {

QString RowGet(xb::TDataSet &table, const char *field) {
  std::string value = table.FieldByName(field).AsString();
  while (!value.empty() && value.back() == ' ') value.pop_back();
  return codepage::FromCp1251(value);
}

void RowPut(xb::TDataSet &table, const char *field, const QString &value) {
  table.FieldByName(field).SetAsString(codepage::ToCp1251(value));
}

}  // namespace records
