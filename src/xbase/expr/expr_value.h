// Values of the xBase expression language: the type codes every node yields
// (also used in error messages by name), the value a node evaluates to, and
// the helper that raises expression errors with printf-style texts.
#pragma once

#include <string>

namespace xb {

// Type codes of expression values. Callers compare against these numbers.
enum class ExpType : int {
  kUnknown = 0,  // no value
  kEmpty = 1,    // argument absent
  kAny = 2,      // only as a required argument type: no check
  kText = 3,
  kNumber = 4,
  kInteger = 5,
  kDate = 6,  // Julian day number
  kDateTime = 7,
  kBoolean = 8,
  kMemo = 9,  // text of a field of another type, unconverted
  kPointer = 10,
};

// "Unknown", "Empty", ... ; codes above 10 give "Invalid Value".
const char *ExpTypeName(ExpType type);

// Number, Integer, Date and DateTime are accepted for one another.
bool IsNumericFamily(ExpType type);

// The value produced by the functions "CTOD" and friends for an empty date;
// a day number of 0 or less is empty as well.
inline constexpr double kEmptyDateValue = 1E100;
bool IsEmptyDate(double day);

// One evaluated value. Text and Memo use `text`; the numeric family uses
// `number` (dates hold the day number); Boolean uses `logic`.
struct ExpValue {
  ExpType type = ExpType::kUnknown;
  std::string text;
  double number = 0;
  bool logic = false;

  static ExpValue Text(std::string s, ExpType t = ExpType::kText);
  static ExpValue Number(double n, ExpType t = ExpType::kNumber);
  static ExpValue Date(double day) { return Number(day, ExpType::kDate); }
  static ExpValue Logic(bool b);
};

// Raises EXbaseExpression with the printf-formatted text.
[[noreturn]] void ThrowExpr(const char *format, ...) __attribute__((format(printf, 1, 2)));

// Longest text any operator or function may produce, and the deepest nesting
// of a parsed expression; beyond them evaluation or parsing fails with an
// expression error instead of exhausting memory or the stack.
inline constexpr size_t kMaxTextLength = 1 << 20;
inline constexpr int kMaxNesting = 200;

// Raises "Result of %s is too long" when `length` exceeds kMaxTextLength.
void CheckTextLength(double length, const char *operation);
// Raises "Numeric overflow in %s" when `value` is not finite; returns it.
double CheckFinite(double value, const char *operation);

}  // namespace xb
