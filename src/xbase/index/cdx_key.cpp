// CDX key bytes from expression values (rules in cdx_key.h).
#include "xbase/index/cdx_key.h"

#include <cstring>

#include "xbase/index/cdx_collation.h"

namespace xb {

namespace {

void DropTrailing(std::string &key, char byte) {
  const size_t end = key.find_last_not_of(byte);
  key.resize(end == std::string::npos ? 0 : end + 1);
}

}  // namespace

std::string CdxNumberKey(double value) {
  uint64_t bits = 0;
  std::memcpy(&bits, &value, sizeof bits);
  // -0.0 is 0.0: one key for both.
  if (value == 0) bits = 0;
  bits = value >= 0 ? bits | (uint64_t{1} << 63) : ~bits;
  std::string key(8, '\0');
  for (int i = 0; i < 8; ++i) key[i] = static_cast<char>((bits >> (56 - 8 * i)) & 0xFF);
  return key;
}

std::string CdxDateKey(int32_t julian) {
  return CdxNumberKey(julian > 0 ? static_cast<double>(julian) : 0.0);
}

std::string CdxMachineKey(std::string_view text, bool trim, size_t key_length) {
  if (trim) {
    const size_t end = text.find_last_not_of(' ');
    text = end == std::string_view::npos ? std::string_view() : text.substr(0, end + 1);
  }
  return std::string(text.substr(0, key_length));
}

std::string CdxGeneralKey(std::string_view text, bool trim, size_t key_length) {
  const CdxCollationTable &table = CdxGeneralCollation();
  const size_t width = key_length / 2;
  std::string source(text.substr(0, width));
  if (!trim) {
    for (char &c : source) c = static_cast<char>(table.primary[static_cast<unsigned char>(c)]);
    return source;
  }
  source.resize(width, ' ');
  std::string key(source.size() * 2, '\0');
  for (size_t i = 0; i < source.size(); ++i) {
    const auto c = static_cast<unsigned char>(source[i]);
    key[i] = static_cast<char>(table.primary[c]);
    key[width + i] = static_cast<char>(0xF0 | table.secondary[c]);
  }
  DropTrailing(key, '\xF0');
  if (key.size() <= width) DropTrailing(key, ' ');
  return key;
}

}  // namespace xb
