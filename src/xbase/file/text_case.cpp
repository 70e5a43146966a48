// Windows-1251 letter case; see text_case.h.
#include "xbase/file/text_case.h"

namespace xb {
namespace {

// Cyrillic letters outside the contiguous А-я block: lower, upper.
constexpr unsigned char kPairs[][2] = {{0xB8, 0xA8}, {0xB3, 0xB2}, {0xBA, 0xAA}, {0xBF, 0xAF},
                                       {0xBC, 0xA3}, {0xBE, 0xBD}, {0x9A, 0x8A}, {0x9C, 0x8C},
                                       {0x9D, 0x8D}, {0x9E, 0x8E}, {0x9F, 0x8F}, {0x90, 0x80},
                                       {0x83, 0x81}, {0xA2, 0xA1}, {0xB4, 0xA5}};

}  // namespace

unsigned char UpperCp1251Char(unsigned char c) {
  if (c >= 'a' && c <= 'z') return static_cast<unsigned char>(c - 32);
  if (c < 0x80) return c;  // field names: no search of the pairs for digits
  if (c >= 0xE0) return static_cast<unsigned char>(c - 32);
  for (const auto &p : kPairs) {
    if (c == p[0]) return p[1];
  }
  return c;
}

unsigned char LowerCp1251Char(unsigned char c) {
  if (c >= 'A' && c <= 'Z') return static_cast<unsigned char>(c + 32);
  if (c >= 0xC0 && c <= 0xDF) return static_cast<unsigned char>(c + 32);
  for (const auto &p : kPairs) {
    if (c == p[1]) return p[0];
  }
  return c;
}

std::string UpperCp1251(std::string_view text) {
  std::string out(text);
  for (char &c : out) c = static_cast<char>(UpperCp1251Char(static_cast<unsigned char>(c)));
  return out;
}

std::string LowerCp1251(std::string_view text) {
  std::string out(text);
  for (char &c : out) c = static_cast<char>(LowerCp1251Char(static_cast<unsigned char>(c)));
  return out;
}

}  // namespace xb
