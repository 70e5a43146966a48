// Key order shared by the index formats: unsigned bytes, blank padding.
#include "xbase/index/index_key.h"

#include <algorithm>
#include <cstring>

namespace xb {

namespace {

// Compares the tail of the longer key with blanks.
int CompareWithBlanks(std::string_view tail) {
  for (unsigned char c : tail) {
    if (c != ' ') return c < ' ' ? -1 : 1;
  }
  return 0;
}

}  // namespace

int CompareKeys(std::string_view a, std::string_view b) {
  const size_t common = std::min(a.size(), b.size());
  if (common > 0) {
    const int c = std::memcmp(a.data(), b.data(), common);
    if (c != 0) return c;
  }
  if (a.size() > common) return CompareWithBlanks(a.substr(common));
  if (b.size() > common) return -CompareWithBlanks(b.substr(common));
  return 0;
}

int CompareKeyPrefix(std::string_view stored, std::string_view search) {
  if (stored.size() >= search.size()) return CompareKeys(stored.substr(0, search.size()), search);
  return CompareKeys(stored, search);
}

bool KeyMatches(std::string_view stored, std::string_view search, bool exact) {
  if (CompareKeyPrefix(stored, search) != 0) return false;
  return !exact || CompareKeys(stored, search) == 0;
}

}  // namespace xb
