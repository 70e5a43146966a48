// Number and date keys of CDX tags (rules in cdx_key.h).
#include "xbase/cdx_key.h"

#include <cstring>

namespace xb {

std::string CdxNumberKey(double value) {
  uint64_t bits = 0;
  std::memcpy(&bits, &value, sizeof bits);
  bits = value >= 0 ? bits | (uint64_t{1} << 63) : ~bits;
  std::string key(8, '\0');
  for (int i = 0; i < 8; ++i) key[i] = static_cast<char>((bits >> (56 - 8 * i)) & 0xFF);
  const size_t end = key.find_last_not_of('\0');
  key.resize(end == std::string::npos ? 0 : end + 1);
  return key;
}

std::string CdxDateKey(int32_t julian) { return CdxNumberKey(static_cast<double>(julian)); }

}  // namespace xb
