// NTX key bytes from expression values (rules in ntx_key.h).
#include "xbase/index/ntx_key.h"

#include <cmath>
#include <cstdio>

#include "xbase/file/byte_helpers.h"
#include "xbase/file/text_case.h"

namespace xb {

std::string NtxCharacterKey(std::string_view text, bool trim, bool general, size_t length) {
  if (trim) {
    const size_t end = text.find_last_not_of(' ');
    text = end == std::string_view::npos ? std::string_view() : text.substr(0, end + 1);
  }
  if (text.size() > length) text = text.substr(0, length);
  return general ? UpperCp1251(text) : std::string(text);
}

std::string NtxNumericKey(double value, int length, int decimals) {
  if (length <= 0) return std::string();
  char buffer[400];
  const int n = std::snprintf(buffer, sizeof buffer, "%*.*f", length, decimals < 0 ? 0 : decimals,
                              std::fabs(value));
  if (n < 0 || n > length || !std::isfinite(value)) return std::string(length, '*');
  std::string key(buffer, n);
  const bool negative = value < 0 && key.find_first_of("123456789") != std::string::npos;
  for (char &c : key) {
    if (c == ' ') c = '0';
    if (negative && c >= '0' && c <= '9') c = static_cast<char>(92 - c);
  }
  return key;
}

std::string NtxDateKey(double julian_day) {
  // Dates after 31 Dec 9999 have no yyyymmdd form; they count as empty.
  if (!(julian_day > 0) || julian_day > 5373484.0) return "00000000";
  const CalendarDate date = DateFromJulian(static_cast<int32_t>(julian_day));
  if (date.year < 1) return "00000000";
  char buffer[48];
  std::snprintf(buffer, sizeof buffer, "%04d%02d%02d", date.year, date.month, date.day);
  return buffer;
}

}  // namespace xb
