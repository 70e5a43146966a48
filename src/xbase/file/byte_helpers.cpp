// Byte, number and day-number helpers; see byte_helpers.h.
#include "xbase/file/byte_helpers.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace xb {
namespace {
const uint8_t *B(const void *p) { return static_cast<const uint8_t *>(p); }
uint8_t *B(void *p) { return static_cast<uint8_t *>(p); }
}  // namespace

uint16_t GetLE16(const void *p) { return static_cast<uint16_t>(B(p)[0] | (B(p)[1] << 8)); }
uint32_t GetLE32(const void *p) {
  return static_cast<uint32_t>(B(p)[0]) | (static_cast<uint32_t>(B(p)[1]) << 8) |
         (static_cast<uint32_t>(B(p)[2]) << 16) | (static_cast<uint32_t>(B(p)[3]) << 24);
}
uint64_t GetLE64(const void *p) {
  return static_cast<uint64_t>(GetLE32(p)) | (static_cast<uint64_t>(GetLE32(B(p) + 4)) << 32);
}
uint16_t GetBE16(const void *p) { return static_cast<uint16_t>((B(p)[0] << 8) | B(p)[1]); }
uint32_t GetBE32(const void *p) {
  return (static_cast<uint32_t>(B(p)[0]) << 24) | (static_cast<uint32_t>(B(p)[1]) << 16) |
         (static_cast<uint32_t>(B(p)[2]) << 8) | static_cast<uint32_t>(B(p)[3]);
}
void PutLE16(void *p, uint16_t v) {
  B(p)[0] = static_cast<uint8_t>(v);
  B(p)[1] = static_cast<uint8_t>(v >> 8);
}
void PutLE32(void *p, uint32_t v) {
  for (int i = 0; i < 4; ++i) B(p)[i] = static_cast<uint8_t>(v >> (8 * i));
}
void PutLE64(void *p, uint64_t v) {
  for (int i = 0; i < 8; ++i) B(p)[i] = static_cast<uint8_t>(v >> (8 * i));
}
void PutBE16(void *p, uint16_t v) {
  B(p)[0] = static_cast<uint8_t>(v >> 8);
  B(p)[1] = static_cast<uint8_t>(v);
}
void PutBE32(void *p, uint32_t v) {
  for (int i = 0; i < 4; ++i) B(p)[i] = static_cast<uint8_t>(v >> (8 * (3 - i)));
}

std::string FormatFixed(long double value, int width, int decimals) {
  if (decimals < 0) decimals = 0;
  char buf[128];
  auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, decimals);
  std::string text;
  if (res.ec == std::errc()) {
    text.assign(buf, res.ptr);
  } else {
    text.assign(static_cast<size_t>(width > 0 ? width + 1 : 1), '*');  // cannot fit anywhere
  }
  // A value that rounds to zero prints without a sign.
  if (text[0] == '-' && text.find_first_not_of("-0.") == std::string::npos) text.erase(0, 1);
  if (static_cast<int>(text.size()) < width) text.insert(0, width - text.size(), ' ');
  return text;
}

std::string_view TrimRightBlanks(std::string_view text) {
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

std::string_view TrimBlanks(std::string_view text) {
  text = TrimRightBlanks(text);
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  return text;
}

std::optional<long double> ParseDecimal(std::string_view text) {
  text = TrimBlanks(text);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  if (text.empty()) return std::nullopt;
  // Only digits, one sign, a point and an exponent: no "inf", "nan" or hex.
  for (char c : text) {
    if (!((c >= '0' && c <= '9') || c == '.' || c == '-' || c == '+' || c == 'e' || c == 'E')) {
      return std::nullopt;
    }
  }
  long double value = 0;
  auto res = std::from_chars(text.data(), text.data() + text.size(), value);
  if (res.ec == std::errc::result_out_of_range) {
    // mingw's from_chars reads long double through double, so it refuses
    // what lies between the two ranges; strtold reads the full range there
    // (and agrees with from_chars where that has the full range).
    const std::string copy(text);
    char *end = nullptr;
    errno = 0;
    value = std::strtold(copy.c_str(), &end);
    if (errno != 0 || end != copy.c_str() + copy.size() || !std::isfinite(value)) {
      return std::nullopt;
    }
    return value;
  }
  if (res.ec != std::errc() || res.ptr != text.data() + text.size() || !std::isfinite(value)) {
    return std::nullopt;
  }
  return value;
}

bool IsValidDate(int year, int month, int day) {
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1) return false;
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return day <= kDays[month - 1] + (month == 2 && leap ? 1 : 0);
}

// Both conversions work in 64 bits: day numbers read from damaged files can
// be anything, and neither may overflow on them.
int32_t JulianFromDate(int year, int month, int day) {
  const int64_t a = (14 - int64_t{month}) / 12;
  const int64_t y = int64_t{year} + 4800 - a;
  const int64_t m = month + 12 * a - 3;
  return static_cast<int32_t>(day + (153 * m + 2) / 5 + 365 * y + y / 4 - y / 100 + y / 400 -
                              32045);
}

CalendarDate DateFromJulian(int32_t julian) {
  const int64_t a = int64_t{julian} + 32044;
  const int64_t b = (4 * a + 3) / 146097;
  const int64_t c = a - 146097 * b / 4;
  const int64_t d = (4 * c + 3) / 1461;
  const int64_t e = c - 1461 * d / 4;
  const int64_t m = (5 * e + 2) / 153;
  CalendarDate out;
  out.day = static_cast<int>(e - (153 * m + 2) / 5 + 1);
  out.month = static_cast<int>(m + 3 - 12 * (m / 10));
  out.year = static_cast<int>(100 * b + d - 4800 + m / 10);
  return out;
}

std::string JulianToDtos(int32_t julian) {
  if (julian <= 0) return std::string(8, ' ');
  const CalendarDate d = DateFromJulian(julian);
  if (d.year < 1 || d.year > 9999) return std::string(8, ' ');
  char buf[32];
  std::snprintf(buf, sizeof buf, "%04d%02d%02d", d.year, d.month, d.day);
  return buf;
}

}  // namespace xb
