// Julian day numbers and their text forms; see julian_date.h.
#include "xbase/julian_date.h"

#include <cmath>
#include <cstdio>

#include "xbase/clock.h"
#include "xbase/expr_value.h"

namespace xb {

long long JulianDay(int year, int month, int day) {
  // Fliegel and Van Flandern's integer formula for the Gregorian calendar.
  const long long a = (14 - month) / 12;
  const long long y = year + 4800LL - a;
  const long long m = month + 12LL * a - 3;
  return day + (153 * m + 2) / 5 + 365 * y + y / 4 - y / 100 + y / 400 - 32045;
}

CalendarDate CalendarFromJulian(long long julian) {
  const long long a = julian + 32044;
  const long long b = (4 * a + 3) / 146097;
  const long long c = a - 146097 * b / 4;
  const long long d = (4 * c + 3) / 1461;
  const long long e = c - 1461 * d / 4;
  const long long m = (5 * e + 2) / 153;
  CalendarDate out;
  out.day = static_cast<int>(e - (153 * m + 2) / 5 + 1);
  out.month = static_cast<int>(m + 3 - 12 * (m / 10));
  out.year = static_cast<int>(100 * b + d - 4800 + m / 10);
  return out;
}

bool IsValidCalendarDate(int year, int month, int day) {
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1) return false;
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return day <= kDays[month - 1] + (month == 2 && leap ? 1 : 0);
}

namespace {

// Day numbers whose calendar year has four digits; others count as empty.
bool Printable(double julian) {
  return !IsEmptyDate(julian) && julian >= JulianDay(1, 1, 1) && julian <= JulianDay(9999, 12, 31);
}

bool AllDigits(const std::string &s) {
  for (char c : s)
    if (c < '0' || c > '9') return false;
  return true;
}

// Reads up to `max` digits starting at `pos`; false when there are none.
bool ReadNumber(const std::string &s, size_t &pos, int max, int &out, int &count) {
  out = 0;
  count = 0;
  while (pos < s.size() && count < max && s[pos] >= '0' && s[pos] <= '9') {
    out = out * 10 + (s[pos] - '0');
    ++pos;
    ++count;
  }
  return count > 0;
}

}  // namespace

std::string JulianToDtos(double julian) {
  if (!Printable(julian)) return std::string(8, ' ');
  const CalendarDate d = CalendarFromJulian(static_cast<long long>(julian));
  char buf[16];
  std::snprintf(buf, sizeof buf, "%04d%02d%02d", d.year, d.month, d.day);
  return buf;
}

std::string JulianToShortDate(double julian) {
  if (!Printable(julian)) return std::string(kShortDateLength, ' ');
  const CalendarDate d = CalendarFromJulian(static_cast<long long>(julian));
  char buf[16];
  std::snprintf(buf, sizeof buf, "%02d.%02d.%04d", d.day, d.month, d.year);
  return buf;
}

double ParseDateText(const std::string &text) {
  size_t b = 0, e = text.size();
  while (b < e && static_cast<unsigned char>(text[b]) <= ' ') ++b;
  while (e > b && static_cast<unsigned char>(text[e - 1]) <= ' ') --e;
  const std::string s = text.substr(b, e - b);
  if (s.empty()) return 0;
  int year = 0, month = 0, day = 0;
  if (s.size() == 8 && AllDigits(s)) {
    year = std::stoi(s.substr(0, 4));
    month = std::stoi(s.substr(4, 2));
    day = std::stoi(s.substr(6, 2));
  } else {
    size_t pos = 0;
    int count = 0, year_digits = 0;
    auto separator = [&] {
      if (pos < s.size() && (s[pos] == '.' || s[pos] == '/' || s[pos] == '-')) {
        ++pos;
        return true;
      }
      return false;
    };
    if (!ReadNumber(s, pos, 2, day, count) || !separator() || !ReadNumber(s, pos, 2, month, count) ||
        !separator() || !ReadNumber(s, pos, 4, year, year_digits) || pos != s.size())
      return 0;
    if (year_digits <= 2) year += year < 50 ? 2000 : 1900;
  }
  if (!IsValidCalendarDate(year, month, day)) return 0;
  return static_cast<double>(JulianDay(year, month, day));
}

double TodayJulian() {
  const LocalTime now = Now();
  return static_cast<double>(JulianDay(now.year, now.month, now.day));
}

}  // namespace xb
