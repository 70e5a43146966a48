// The layout of the agency file's records, stated once for the writer (the
// export) and the reader (the checker): cutting a record into its 13 fields,
// the amount format, building the header and detail records from plain
// values, and fitting the payer's address into the header.
#pragma once

#include <QString>
#include <QStringView>
#include <array>
#include <optional>

#include "records/amount_text.h"

namespace agencyfile {

// File level: text in code page 1251, no byte order mark, one record per
// line. The writer ends every line with CR LF; agency_file_reader.h holds the
// reader's rules. Line 1 is the header record, lines 2..N+1 the N detail
// records; every record is 139 characters. Both kinds share one cut:
//
// FIELD  OFFSET  SIZE  HEADER RECORD                  DETAIL RECORD
//   1       0      5   "00000"                        record number, 5 digits
//   2       5      1   blank                          foreign person "1"/"0"
//   3       6      1   blank                          identifier kind "0".."4"
//   4       7     13   payer's identifier             person's identifier
//   5      20     40   payer's name                   person's names
//   6      60      2   two blanks                     country code
//   7      62     40   payer's address                person's address
//   8     102     13   total income (amount format)   income (amount format)
//   9     115     13   total tax (amount format)      tax (amount format)
//  10     128      5   five blanks                    income code, left-aligned
//  11     133      1   "1": liquidation/insolvency    blank
//  12     134      1   "1": legal successor           blank
//  13     135      4   tax year                       four blanks
//
// Text fields are left-aligned and padded with blanks. The amount format is
// 13 characters: 1 to 10 digits right-aligned with blanks in front, '.' at
// offset 10, two digits after it; no sign, no grouping.

// The field widths of every record, as the program stores them.
inline constexpr char RecordFieldWidths[] = "005,001,001,013,040,002,040,013,013,005,001,001,004";

inline constexpr int kFieldCount = 13;
inline constexpr int kRecordLength = 139;
inline constexpr int kMaxDetailRecords = 99999;
inline constexpr char kHeaderRecordNumber[] = "00000";
inline constexpr char kLineEnd[] = "\r\n";  // what the writer ends every line with

// The writer's message for a table with more rows than a file can hold.
QString TooManyRecordsText();

// Field numbers, as the checker prints them in its fault lines.
enum FieldNo : int {
  kRecordNumberField = 1,
  kForeignFlagField = 2,
  kIdKindField = 3,
  kIdentifierField = 4,
  kNamesField = 5,
  kCountryField = 6,
  kAddressField = 7,
  kIncomeField = 8,
  kTaxField = 9,
  kIncomeCodeField = 10,
  kLiquidationFlagField = 11,
  kSuccessorFlagField = 12,
  kTaxYearField = 13,
};

struct FieldSpan {
  int offset = 0;  // 0-based
  int width = 0;
};

// Offset and width of field `field` (1..13), read from RecordFieldWidths.
FieldSpan SpanOf(int field);

// The 13 fields of one record; index = field number - 1. The views point into
// the line given to SplitRecord, which must outlive them.
using RecordFields = std::array<QStringView, kFieldCount>;

// Cuts the first 139 characters of a line into its fields. A shorter line
// gives shorter or empty fields at its end; nothing past the line is read.
RecordFields SplitRecord(QStringView line);

// Removes blanks (and control characters, which count as blanks) from one or
// both ends of a field.
QStringView TrimLeftBlanks(QStringView text);
QStringView TrimRightBlanks(QStringView text);
QStringView TrimBlanks(QStringView text);

// ---- Amounts ----------------------------------------------------------------

inline constexpr int kAmountWidth = 13;
inline constexpr int kAmountPointOffset = 10;

// The amount format of a value, rounded half away from zero to two decimals;
// nullopt when it is negative or does not fit (10 000 000 000.00 or more).
std::optional<QString> FormatAmount(records::CurrencyUnits value);

// Reads a 13-character amount field that has blanks, then digits, then '.'
// at offset 10 and two digits (blanks alone before the point read as 0).
// nullopt for a field of any other shape, such as digits that stand apart
// from the point ("12", blanks, ".00").
std::optional<records::CurrencyUnits> ReadAmountField(QStringView field);

// A value as the amount format writes it: rounded half away from zero to
// whole cents.
records::CurrencyUnits RoundedToCents(records::CurrencyUnits value);

// A value written fixed point with two decimals (rounded half away from
// zero) and '.', no grouping, however large: "-1234.50".
QString AmountText(records::CurrencyUnits value);

// ---- Building records ------------------------------------------------------

// The header's values as the payer data hold them.
struct HeaderValues {
  QString payer_id;          // settings: owner's identifier
  QString payer_name;        // settings: owner's name
  QString composed_address;  // the one-line correspondence address
  QString house_number;      // settings: owner's stored house number
  records::CurrencyUnits total_income = 0;
  records::CurrencyUnits total_tax = 0;
  QString status;    // "Active", "Stopped", "Target" or "StoppedTarget"
  QString tax_year;  // as stored
};

// One row of the income table as stored: the texts are written at their full
// width, the amounts reformatted.
struct DetailValues {
  int record_number = 0;  // 1..99999
  QString foreign_flag;   // F02
  QString id_kind;        // F03
  QString identifier;     // F04
  QString names;          // F05
  QString country;        // F06
  QString address;        // F07
  records::CurrencyUnits income = 0;
  records::CurrencyUnits tax = 0;
  QString income_code;  // F10
};

// A built record (139 characters, no line end) or, when a value has no room
// in its field, the message saying which one; nothing is ever cut silently.
struct BuiltRecord {
  QString text;
  QString error;
  bool ok() const { return error.isEmpty(); }
};

BuiltRecord BuildHeaderRecord(const HeaderValues &values);
BuiltRecord BuildDetailRecord(const DetailValues &values);

// The header's flags 11 and 12 for a payer status; nullopt for a status that
// is none of the four.
struct StatusFlags {
  QChar liquidation;
  QChar successor;
};
std::optional<StatusFlags> FlagsForStatus(const QString &status);

// The composed address fitted to the header's 40 characters: cut at 40 and
// backed off to the last blank so that no word is broken, unless the "№"
// sign stands after position 35 and the house number has 4 or more
// characters. An address with no blank in its first 40 characters keeps the
// hard cut rather than losing everything. The result is padded to 40.
QString FitHeaderAddress(const QString &address, const QString &house_number);

}  // namespace agencyfile
