// The number format of amounts: always '.' and two decimals, whatever the
// user's locale says.
#pragma once

#include <QChar>
#include <QLocale>
#include <QString>

namespace shell {

// The user's locale, with '.' as decimal separator and two currency decimals.
// Amounts are always written and read with these, whatever the locale says.
struct FormatSettings {
  QLocale locale;
  QChar decimal_separator = QLatin1Char('.');
  int currency_decimals = 2;
};
const FormatSettings &AppFormatSettings();

// value with `decimals` digits after a '.', no grouping ("-1234.50").
QString FormatFixed(double value, int decimals);
// Reads a number written with '.' (blanks around it allowed, no grouping);
// false when the text is not a number.
bool TextToFloat(const QString &text, double *value);

}  // namespace shell
