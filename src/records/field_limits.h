// The record editor's limits on what its fields take: the length of each
// field and the whole-number and amount filters. The editor enforces them
// while the user types; values that come from a file are checked against the
// same limits before the row rules see them.
#pragma once

#include <QString>
#include <QStringList>

#include "records/stored_row.h"

namespace records {

inline constexpr int kIdentifierLimit = 10;  // Edit1
inline constexpr int kNamesLimit = 40;       // Edit2
inline constexpr int kCountryLimit = 2;      // Edit3
inline constexpr int kAddressLimit = 40;     // Edit4
inline constexpr int kCodeLimit = 5;         // Edit7
inline constexpr int kAmountLimit = 13;      // Edit5, Edit6

// The captions the messages name the fields by.
struct FieldLabels {
  QString foreign, kind, identifier, names, country, address, income, tax, code;
};

// What a row's texts (in the stored form: F02 "1"/"0"/"", F03 one digit or
// "") break of the limits, one message per field, empty when nothing. An
// amount the editor would take with a sign in front is refused too when it is
// negative or 10 000 000 000.00 and more: the agency file has no room for
// such an amount.
QStringList FieldLimitProblems(const StoredRow &texts, const FieldLabels &labels);

}  // namespace records
