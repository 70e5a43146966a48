// Dates as the expression language holds them: a day number in a double, with
// 0 or less and 1E100 standing for the empty date. These wrap the engine's
// day-number helpers so that such values never reach an integer conversion.
#pragma once

#include <string>

namespace xb {

// "yyyymmdd", or eight blanks for an empty or unprintable date.
std::string ExpDateToDtos(double day);
// The date in the short date format, or as many blanks as that format's
// dates have characters.
std::string ExpDateToShortDate(double day);
// Eight digits are read as yyyymmdd, other text in the short date format;
// blank text, "00000000" and text that is no valid date give 0.
double ParseDateText(const std::string &text);
// Today's day number from the engine clock.
double TodayJulian();

}  // namespace xb
