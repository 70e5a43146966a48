// Built-in functions on values of any type: dates and their texts, number
// formatting and reading, choice, membership, extremes and DESCEND.
#include <cmath>
#include <cstdio>
#include <limits>

#include "xbase/expr/expr_dates.h"
#include "xbase/expr/expr_functions.h"
#include "xbase/expr/expr_text.h"

namespace xb {
namespace {

// DESCEND of a date is this number minus the day number.
constexpr double kDescendDateBase = 5231808;

double DateArg(TxbExpArgs &a, size_t i) { return a.Get(i, ExpType::kDate).number; }

ExpValue Date(TxbExpArgs &) { return ExpValue::Date(TodayJulian()); }

ExpValue Ctod(TxbExpArgs &a) {
  const std::string s = TextArg(a, 0);
  if (s.empty()) return ExpValue::Date(kEmptyDateValue);
  return ExpValue::Date(ParseDateText(s));
}

ExpValue Dtos(TxbExpArgs &a) { return ExpValue::Text(ExpDateToDtos(DateArg(a, 0))); }

ExpValue Dtoc(TxbExpArgs &a) {
  const double day = DateArg(a, 0);
  if (a.Present(1) && a.Get(1, ExpType::kNumber).number == 1)
    return ExpValue::Text(ExpDateToDtos(day));
  return ExpValue::Text(ExpDateToShortDate(day));
}

// 1 for Sunday to 7 for Saturday; day number 0 was a Monday.
ExpValue Dow(TxbExpArgs &a) {
  const double day = DateArg(a, 0);
  if (IsEmptyDate(day)) return ExpValue::Number(0);
  return ExpValue::Number(static_cast<double>((TruncateToInteger(day) + 1) % 7 + 1));
}

ExpValue Descend(TxbExpArgs &a) {
  ExpValue v = a.Get(0, ExpType::kAny);
  switch (v.type) {
    case ExpType::kDate:
    case ExpType::kDateTime:
      if (v.number < kEmptyDateValue) v.number = kDescendDateBase - v.number;
      break;
    case ExpType::kNumber:
    case ExpType::kInteger:
      v.number = v.number == 0 ? 0 : -v.number;
      break;
    case ExpType::kText:
    case ExpType::kMemo:
      for (char &c : v.text) c = static_cast<char>((256 - static_cast<unsigned char>(c)) % 256);
      break;
    case ExpType::kBoolean:
      v.logic = !v.logic;
      break;
    default:
      break;
  }
  return v;
}

ExpValue Empty(TxbExpArgs &a) {
  const ExpValue v = a.Get(0, ExpType::kAny);
  switch (v.type) {
    case ExpType::kDate:
    case ExpType::kDateTime:
      return ExpValue::Logic(IsEmptyDate(v.number));
    case ExpType::kNumber:
    case ExpType::kInteger:
      return ExpValue::Logic(v.number == 0);
    case ExpType::kText:
    case ExpType::kMemo:
      return ExpValue::Logic(v.text.find_first_not_of(' ') == std::string::npos);
    case ExpType::kBoolean:
      return ExpValue::Logic(!v.logic);
    default:
      return ExpValue::Logic(true);
  }
}

// Only the chosen branch is evaluated.
ExpValue Iif(TxbExpArgs &a) {
  const bool condition = a.Get(0, ExpType::kBoolean).logic;
  return a.Get(condition ? 1 : 2, ExpType::kAny);
}

bool SameValue(const ExpValue &x, const ExpValue &y) {
  if (IsNumericFamily(x.type) && IsNumericFamily(y.type)) return x.number == y.number;
  if (x.type == ExpType::kBoolean && y.type == ExpType::kBoolean) return x.logic == y.logic;
  const bool x_text = x.type == ExpType::kText || x.type == ExpType::kMemo;
  const bool y_text = y.type == ExpType::kText || y.type == ExpType::kMemo;
  return x_text && y_text && TrimRightBlanks(x.text) == TrimRightBlanks(y.text);
}

ExpValue InList(TxbExpArgs &a) {
  const ExpValue x = a.Get(0, ExpType::kAny);
  if (x.type == ExpType::kEmpty) return ExpValue::Logic(false);
  for (size_t i = 1; i < a.Count(); ++i)
    if (SameValue(x, a.Get(i, ExpType::kAny))) return ExpValue::Logic(true);
  return ExpValue::Logic(false);
}

ExpValue Between(TxbExpArgs &a) {
  const ExpValue x = a.Get(0, ExpType::kAny);
  if (x.type == ExpType::kEmpty)
    ThrowExpr("%s needed for Argument %d of %s", "Value", 1, "BETWEEN");
  const ExpValue low = a.Get(1, x.type);
  const ExpValue high = a.Get(2, x.type);
  return ExpValue::Logic(CompareValues(low, x) <= 0 && CompareValues(x, high) <= 0);
}

ExpValue Extreme(TxbExpArgs &a, const char *name, int sign) {
  ExpValue best = a.Get(0, ExpType::kAny);
  if (best.type == ExpType::kEmpty) ThrowExpr("A value is required for %s", name);
  for (size_t i = 1; i < a.Count(); ++i) {
    ExpValue v = a.Get(i, ExpType::kAny);
    if (v.type != best.type && !(IsNumericFamily(v.type) && IsNumericFamily(best.type)))
      ThrowExpr("All arguments for %s must be of the same type", name);
    if (CompareValues(v, best) * sign > 0) best = std::move(v);
  }
  return best;
}

ExpValue Max(TxbExpArgs &a) { return Extreme(a, "Max()", 1); }
ExpValue Min(TxbExpArgs &a) { return Extreme(a, "Min()", -1); }

// n right-aligned in `width` characters with `decimals` digits after the
// point; a number that does not fit gives `width` asterisks.
std::string FormatNumber(TxbExpArgs &a) {
  const double n = a.Get(0, ExpType::kNumber).number;
  long long width = a.DefaultNumberWidth();
  if (a.Present(1))
    width = IntegerArg(a, 1);
  else if (width < 0)
    width = a.Node(0)->width;
  const long long decimals = a.Present(2) ? std::max(0LL, IntegerArg(a, 2)) : 0;
  if (width <= 0) return "";
  CheckTextLength(static_cast<double>(width), a.FunctionName().c_str());
  if (decimals + 1 > width) return std::string(width, '*');
  // A double carries no more than 30 meaningful digits after the point; the
  // rest are written as zeros.
  const int d = static_cast<int>(std::min(decimals, 30LL));
  char buffer[512];
  std::snprintf(buffer, sizeof buffer, "%.*f", d, RoundToDecimals(n, d));
  std::string text = buffer;
  text.append(static_cast<size_t>(decimals - d), '0');
  if (text[0] == '-' && text.find_first_not_of("-0.") == std::string::npos) text.erase(0, 1);
  if (static_cast<long long>(text.size()) > width) return std::string(width, '*');
  return std::string(width - text.size(), ' ') + text;
}

ExpValue Str(TxbExpArgs &a) { return ExpValue::Text(FormatNumber(a)); }

ExpValue StrZero(TxbExpArgs &a) {
  std::string text = FormatNumber(a);
  for (char &c : text) {
    if (c != ' ') break;
    c = '0';
  }
  return ExpValue::Text(std::move(text));
}

// The number in s (blanks around it allowed, '.' as decimal separator), 0
// when s is empty or holds no number.
ExpValue Val(TxbExpArgs &a) {
  const auto value = ParseDecimal(TrimControls(TextArg(a, 0)));
  if (!value) return ExpValue::Number(0);
  if (std::fabs(*value) > std::numeric_limits<double>::max())
    ThrowExpr("Numeric overflow in %s", "VAL");
  return ExpValue::Number(static_cast<double>(*value));
}

}  // namespace

void RegisterValueFunctions(TxbFunctionReg &reg) {
  AddBuiltin(reg, "BETWEEN", Between);
  AddBuiltin(reg, "CTOD", Ctod);
  AddBuiltin(reg, "DATE", Date);
  AddBuiltin(reg, "DESCEND", Descend);
  AddBuiltin(reg, "DOW", Dow);
  AddBuiltin(reg, "DTOC", Dtoc);
  AddBuiltin(reg, "DTOS", Dtos);
  AddBuiltin(reg, "EMPTY", Empty);
  AddBuiltin(reg, "IIF", Iif);
  AddBuiltin(reg, "INLIST", InList);
  AddBuiltin(reg, "MAX", Max);
  AddBuiltin(reg, "MIN", Min);
  AddBuiltin(reg, "STR", Str);
  AddBuiltin(reg, "STRZERO", StrZero);
  AddBuiltin(reg, "VAL", Val);
}

}  // namespace xb
