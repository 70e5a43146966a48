// See income_records.h.
#include "records/income_records.h"

#include "ui/codepage.h"
#include "xbase/table/db_handler.h"

namespace records {

int RequiredField(xb::XBO_dBaseFld &table, const char *name) {
  const int field = table.FindField(name);
  if (field == 0) table.FieldGet(name);  // raises the engine's error for the missing field
  return field;
}

QString RecordText(xb::XBO_dBaseFld &table, int field) {
  // StringGet drops a text field's trailing blanks, as the dataset does.
  return codepage::FromCp1251(table.StringGet(field));
}

ReadAheadOn::ReadAheadOn(xb::XBO_dBHandler &table)
    : table_(table), was_on_(table.SetReadBuffer(true)) {}

ReadAheadOn::~ReadAheadOn() { table_.SetReadBuffer(was_on_); }

int64_t CountDeletedRecords(xb::XBO_dBHandler &table) {
  ReadAheadOn read_ahead(table);
  const int64_t count = table.RecordCount();
  int64_t deleted = 0;
  for (int64_t r = 1; r <= count; ++r) {
    table.GoToRecord(r);
    if (table.IsDeleted()) ++deleted;
  }
  return deleted;
}

}  // namespace records
