// Completes an amount text to two decimals (see complete_amount.h).
#include "records/complete_amount.h"

namespace records {

QString CompleteAmount(const QString &text) {
  const qsizetype point = text.indexOf(QLatin1Char('.'));
  if (point < 0) return text + QStringLiteral(".00");
  const qsizetype decimals = text.size() - point - 1;
  if (decimals == 0) return text + QStringLiteral("00");
  if (decimals == 1) return text + QStringLiteral("0");
  return text;
}

}  // namespace records
