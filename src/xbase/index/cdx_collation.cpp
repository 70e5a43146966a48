// Builds the general collation table of CDX tags (order in cdx_collation.h).
#include "xbase/index/cdx_collation.h"

#include <string_view>

#include "xbase/file/text_case.h"

namespace xb {

namespace {

// The Cyrillic capitals of code page 1251 in alphabetical order.
constexpr std::string_view kCyrillicOrder =
    "\xC0\xC1\xC2\xC3\xA5\x81\xC4\x80\xC5\xA8\xAA\xC6\xC7\xBD\xC8\xB2\xAF\xC9\xA3\xCA\x8D"
    "\xCB\x8A\xCC\xCD\x8C\xCE\xCF\xD0\xD1\xD2\x8E\xD3\xA1\xD4\xD5\xD6\xD7\x8F\xD8\xD9\xDA"
    "\xDB\xDC\xDD\xDE\xDF";

bool IsLetter(unsigned char c) { return UpperCp1251Char(c) != LowerCp1251Char(c); }
bool IsDigit(unsigned char c) { return c >= '0' && c <= '9'; }

CdxCollationTable Build() {
  CdxCollationTable t{};
  for (int c = 0; c < 0x20; ++c) t.primary[c] = static_cast<uint8_t>(0x10 + c / 2);
  uint8_t next = 0x20;
  t.primary[0x20] = next++;  // the blank
  for (int c = 0x21; c < 256; ++c) {
    const auto u = static_cast<unsigned char>(c);
    if (!IsLetter(u) && !IsDigit(u)) t.primary[c] = next++;
  }
  for (int c = '0'; c <= '9'; ++c) t.primary[c] = next++;
  for (int c = 'A'; c <= 'Z'; ++c) t.primary[c] = next++;
  for (char c : kCyrillicOrder) t.primary[static_cast<unsigned char>(c)] = next++;
  // Small letters take their capital's weight and secondary weight 1.
  for (int c = 0; c < 256; ++c) {
    const auto u = static_cast<unsigned char>(c);
    if (IsLetter(u) && LowerCp1251Char(u) == u) {
      t.primary[c] = t.primary[UpperCp1251Char(u)];
      t.secondary[c] = 1;
    }
  }
  return t;
}

}  // namespace

const CdxCollationTable &CdxGeneralCollation() {
  static const CdxCollationTable table = Build();
  return table;
}

}  // namespace xb
