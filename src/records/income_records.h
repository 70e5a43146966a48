// Record-by-record work on the income table's table object, for the
// operations that visit every row (the export's numbering and its file, the
// carry-over): fields looked up once, texts read straight from the record,
// the file read ahead in blocks, and none of the dataset's per-row events
// and view updates.
#pragma once

#include <QString>
#include <cstdint>

namespace xb {
class XBO_dBaseFld;
class XBO_dBHandler;
}  // namespace xb

namespace records {

// The 1-based number of the named field; the engine's "There is no field
// name" error, naming the table, when it has none.
int RequiredField(xb::XBO_dBaseFld &table, const char *name);

// The field's text in the table's current record, read as the dataset reads
// it (without trailing blanks) and decoded from code page 1251.
QString RecordText(xb::XBO_dBaseFld &table, int field);

// Reads the table ahead in blocks for the life of the object, then puts the
// read-ahead back as it was.
class ReadAheadOn {
 public:
  explicit ReadAheadOn(xb::XBO_dBHandler &table);
  ~ReadAheadOn();
  ReadAheadOn(const ReadAheadOn &) = delete;
  ReadAheadOn &operator=(const ReadAheadOn &) = delete;

 private:
  xb::XBO_dBHandler &table_;
  bool was_on_;
};

// The number of records marked deleted: each leaves a gap in the record
// numbers until the table is packed.
int64_t CountDeletedRecords(xb::XBO_dBHandler &table);

}  // namespace records
