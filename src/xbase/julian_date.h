// Dates inside the engine are Julian day numbers (1 January 1980 is 2444240;
// 0 or less, and 1E100, stand for the empty date). These helpers convert them
// to and from calendar dates, "yyyymmdd" texts and the short date text form
// "dd.mm.yyyy" that the engine shows to users.
#pragma once

#include <string>

namespace xb {

struct CalendarDate {
  int year = 0;
  int month = 0;
  int day = 0;
};

// Day number of a Gregorian date; the caller passes a valid date.
long long JulianDay(int year, int month, int day);
CalendarDate CalendarFromJulian(long long julian);
bool IsValidCalendarDate(int year, int month, int day);

// "yyyymmdd", or eight blanks for an empty date.
std::string JulianToDtos(double julian);
// The short date text "dd.mm.yyyy", or as many blanks for an empty date.
std::string JulianToShortDate(double julian);
inline constexpr int kShortDateLength = 10;

// Reads eight digits as yyyymmdd, any other text in the short date form (day,
// month, year separated by '.', '/' or '-'; two-digit years below 50 are in
// the 2000s). Blank text and "00000000" give 0; text that is no valid date
// gives 0 as well.
double ParseDateText(const std::string &text);

// Today's day number from the engine clock.
double TodayJulian();

}  // namespace xb
