// The stored form of an amount of income or tax: a decimal text with a point
// and exactly two decimals, made from what the user typed.
#pragma once

#include <QString>

namespace records {

// Pads the decimals of an amount typed with a point to two: "1234" becomes
// "1234.00", "12." becomes "12.00", "12.5" becomes "12.50"; a text with two or
// more decimals is returned unchanged.
QString CompleteAmount(const QString &text);

}  // namespace records
