// The completeness walk; see export_rows.h.
#include "agencyfile/export_rows.h"

#include <algorithm>

#include "agencyfile/agency_record.h"
#include "records/income_records.h"
#include "records/income_row.h"
#include "xbase/dataset/dataset_types.h"
#include "xbase/dataset_messages.h"
#include "xbase/table/db_handler.h"
#include "xbase/table/write_batch.h"

namespace agencyfile {

bool IsIncompleteRow(const QString &income, const QString &tax, const QString &code) {
  if (income.isEmpty() || tax.isEmpty() || code.isEmpty()) return true;
  // Another product may store no income as "0" or "0.000", or an amount
  // below half a cent: the file would say 0.00 all the same.
  const std::optional<records::CurrencyUnits> value = records::ReadAmount(income);
  return value && RoundedToCents(*value) == 0;
}

Numbering NumberCompleteRows(xb::XBO_dBHandler &table, const ui::ProgressCallback &progress) {
  using records::RecordText;
  const int f01 = records::RequiredField(table, records::kF01);
  const int f08 = records::RequiredField(table, records::kF08);
  const int f09 = records::RequiredField(table, records::kF09);
  const int f10 = records::RequiredField(table, records::kF10);
  records::ReadAheadOn read_ahead(table);
  // A record number that has no room in a detail record is never cut into
  // F01; the export refuses such a table before it gets here.
  const int64_t count = std::min<int64_t>(table.RecordCount(), kMaxDetailRecords);
  Numbering numbering;
  // One header lock and one flush for all the rewrites; an error ends the
  // batch with the rows before it numbered.
  xb::TxbWriteBatch batch(table);
  for (int64_t r = 1; r <= count; ++r) {
    if (progress) progress(r - 1, count);
    table.GoToRecord(r);
    if (table.IsDeleted()) continue;
    if (IsIncompleteRow(RecordText(table, f08), RecordText(table, f09), RecordText(table, f10))) {
      numbering.incomplete_record = r;
      break;
    }
    // Put the number into the record as a save would, and write the record
    // only when that changed it.
    const std::string before = table.FieldGet(f01);
    table.StringPut(f01, QStringLiteral("%1").arg(r, 5, 10, QLatin1Char('0')).toStdString());
    if (table.FieldGet(f01) == before) continue;
    // A row another program is editing is not written under its feet.
    if (!table.LockRecord()) throw xb::EDatabaseError(xb::dsmsg::kRecordLocked);
    try {
      table.WriteRecord(r);
    } catch (...) {
      table.UnlockRecord();
      throw;
    }
    table.UnlockRecord();
    ++numbering.rewritten;
  }
  batch.Commit();
  if (progress && numbering.complete()) progress(count, count);
  return numbering;
}

}  // namespace agencyfile
