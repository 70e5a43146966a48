// Letter case of Windows-1251 text as the engine compares it: Latin and
// Cyrillic letters change case, every other byte stays as it is.
#pragma once

#include <string>
#include <string_view>

namespace xb {

std::string UpperCp1251(std::string_view text);
std::string LowerCp1251(std::string_view text);
unsigned char UpperCp1251Char(unsigned char c);
unsigned char LowerCp1251Char(unsigned char c);

}  // namespace xb
