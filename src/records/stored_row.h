// A row of the income table as its fields F02..F10 hold it, and the two ways
// between it and the record editor's values: what "Запис" stores for the
// values of the editor's fields, and the values a stored row (or one read
// from a file in the same form) shows in the editor.
#pragma once

#include <QString>

#include "records/row_validation.h"

namespace records {

// The texts of F02..F10, without trailing blanks. F01 (the row number at the
// last export) and DATETIME are never part of it.
struct StoredRow {
  QString foreign_flag;  // F02 "1" / "0"
  QString kind;          // F03 "0".."4"
  QString identifier;    // F04
  QString names;         // F05
  QString country;       // F06
  QString address;       // F07
  QString income;        // F08, as CompleteAmount made it
  QString tax;           // F09, "0.00" when none was given
  QString code;          // F10
};

bool operator==(const StoredRow &a, const StoredRow &b);

// What the record editor writes for the values of its fields: F02 from the
// choice "Да"/"Не", F03 the kind as one digit (kind 5 as "4"), the texts as
// they are, both amounts completed to two decimals and an empty tax as
// "0.00". The values are those the editor validated: a foreign person's
// country already in capitals.
StoredRow StoreRow(const RowValues &values);

// The values a row shows when the editor opens it: the kind from F02, F03 and
// F10 (no kind when the stored one cannot be shown), every text as stored.
RowValues ValuesOfStoredRow(const StoredRow &row);

}  // namespace records
