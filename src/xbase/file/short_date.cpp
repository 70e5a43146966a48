// The engine's short date format; see short_date.h.
#include "xbase/file/short_date.h"

#include <cstdio>
#include <vector>

#include "xbase/file/byte_helpers.h"

namespace xb {
namespace {

std::string &Pattern() {
  static std::string pattern = "dd.MM.yyyy";
  return pattern;
}

// The order of the date parts in the pattern, as 'd', 'M', 'y'.
std::string PartOrder() {
  std::string order;
  for (char c : Pattern()) {
    const char part = (c == 'D' ? 'd' : c == 'm' ? 'M' : c == 'Y' ? 'y' : c);
    if ((part == 'd' || part == 'M' || part == 'y') && order.find(part) == std::string::npos) {
      order += part;
    }
  }
  return order.size() == 3 ? order : "dMy";
}

}  // namespace

void SetShortDateFormat(const std::string &pattern) { Pattern() = pattern; }
const std::string &ShortDateFormat() { return Pattern(); }

std::string JulianToShortDate(int32_t julian) {
  if (julian <= 0) return {};
  const CalendarDate date = DateFromJulian(julian);
  std::string out;
  const std::string &p = Pattern();
  for (size_t i = 0; i < p.size();) {
    const char c = p[i];
    size_t run = 1;
    while (i + run < p.size() && p[i + run] == c) ++run;
    char buf[32];
    if (c == 'd' || c == 'D') {
      std::snprintf(buf, sizeof buf, run >= 2 ? "%02d" : "%d", date.day);
      out += buf;
    } else if (c == 'M' || c == 'm') {
      std::snprintf(buf, sizeof buf, run >= 2 ? "%02d" : "%d", date.month);
      out += buf;
    } else if (c == 'y' || c == 'Y') {
      std::snprintf(buf, sizeof buf, "%04d", date.year);
      out += buf;
    } else {
      out.append(run, c);
    }
    i += run;
  }
  return out;
}

std::optional<int32_t> ShortDateToJulian(std::string_view text) {
  text = TrimBlanks(text);
  std::vector<std::string_view> numbers;
  size_t i = 0;
  while (i < text.size()) {
    if (text[i] < '0' || text[i] > '9') {
      ++i;
      continue;
    }
    size_t j = i;
    while (j < text.size() && text[j] >= '0' && text[j] <= '9') ++j;
    numbers.push_back(text.substr(i, j - i));
    i = j;
  }
  if (numbers.size() != 3) return std::nullopt;
  const std::string order = PartOrder();
  int day = 0, month = 0, year = 0;
  for (size_t k = 0; k < 3; ++k) {
    if (numbers[k].size() > 4) return std::nullopt;
    const int value = std::stoi(std::string(numbers[k]));
    if (order[k] == 'd') day = value;
    if (order[k] == 'M') month = value;
    if (order[k] == 'y') {
      year = value;
      if (numbers[k].size() <= 2) year += year < 50 ? 2000 : 1900;
    }
  }
  if (!IsValidDate(year, month, day)) return std::nullopt;
  return JulianFromDate(year, month, day);
}

}  // namespace xb
