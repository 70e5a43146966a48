// The check of the number of persons a report covers: a whole number, typed
// by the user, not greater than the number of rows of the income table.
#pragma once

#include <QString>
#include <QtGlobal>

namespace records {

enum class PersonsCountCheck {
  kAccepted,
  kEmpty,           // nothing typed
  kNotWholeNumber,  // a sign, a point or anything but digits
  kMoreThanRows,    // greater than the number of rows
};

// Checks the typed text against the number of rows. Leading zeros are
// allowed; the caller keeps the text as typed.
PersonsCountCheck CheckPersonsCount(const QString &text, qint64 row_count);

// The warning for a count greater than the number of rows.
QString PersonsCountTooLargeText(const QString &text, qint64 row_count);

inline constexpr char kPersonsCountEmptyText[] =
    "Въведете брой лица, за които подавате справката !";
inline constexpr char kPersonsCountNotWholeText[] =
    "Броят лица трябва да е цяло число, написано само с цифри !";

}  // namespace records
