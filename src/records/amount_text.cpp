// Reading, filtering and formatting of amounts (see amount_text.h).
#include "records/amount_text.h"

#include <limits>

#include "ui/input_filter.h"

namespace records {

namespace {

bool IsAsciiDigit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }

}  // namespace

// Sign, integer digits, point, fraction digits, read in one pass: the totals
// walk reads two amounts per row of the table.
std::optional<CurrencyUnits> ReadAmount(const QString &text) {
  const QStringView s = QStringView(text).trimmed();
  qsizetype i = 0;
  bool negative = false;
  if (i < s.size() && (s[i] == QLatin1Char('+') || s[i] == QLatin1Char('-'))) {
    negative = s[i] == QLatin1Char('-');
    ++i;
  }
  // Integer part in units, then the fraction rounded half up to four places.
  constexpr CurrencyUnits kMaxLevs = std::numeric_limits<CurrencyUnits>::max() / kUnitsPerLev - 1;
  CurrencyUnits levs = 0;
  const qsizetype whole_start = i;
  for (; i < s.size() && IsAsciiDigit(s[i]); ++i) {
    const int digit = s[i].unicode() - '0';
    if (levs > (kMaxLevs - digit) / 10) return std::nullopt;
    levs = levs * 10 + digit;
  }
  const bool has_whole = i > whole_start;
  CurrencyUnits fraction = 0;
  qsizetype fraction_digits = 0;
  bool round_up = false;
  if (i < s.size() && s[i] == QLatin1Char('.')) {
    for (++i; i < s.size() && IsAsciiDigit(s[i]); ++i, ++fraction_digits) {
      const int digit = s[i].unicode() - '0';
      if (fraction_digits < 4) fraction = fraction * 10 + digit;
      if (fraction_digits == 4) round_up = digit >= 5;
    }
  }
  if (i != s.size() || (!has_whole && fraction_digits == 0)) return std::nullopt;
  for (qsizetype d = fraction_digits; d < 4; ++d) fraction *= 10;
  const CurrencyUnits units = levs * kUnitsPerLev + fraction + (round_up ? 1 : 0);
  return negative ? -units : units;
}

bool WholeNumberFilterAccepts(const QString &text) {
  return text.isEmpty() || ui::IsWholeNumber(text);
}

bool AmountFilterAccepts(const QString &text) {
  if (text.isEmpty()) return true;
  const qsizetype point = text.indexOf(QLatin1Char('.'));
  if (point >= 0 && text.size() - point - 1 > 2) return false;
  if (text != text.trimmed()) return false;
  return ReadAmount(text).has_value();
}

QString FormatTotal(CurrencyUnits total) {
  // Whole cents, rounded half away from zero.
  const bool negative = total < 0;
  qint64 cents = (negative ? -total : total);
  cents = (cents + kUnitsPerLev / 200) / (kUnitsPerLev / 100);
  // Keep at most 12 significant digits.
  qint64 limit = 1000000000000LL;  // 10^12
  qint64 scale = 1;
  while (cents / scale >= limit) scale *= 10;
  if (scale > 1) cents = (cents + scale / 2) / scale * scale;
  QString text = QString::number(cents / 100) + QLatin1Char('.') +
                 QString::number(cents % 100).rightJustified(2, QLatin1Char('0'));
  if (negative && cents != 0) text.prepend(QLatin1Char('-'));
  return text;
}

}  // namespace records
