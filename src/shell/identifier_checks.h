// Check-digit tests of the four kinds of identifier (ЕГН, ЛНЧ, service number
// of the ВЕСКОР register, ЕИК) and two text tests their callers use. Pure
// functions: true means a valid identifier; the callers choose the kind, the
// accepted length and the message.
#pragma once

#include <QString>

namespace shell {

// True if at least one character is not a decimal digit; false for "".
bool HasNonDigit(const QString &text);

// True unless text is a decimal number in standard notation: leading blanks,
// an optional sign, digits with an optional '.' fraction, an optional
// exponent, and nothing after it. The point is '.' whatever the locale.
bool IsNotNumber(const QString &text);

// Ten digits; the tenth is the weighted sum of the first nine mod 11 (10 -> 0).
bool CheckEGN(const QString &text);
// Ten digits; the tenth is the weighted sum of the first nine mod 10.
bool CheckLNCh(const QString &text);
// Ten digits; the tenth is 11 - (weighted sum mod 11), 0 for remainder 0;
// remainder 1 has no valid check digit.
bool CheckServiceNo(const QString &text);
// Nine or thirteen digits, with a check digit at positions 9 and 13.
bool CheckEIK(const QString &text);

}  // namespace shell
