// The agency file as the export writes it: the rows of the income table read
// into detail records, the header from the settings file with the totals of
// the detail records as written, the whole text checked to fit before
// anything is written, and the file replaced in one step.
#pragma once

#include <QString>
#include <optional>
#include <string>
#include <vector>

#include "agencyfile/agency_record.h"
#include "ui/progress.h"

namespace xb {
class XBO_dBHandler;
}

namespace agencyfile {

// The bytes of the whole file (code page 1251, every line ended by CR LF), or
// the message of the first value that has no room in its field.
struct AgencyFileText {
  std::string bytes;
  QString error;
};

// Builds the file one detail record at a time. The header's totals are the
// sums of the amounts exactly as the detail records write them (each rounded
// to whole cents), so that they always agree with the lines below them
// whatever the precision of the stored amounts.
class AgencyFileComposer {
 public:
  // False, with the message in error(), when the row has no room in the file
  // (a value longer than its field, the 100 000th row); nothing more can be
  // added then.
  bool AddDetail(const DetailValues &row);
  // The header from `header` (its totals replaced by those of the details)
  // followed by the details; when something had no room, the message of too
  // many rows, else of the header, else of the detail.
  AgencyFileText Finish(HeaderValues header);
  const QString &error() const { return error_; }
  int64_t count() const { return count_; }

 private:
  std::string details_;
  records::CurrencyUnits total_income_ = 0;
  records::CurrencyUnits total_tax_ = 0;
  int64_t count_ = 0;
  QString error_;
  bool too_many_ = false;
};

// The whole text for a header and the detail values, through the builder.
AgencyFileText BuildAgencyFileText(const HeaderValues &header,
                                   const std::vector<DetailValues> &rows);

// The row of the table object's current record: its record number, the
// stored texts of F02..F07 and F10, and the two amounts read as numbers; an
// amount that does not read as a number gives the message naming the row
// and the value instead.
struct ExportRow {
  DetailValues values;
  QString error;
};
class ExportRowReader {
 public:
  explicit ExportRowReader(xb::XBO_dBHandler &table);  // looks the fields up
  ExportRow Read();

 private:
  xb::XBO_dBHandler &table_;
  int f02_, f03_, f04_, f05_, f06_, f07_, f08_, f09_, f10_;
};

// The file for the first `rows` rows of the table (record order, rows marked
// deleted passed over) under `header`: the rows that were counted, checked
// and numbered, not rows another program appended since. `progress` hears
// of every row; nullopt when it asked to stop.
std::optional<AgencyFileText> BuildAgencyFileFromTable(xb::XBO_dBHandler &table, int64_t rows,
                                                       const HeaderValues &header,
                                                       const ui::ProgressCallback &progress);

// The header values from the settings file; the totals are the builder's.
HeaderValues HeaderFromSettings();

// Writes bytes to path through a temporary file beside it that replaces the
// old file only when complete; an empty text on success, else the message
// naming the file and the failure (the old file is then unchanged).
QString WriteAgencyFile(const QString &path, const std::string &bytes);

}  // namespace agencyfile
