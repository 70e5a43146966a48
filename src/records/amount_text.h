// Amounts as the program reads and writes them: decimal texts with a point
// whatever the user's locale, compared as currency values of four decimals,
// and the input filters of the whole-number and amount fields.
#pragma once

#include <QString>
#include <QtGlobal>
#include <optional>

namespace records {

// Ten-thousandths of a lev: the four-decimal currency value in which amounts
// are compared.
using CurrencyUnits = qint64;
inline constexpr CurrencyUnits kUnitsPerLev = 10000;

// Reads an amount: an optional sign, digits with an optional fraction after a
// '.', or a fraction alone; blanks around it are ignored. Rounds to four
// decimals. nullopt for anything else, the empty text included, and for a
// value too large for the currency type.
std::optional<CurrencyUnits> ReadAmount(const QString &text);

// The whole-number filter: the empty text, or an optional sign followed by
// digits that fit in 64 bits.
bool WholeNumberFilterAccepts(const QString &text);

// The amount filter: the empty text, or an amount that ReadAmount reads with
// at most two characters after its point. Exponents and blanks are refused so
// that what is accepted, completed to two decimals, is always a plain amount.
bool AmountFilterAccepts(const QString &text);

// Formats a total for the totals labels: fixed point with two decimals and a
// point, no thousands separators, rounded to at most 12 significant digits.
QString FormatTotal(CurrencyUnits total);

}  // namespace records
