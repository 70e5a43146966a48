// How a CDX tag turns a key expression's value into key bytes: character
// text (machine or general ordering), numbers as ordered big-endian doubles,
// dates as their Julian day number.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace xb {

// Number key: the 8 bytes of the IEEE double, big-endian, with the sign bit
// set for values >= 0 and every bit inverted for negatives, so that the bytes
// sort like the values. A leaf stores it without its trailing zero bytes.
// Negatives keep their trailing 0xFF bytes: dropping them would pad the key
// with zeros on reading and change its value and its order.
std::string CdxNumberKey(double value);
// A date's Julian day number as a number key (0 or less: the empty date).
std::string CdxDateKey(int32_t julian);

// Character key of machine ordering: the bytes as they are, trailing blanks
// removed when `trim` (building an entry; a search key keeps them), cut to
// `key_length`.
std::string CdxMachineKey(std::string_view text, bool trim, size_t key_length);

// Character key of general ordering (cdx_collation.h) for a tag of
// `key_length` bytes, which holds texts of key_length / 2 characters.
// An entry key (`trim`) weighs the text padded with blanks to that width:
// its primary weights, then the secondary weights as 0xF0 | weight, trailing
// 0xF0 bytes dropped (and trailing blank weights when no secondary weight
// remains). A search key is the primary weights of the text alone, so that
// a search ignores letter case; it is compared with the first key_length / 2
// bytes of the stored keys only.
std::string CdxGeneralKey(std::string_view text, bool trim, size_t key_length);

}  // namespace xb
