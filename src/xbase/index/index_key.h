// Index keys shared by every index format: one entry of a page, the byte-wise
// key order with blank padding, and the prefix match a search uses.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace xb {

// One entry of an index page: key bytes, the record it points to, and the
// file position of the page to its left (0 in leaves).
struct XBobjIndexKeyData {
  std::string key;
  uint32_t record = 0;
  uint32_t child = 0;
};

// Compares two keys byte by byte as unsigned values; the shorter one counts as
// padded with blanks. Returns <0, 0 or >0.
int CompareKeys(std::string_view a, std::string_view b);

// Compares the first search.size() bytes of a stored key (padded with blanks
// when shorter) with a search key: how a search finds its place.
int CompareKeyPrefix(std::string_view stored, std::string_view search);

// True when a stored key matches a search key: the search key's bytes match,
// and with exact matching the rest of the stored key is blank.
bool KeyMatches(std::string_view stored, std::string_view search, bool exact);

}  // namespace xb
