// Helpers of the dataset framework's basic types; see dataset_types.h.
#include "xbase/dataset/dataset_types.h"

#include <cstdio>

namespace xb {

bool IsValidDate(const TDateValue &d) {
  static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (d.year < 1 || d.year > 9999 || d.month < 1 || d.month > 12 || d.day < 1) return false;
  const bool leap = (d.year % 4 == 0 && d.year % 100 != 0) || d.year % 400 == 0;
  const int last = kDays[d.month - 1] + (d.month == 2 && leap ? 1 : 0);
  return d.day <= last;
}

std::optional<TDateValue> ParseYmd(const std::string &text) {
  if (text.size() != 8) return std::nullopt;
  for (char c : text)
    if (c < '0' || c > '9') return std::nullopt;
  TDateValue d{std::stoi(text.substr(0, 4)), std::stoi(text.substr(4, 2)),
               std::stoi(text.substr(6, 2))};
  if (!IsValidDate(d)) return std::nullopt;
  return d;
}

std::string FormatShortDate(const TDateValue &d) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%02d.%02d.%04d", d.day % 100, d.month % 100, d.year % 10000);
  return buf;
}

}  // namespace xb
