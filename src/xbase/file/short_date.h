// The user's short date format as the engine sees it: dates shown by
// StringGet, and date texts that are not "yyyymmdd", are read and written in
// this format. The program sets it once at start-up; the default is the
// Bulgarian "dd.MM.yyyy".
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace xb {

// A pattern of d, M and y runs separated by one separator character, e.g.
// "dd.MM.yyyy" or "M/d/yy". Shown dates always carry a four-digit year.
void SetShortDateFormat(const std::string &pattern);
const std::string &ShortDateFormat();

// The date of a day number in the short date format; empty for the empty date.
std::string JulianToShortDate(int32_t julian);

// Reads a date in the short date format (day, month and year in the pattern's
// order, any non-digit separating them; a two-digit year is 2000-2049 or
// 1950-1999). nullopt when the text is no valid date.
std::optional<int32_t> ShortDateToJulian(std::string_view text);

}  // namespace xb
