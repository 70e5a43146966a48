// Registration of the built-in functions and the helpers their bodies share;
// see expr_functions.h.
#include "xbase/expr/expr_functions.h"

#include <cfloat>
#include <cmath>
#include <cstdio>

#include "xbase/expr/expr_dates.h"
#include "xbase/expr/expr_text.h"

namespace xb {

void AddBuiltin(TxbFunctionReg &reg, const char *name, BuiltinFunction::Body body) {
  reg.Add(std::make_unique<BuiltinFunction>(name, body));
}

void RegisterBuiltinFunctions(TxbFunctionReg &reg) {
  RegisterTextFunctions(reg);
  RegisterMathFunctions(reg);
  RegisterValueFunctions(reg);
}

long long TruncateToInteger(double value) {
  constexpr double kLimit = 9007199254740992.0;  // 2^53
  if (std::isnan(value)) return 0;
  if (value > kLimit) return static_cast<long long>(kLimit);
  if (value < -kLimit) return -static_cast<long long>(kLimit);
  return static_cast<long long>(value);
}

long long IntegerArg(TxbExpArgs &args, size_t i) {
  return TruncateToInteger(args.Get(i, ExpType::kNumber).number);
}

namespace {

// Rounds half away from zero. A value that is a half only up to the error of
// its binary form (2.675 * 100 is 267.49999999999997) counts as a half.
double RoundHalfAway(double x) {
  const double whole = std::trunc(x);
  const double fraction = std::fabs(x - whole);
  const double tolerance = 8 * DBL_EPSILON * std::max(1.0, std::fabs(x));
  if (std::fabs(fraction - 0.5) <= tolerance) return whole + (x < 0 ? -1 : 1);
  return std::round(x);
}

}  // namespace

double RoundToDecimals(double n, long long decimals) {
  if (decimals > 15) return n;
  if (decimals < -308) return 0;
  const double scale = std::pow(10.0, static_cast<double>(decimals < 0 ? -decimals : decimals));
  const double x = decimals >= 0 ? n * scale : n / scale;
  if (std::fabs(x) >= 4503599627370496.0) return n;  // 2^52: already whole at this scale
  const double rounded = RoundHalfAway(x);
  return decimals >= 0 ? rounded / scale : rounded * scale;
}

std::string TextArg(TxbExpArgs &args, size_t i) { return args.Get(i, ExpType::kText).text; }

std::string ValueAsText(const ExpValue &value) {
  switch (value.type) {
    case ExpType::kText:
    case ExpType::kMemo:
      return value.text;
    case ExpType::kDate:
      return ExpDateToShortDate(value.number);
    case ExpType::kNumber:
    case ExpType::kInteger:
    case ExpType::kDateTime: {
      char buf[64];
      std::snprintf(buf, sizeof buf, "%.15g", value.number);
      return buf;
    }
    case ExpType::kBoolean:
      return value.logic ? "T" : "F";
    default:
      return "";
  }
}

int CompareValues(const ExpValue &a, const ExpValue &b) {
  if (IsNumericFamily(a.type) && IsNumericFamily(b.type))
    return a.number < b.number ? -1 : (a.number > b.number ? 1 : 0);
  if (a.type == ExpType::kBoolean && b.type == ExpType::kBoolean)
    return static_cast<int>(a.logic) - static_cast<int>(b.logic);
  return CompareLocale(TrimRightBlanks(a.text), TrimRightBlanks(b.text));
}

}  // namespace xb
