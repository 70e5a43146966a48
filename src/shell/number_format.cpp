// See number_format.h.
#include "shell/number_format.h"

#include "shell/identifier_checks.h"

namespace shell {

const FormatSettings &AppFormatSettings() {
  static const FormatSettings settings{QLocale::system(), QLatin1Char('.'), 2};
  return settings;
}

QString FormatFixed(double value, int decimals) {
  // QString::number never uses the locale: '.' and no grouping.
  return QString::number(value, 'f', decimals);
}

bool TextToFloat(const QString &text, double *value) {
  const QString trimmed = text.trimmed();
  if (IsNotNumber(trimmed)) return false;
  *value = trimmed.toDouble();  // always the C notation
  return true;
}

}  // namespace shell
