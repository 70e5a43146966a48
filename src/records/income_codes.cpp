// The allowed income code ranges (see income_codes.h).
#include "records/income_codes.h"

namespace records {

namespace {

constexpr IncomeCodeRange kAllowedRanges[] = {
    {301, 306}, {3071, 3079}, {30710, 30714}, {401, 403}, {501, 509},
    {601, 606}, {801, 821},   {901, 902},     {904, 907},
};

}  // namespace

std::span<const IncomeCodeRange> AllowedIncomeCodeRanges() { return kAllowedRanges; }

bool IsAllowedIncomeCode(qint64 code) {
  for (const IncomeCodeRange &range : kAllowedRanges) {
    if (code >= range.first && code <= range.last) return true;
  }
  return false;
}

bool IsKindBoundCode(const QString &code) {
  return code == QLatin1String(kCondominiumCode) || code == QLatin1String(kBankInterestCode);
}

}  // namespace records
