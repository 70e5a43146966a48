// How an NTX tag turns a key expression's value into key bytes: character
// text, numbers as digits (negative ones with mapped digits so they sort below
// positive ones), dates as yyyymmdd.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace xb {

// Character key: trailing blanks removed when `trim` (building an entry; a
// search key keeps them), upper-cased when `general`, cut to `length`.
std::string NtxCharacterKey(std::string_view text, bool trim, bool general, size_t length);

// Numeric key: |value| in fixed notation with `length` and `decimals`, blanks
// turned into '0'; for a negative value every digit character c becomes the
// character 92 - c ('0' -> ',', '9' -> '#'). A value too wide for the key
// gives `length` asterisks.
std::string NtxNumericKey(double value, int length, int decimals);

// Date key from a Julian day number: "yyyymmdd", "00000000" for the empty
// date (0 or less, or 1E100 and other values beyond any calendar).
std::string NtxDateKey(double julian_day);

}  // namespace xb
