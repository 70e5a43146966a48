// NTX key bytes from expression values (rules in ntx_key.h).
#include "xbase/ntx_key.h"

#include <cmath>
#include <cstdio>

namespace xb {

std::string UpperCp1251(std::string_view text) {
  std::string out(text);
  for (char &ch : out) {
    const unsigned char c = static_cast<unsigned char>(ch);
    unsigned char upper = c;
    if ((c >= 'a' && c <= 'z') || c >= 0xE0) {  // Latin, а..я
      upper = c - 32;
    } else {
      switch (c) {  // the other Cyrillic letters of the code page
        case 0x90:
          upper = 0x80;
          break;  // ђ
        case 0x83:
          upper = 0x81;
          break;  // ѓ
        case 0x9A:
          upper = 0x8A;
          break;  // љ
        case 0x9C:
          upper = 0x8C;
          break;  // њ
        case 0x9D:
          upper = 0x8D;
          break;  // ќ
        case 0x9E:
          upper = 0x8E;
          break;  // ћ
        case 0x9F:
          upper = 0x8F;
          break;  // џ
        case 0xA2:
          upper = 0xA1;
          break;  // ў
        case 0xB3:
          upper = 0xB2;
          break;  // і
        case 0xB4:
          upper = 0xA5;
          break;  // ґ
        case 0xB8:
          upper = 0xA8;
          break;  // ё
        case 0xBA:
          upper = 0xAA;
          break;  // є
        case 0xBC:
          upper = 0xA3;
          break;  // ј
        case 0xBE:
          upper = 0xBD;
          break;  // ѕ
        case 0xBF:
          upper = 0xAF;
          break;  // ї
        default:
          break;
      }
    }
    ch = static_cast<char>(upper);
  }
  return out;
}

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
  // Julian day number to the Gregorian calendar (Fliegel and Van Flandern).
  const long jd = static_cast<long>(julian_day);
  long l = jd + 68569;
  const long n = 4 * l / 146097;
  l = l - (146097 * n + 3) / 4;
  const long i = 4000 * (l + 1) / 1461001;
  l = l - 1461 * i / 4 + 31;
  const long j = 80 * l / 2447;
  const long day = l - 2447 * j / 80;
  l = j / 11;
  const long month = j + 2 - 12 * l;
  const long year = 100 * (n - 49) + i + l;
  if (year < 1) return "00000000";
  char buffer[48];
  std::snprintf(buffer, sizeof buffer, "%04ld%02ld%02ld", year, month, day);
  return buffer;
}

}  // namespace xb
