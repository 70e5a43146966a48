// The income codes a row may carry: the allowed ranges, and the two codes that
// belong to one identifier kind only (820 condominium, 821 bank interest).
#pragma once

#include <QString>
#include <QtGlobal>
#include <span>

namespace records {

// One closed range of allowed income codes, compared as whole numbers.
struct IncomeCodeRange {
  int first;
  int last;
};

// The allowed ranges in ascending order: 301-306, 3071-3079, 30710-30714,
// 401-403, 501-509, 601-606, 801-821, 901-902, 904-907.
std::span<const IncomeCodeRange> AllowedIncomeCodeRanges();

// True when the code, read as a whole number, lies in one of the ranges.
bool IsAllowedIncomeCode(qint64 code);

inline constexpr char kCondominiumCode[] = "820";
inline constexpr char kBankInterestCode[] = "821";

// True for the codes "820" and "821", which only kinds 4 and 5 may carry.
bool IsKindBoundCode(const QString &code);

}  // namespace records
