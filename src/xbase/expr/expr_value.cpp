// Expression values and errors; see expr_value.h.
#include "xbase/expr/expr_value.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <vector>

#include "xbase/xbase_error.h"

namespace xb {

const char *ExpTypeName(ExpType type) {
  static const char *const kNames[] = {"Unknown", "Empty",   "Any",    "Text",
                                       "Number",  "Integer", "Date",   "DateTime",
                                       "Boolean", "Memo",    "Pointer"};
  const int code = static_cast<int>(type);
  if (code < 0 || code > 10) return "Invalid Value";
  return kNames[code];
}

bool IsNumericFamily(ExpType type) {
  return type == ExpType::kNumber || type == ExpType::kInteger || type == ExpType::kDate ||
         type == ExpType::kDateTime;
}

bool IsEmptyDate(double day) { return day <= 0 || day >= kEmptyDateValue; }

ExpValue ExpValue::Text(std::string s, ExpType t) {
  ExpValue v;
  v.type = t;
  v.text = std::move(s);
  return v;
}

ExpValue ExpValue::Number(double n, ExpType t) {
  ExpValue v;
  v.type = t;
  v.number = n;
  return v;
}

ExpValue ExpValue::Logic(bool b) {
  ExpValue v;
  v.type = ExpType::kBoolean;
  v.logic = b;
  return v;
}

void ThrowExpr(const char *format, ...) {
  va_list args;
  va_start(args, format);
  va_list copy;
  va_copy(copy, args);
  const int n = std::vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  std::vector<char> buf(n > 0 ? n + 1 : 1);
  std::vsnprintf(buf.data(), buf.size(), format, args);
  va_end(args);
  throw EXbaseExpression(std::string(buf.data()));
}

void CheckTextLength(double length, const char *operation) {
  if (!(length <= static_cast<double>(kMaxTextLength)))
    ThrowExpr("Result of %s is too long", operation);
}

double CheckFinite(double value, const char *operation) {
  if (!std::isfinite(value)) ThrowExpr("Numeric overflow in %s", operation);
  return value;
}

}  // namespace xb
