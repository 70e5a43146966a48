// Expression dates; see expr_dates.h.
#include "xbase/expr/expr_dates.h"

#include "xbase/expr/expr_value.h"
#include "xbase/file/byte_helpers.h"
#include "xbase/file/clock.h"
#include "xbase/file/short_date.h"

namespace xb {
namespace {

// Day numbers of years 1 to 9999; others print as the empty date.
bool Printable(double day) {
  return !IsEmptyDate(day) && day >= JulianFromDate(1, 1, 1) && day <= JulianFromDate(9999, 12, 31);
}

}  // namespace

std::string ExpDateToDtos(double day) {
  if (!Printable(day)) return std::string(8, ' ');
  return JulianToDtos(static_cast<int32_t>(day));
}

std::string ExpDateToShortDate(double day) {
  if (!Printable(day))
    return std::string(JulianToShortDate(JulianFromDate(2000, 12, 31)).size(), ' ');
  return JulianToShortDate(static_cast<int32_t>(day));
}

double ParseDateText(const std::string &text) {
  const std::string_view s = TrimBlanks(text);
  if (s.empty()) return 0;
  if (s.size() == 8 && s.find_first_not_of("0123456789") == std::string_view::npos) {
    const int year = std::stoi(std::string(s.substr(0, 4)));
    const int month = std::stoi(std::string(s.substr(4, 2)));
    const int day = std::stoi(std::string(s.substr(6, 2)));
    return IsValidDate(year, month, day) ? JulianFromDate(year, month, day) : 0;
  }
  const auto day = ShortDateToJulian(s);
  return day ? *day : 0;
}

double TodayJulian() {
  const LocalTime now = Now();
  return JulianFromDate(now.year, now.month, now.day);
}

}  // namespace xb
