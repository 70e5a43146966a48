// The agency file as the export writes it: the rows of the income table read
// into detail values, the header from the settings file with the exact
// totals, the whole text checked to fit before anything is written, and the
// file replaced in one step.
#pragma once

#include <QString>
#include <string>
#include <vector>

#include "agencyfile/agency_record.h"

namespace xb {
class TDataSet;
}

namespace agencyfile {

// The rows of the table from its first row, in table order, with their
// record numbers; the current row is left at the end. An amount that does
// not read as a number gives a message naming the row and the value.
struct ExportRows {
  std::vector<DetailValues> rows;
  records::CurrencyUnits total_income = 0;
  records::CurrencyUnits total_tax = 0;
  QString error;
};
ExportRows ReadExportRows(xb::TDataSet &table);

// The header values from the settings file, with the totals.
HeaderValues HeaderFromSettings(records::CurrencyUnits total_income,
                                records::CurrencyUnits total_tax);

// The bytes of the whole file (code page 1251, every line ended by CR LF), or
// the message of the first value that has no room in its field.
struct AgencyFileText {
  std::string bytes;
  QString error;
};
AgencyFileText BuildAgencyFileText(const HeaderValues &header,
                                   const std::vector<DetailValues> &rows);

// Writes bytes to path through a temporary file beside it that replaces the
// old file only when complete; an empty text on success, else the message
// naming the file and the failure (the old file is then unchanged).
QString WriteAgencyFile(const QString &path, const std::string &bytes);

}  // namespace agencyfile
