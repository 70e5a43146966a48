// The fields of the income table dvel.dbf and access to the current row of a
// dataset over it: values read without their trailing blanks and written as
// given, converted between the program's text and code page 1251.
#pragma once

#include <QString>

namespace xb {
class TDataSet;
}

namespace records {

// Field names of dvel.dbf, in table order.
inline constexpr char kF01[] = "F01";  // row number at the last export
inline constexpr char kF02[] = "F02";  // "1" foreign person, "0" not
inline constexpr char kF03[] = "F03";  // identifier kind "0".."4"
inline constexpr char kF04[] = "F04";  // identifier
inline constexpr char kF05[] = "F05";  // names
inline constexpr char kF06[] = "F06";  // country code
inline constexpr char kF07[] = "F07";  // address
inline constexpr char kF08[] = "F08";  // amount of income, "1234.50"
inline constexpr char kF09[] = "F09";  // tax withheld, "0.00" when none
inline constexpr char kF10[] = "F10";  // income code

// The field's value in the dataset's current row, trailing blanks removed.
QString RowGet(xb::TDataSet &table, const char *field);
// Stores text into the field of the row being appended or changed.
void RowPut(xb::TDataSet &table, const char *field, const QString &value);

}  // namespace records
