// The general collation of CDX tags whose header names "GENERAL", for code
// page 1251: Latin and Cyrillic letters in alphabetical order without regard
// to letter case, the case deciding only between otherwise equal texts.
//
// Each byte has a primary weight (its place in the order) and a secondary
// weight (0 for capitals and non-letters, 1 for small letters). Primary
// weights, in ascending order:
//   0x10..0x1F  control characters 0x00..0x1F, two per weight
//   0x20        the blank (equal to the blank that pads stored keys)
//   0x21..      every other non-letter, non-digit byte, in code order
//   then        the digits 0..9
//   then        the Latin letters A..Z (a..z share their weights)
//   then        the Cyrillic letters:
//               А Б В Г Ґ Ѓ Д Ђ Е Ё Є Ж З Ѕ И І Ї Й Ј К Ќ Л Љ М Н Њ О П Р С
//               Т Ћ У Ў Ф Х Ц Ч Џ Ш Щ Ъ Ы Ь Э Ю Я (small letters share them)
// Every weight lies between 0x10 and 0xEF, so no primary weight is taken for
// a secondary one (0xF0 | weight). No byte expands to two primary weights.
#pragma once

#include <cstdint>

namespace xb {

struct CdxCollationTable {
  uint8_t primary[256];
  uint8_t secondary[256];
};

// The table described above, built once.
const CdxCollationTable &CdxGeneralCollation();

}  // namespace xb
