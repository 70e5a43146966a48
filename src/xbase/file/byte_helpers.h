// Byte work shared by the engine's file formats: little- and big-endian
// integers at a byte position, fixed-width decimal text, and Julian day
// numbers (1 January 1980 is day 2 444 240; day numbers <= 0 are the empty
// date).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace xb {

// Integers inside a byte buffer; `p` must hold at least the integer's size.
uint16_t GetLE16(const void *p);
uint32_t GetLE32(const void *p);
uint64_t GetLE64(const void *p);
uint16_t GetBE16(const void *p);
uint32_t GetBE32(const void *p);
void PutLE16(void *p, uint16_t v);
void PutLE32(void *p, uint32_t v);
void PutLE64(void *p, uint64_t v);
void PutBE16(void *p, uint16_t v);
void PutBE32(void *p, uint32_t v);

// `value` in fixed notation with `decimals` digits after a '.', rounded,
// left-padded with blanks to `width`. The result is longer than `width` when
// the value does not fit; callers decide whether that is an error.
std::string FormatFixed(long double value, int width, int decimals);

// Parses decimal text ("-12.5", "+3", "1E3"; surrounding blanks allowed) with
// '.' as the point, whatever the process locale. Empty or blank text and
// anything that is not a finite number give nullopt.
std::optional<long double> ParseDecimal(std::string_view text);

// Leading and trailing blanks (0x20) removed.
std::string_view TrimBlanks(std::string_view text);
std::string_view TrimRightBlanks(std::string_view text);

struct CalendarDate {
  int year = 0;
  int month = 0;
  int day = 0;
};

inline constexpr int32_t kJulian1980 = 2444240;     // 1 January 1980
inline constexpr int32_t kJulianDayZero = 2415019;  // 30 December 1899

bool IsValidDate(int year, int month, int day);
// Julian day number of a Gregorian date (the date must be valid).
int32_t JulianFromDate(int year, int month, int day);
// Gregorian date of a day number > 0, years before 1 and after 9999
// included; computed in 64 bits, so that no day number overflows it.
CalendarDate DateFromJulian(int32_t julian);

// "yyyymmdd" of a day number; 8 blanks for the empty date (<= 0) and for days
// outside the years 1 to 9999, which have no such form.
std::string JulianToDtos(int32_t julian);

}  // namespace xb
