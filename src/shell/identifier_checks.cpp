// Check-digit tests of the identifiers; see identifier_checks.h.
#include "shell/identifier_checks.h"

#include <array>
#include <cstddef>

namespace shell {
namespace {

bool IsDigit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }

int DigitAt(const QString &text, qsizetype index) { return text.at(index).unicode() - '0'; }

// Sum of the digits starting at `first` (0-based), each times its weight.
template <std::size_t N>
int WeightedSum(const QString &text, qsizetype first, const std::array<int, N> &weights) {
  int sum = 0;
  for (std::size_t i = 0; i < N; ++i) sum += DigitAt(text, first + i) * weights[i];
  return sum;
}

bool IsTenDigits(const QString &text) { return text.size() == 10 && !HasNonDigit(text); }

// Remainder by `first` weights, retried with `second` when it is 10, and 0
// when it is 10 again: the ЕИК rule for both its check digits.
template <std::size_t N>
int EikRemainder(const QString &text, qsizetype first_pos, const std::array<int, N> &first,
                 const std::array<int, N> &second) {
  int r = WeightedSum(text, first_pos, first) % 11;
  if (r == 10) {
    r = WeightedSum(text, first_pos, second) % 11;
    if (r == 10) r = 0;
  }
  return r;
}

}  // namespace

bool HasNonDigit(const QString &text) {
  for (QChar c : text) {
    if (!IsDigit(c)) return true;
  }
  return false;
}

bool IsNotNumber(const QString &text) {
  qsizetype i = 0;
  const qsizetype n = text.size();
  auto digits = [&]() {
    const qsizetype start = i;
    while (i < n && IsDigit(text.at(i))) ++i;
    return i - start;
  };
  while (i < n && text.at(i) == QLatin1Char(' ')) ++i;
  if (i < n && (text.at(i) == QLatin1Char('+') || text.at(i) == QLatin1Char('-'))) ++i;
  qsizetype mantissa = digits();
  if (i < n && text.at(i) == QLatin1Char('.')) {
    ++i;
    mantissa += digits();
  }
  if (mantissa == 0) return true;
  if (i < n && (text.at(i) == QLatin1Char('e') || text.at(i) == QLatin1Char('E'))) {
    ++i;
    if (i < n && (text.at(i) == QLatin1Char('+') || text.at(i) == QLatin1Char('-'))) ++i;
    if (digits() == 0) return true;
  }
  return i != n;
}

bool CheckEGN(const QString &text) {
  if (!IsTenDigits(text)) return false;
  static constexpr std::array<int, 9> kWeights = {2, 4, 8, 5, 10, 9, 7, 3, 6};
  int r = WeightedSum(text, 0, kWeights) % 11;
  if (r == 10) r = 0;
  return DigitAt(text, 9) == r;
}

bool CheckLNCh(const QString &text) {
  if (!IsTenDigits(text)) return false;
  static constexpr std::array<int, 9> kWeights = {21, 19, 17, 13, 11, 9, 7, 3, 1};
  return DigitAt(text, 9) == WeightedSum(text, 0, kWeights) % 10;
}

bool CheckServiceNo(const QString &text) {
  if (!IsTenDigits(text)) return false;
  static constexpr std::array<int, 9> kWeights = {4, 3, 2, 7, 6, 5, 4, 3, 2};
  const int r = WeightedSum(text, 0, kWeights) % 11;
  if (r == 1) return false;
  return DigitAt(text, 9) == (r == 0 ? 0 : 11 - r);
}

bool CheckEIK(const QString &text) {
  if (text.size() != 9 && text.size() != 13) return false;
  if (HasNonDigit(text)) return false;
  static constexpr std::array<int, 8> kNineFirst = {1, 2, 3, 4, 5, 6, 7, 8};
  static constexpr std::array<int, 8> kNineSecond = {3, 4, 5, 6, 7, 8, 9, 10};
  if (DigitAt(text, 8) != EikRemainder(text, 0, kNineFirst, kNineSecond)) return false;
  if (text.size() == 9) return true;
  static constexpr std::array<int, 4> kThirteenFirst = {2, 7, 3, 5};
  static constexpr std::array<int, 4> kThirteenSecond = {4, 9, 5, 7};
  return DigitAt(text, 12) == EikRemainder(text, 8, kThirteenFirst, kThirteenSecond);
}

}  // namespace shell
