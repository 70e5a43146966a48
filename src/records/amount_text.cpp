// Reading, filtering and formatting of amounts (see amount_text.h).
#include "records/amount_text.h"

#include <QRegularExpression>

#include <limits>
#include "ui/input_filter.h"

namespace records {

namespace {

// Sign, integer digits, point, fraction digits.
const QRegularExpression &AmountPattern() {
  static const QRegularExpression pattern(QStringLiteral("^([+-]?)(\\d*)(?:\\.(\\d*))?$"));
  return pattern;
}

}  // namespace

std::optional<CurrencyUnits> ReadAmount(const QString &text) {
  const QRegularExpressionMatch m = AmountPattern().match(text.trimmed());
  if (!m.hasMatch()) return std::nullopt;
  const QString whole = m.captured(2);
  QString fraction = m.captured(3);
  if (whole.isEmpty() && fraction.isEmpty()) return std::nullopt;
  // Integer part in units, then the fraction rounded half up to four places.
  constexpr CurrencyUnits kMaxLevs = std::numeric_limits<CurrencyUnits>::max() / kUnitsPerLev - 1;
  CurrencyUnits levs = 0;
  for (QChar c : whole) {
    if (levs > (kMaxLevs - c.digitValue()) / 10) return std::nullopt;
    levs = levs * 10 + c.digitValue();
  }
  const bool round_up = fraction.size() > 4 && fraction.at(4).digitValue() >= 5;
  fraction = fraction.left(4).leftJustified(4, QLatin1Char('0'));
  CurrencyUnits units = levs * kUnitsPerLev + fraction.toLongLong() + (round_up ? 1 : 0);
  if (m.captured(1) == QLatin1String("-")) units = -units;
  return units;
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
