// Text rules of the expression language; see expr_text.h.
#include "xbase/expr/expr_text.h"

#include <array>

namespace xb {
namespace {

// Primary weight of a byte in the locale-like order: controls, blanks,
// punctuation and digits keep their ASCII order, the remaining ASCII
// punctuation follows them, then the Latin letters, then the Cyrillic
// letters in alphabet order, then every other byte. Case is folded.
const std::array<int, 256> &PrimaryWeights() {
  static const std::array<int, 256> weights = [] {
    std::array<int, 256> w{};
    int next = 0;
    for (int c = 0; c < 0x41; ++c) w[c] = next++;
    for (int c : {0x5B, 0x5C, 0x5D, 0x5E, 0x5F, 0x60, 0x7B, 0x7C, 0x7D, 0x7E, 0x7F}) w[c] = next++;
    for (int c = 'A'; c <= 'Z'; ++c) w[c] = w[c + 32] = next++;
    for (int c = 0xC0; c <= 0xDF; ++c) {
      w[c] = w[c + 32] = next++;
      if (c == 0xC5) w[0xA8] = w[0xB8] = next++;  // Ё after Е
    }
    for (int c = 0x80; c < 0xC0; ++c) {
      if (c == 0xA8 || c == 0xB8) continue;
      const unsigned char up = UpperCp1251Char(static_cast<unsigned char>(c));
      if (up != c) continue;  // lower case letters take their capital's weight below
      w[c] = next++;
      const unsigned char low = LowerCp1251Char(static_cast<unsigned char>(c));
      if (low != c) w[low] = w[c];
    }
    return w;
  }();
  return weights;
}

bool IsControl(unsigned char c) { return c <= ' '; }

// Finds `needle` in `hay` from `from`, with `one` matching any character.
size_t FindWithWildcard(std::string_view hay, std::string_view needle, char one, size_t from = 0) {
  if (needle.size() > hay.size()) return std::string_view::npos;
  for (size_t i = from; i + needle.size() <= hay.size(); ++i) {
    size_t k = 0;
    while (k < needle.size() && (needle[k] == one || needle[k] == hay[i + k])) ++k;
    if (k == needle.size()) return i;
  }
  return std::string_view::npos;
}

}  // namespace

bool IsLetter1251(unsigned char c) { return UpperCp1251Char(c) != c || LowerCp1251Char(c) != c; }

std::string TrimRightControls(std::string_view s) {
  size_t e = s.size();
  while (e > 0 && IsControl(static_cast<unsigned char>(s[e - 1]))) --e;
  return std::string(s.substr(0, e));
}

std::string TrimLeftControls(std::string_view s) {
  size_t b = 0;
  while (b < s.size() && IsControl(static_cast<unsigned char>(s[b]))) ++b;
  return std::string(s.substr(b));
}

std::string TrimControls(std::string_view s) { return TrimLeftControls(TrimRightControls(s)); }

int CompareLocale(std::string_view a, std::string_view b) {
  const auto &w = PrimaryWeights();
  const size_t n = a.size() < b.size() ? a.size() : b.size();
  for (size_t i = 0; i < n; ++i) {
    const int d = w[static_cast<unsigned char>(a[i])] - w[static_cast<unsigned char>(b[i])];
    if (d != 0) return d;
  }
  if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
  // Same letters: lower case sorts before upper case at the first difference.
  for (size_t i = 0; i < n; ++i) {
    const auto ca = static_cast<unsigned char>(a[i]), cb = static_cast<unsigned char>(b[i]);
    if (ca == cb) continue;
    const bool a_lower = LowerCp1251Char(ca) == ca && UpperCp1251Char(ca) != ca;
    const bool b_lower = LowerCp1251Char(cb) == cb && UpperCp1251Char(cb) != cb;
    if (a_lower != b_lower) return a_lower ? -1 : 1;
    return ca < cb ? -1 : 1;
  }
  return 0;
}

bool WildcardMatch(std::string_view pattern, std::string_view text, char many, char one) {
  if (pattern.empty()) return false;
  if (pattern.size() == 1 && pattern[0] == many) return true;
  const bool leading = pattern.front() == many;
  if (leading) pattern.remove_prefix(1);
  if (!pattern.empty() && pattern.back() == many) pattern.remove_suffix(1);
  // The length test counts only the characters the pattern really needs, so
  // "123*" matches "123" itself.
  if (text.size() < pattern.size()) return false;
  if (leading) return FindWithWildcard(text, pattern, one) != std::string_view::npos;
  return FindWithWildcard(text.substr(0, pattern.size()), pattern, one) == 0;
}

int CompareExpressionTexts(std::string_view left, std::string_view right,
                           const TextCompareOptions &options) {
  if (left.empty() && right.empty()) return 0;
  if (left.empty()) return -1;
  if (right.empty()) return 1;
  std::string l(TrimRightBlanks(left)), r(TrimRightBlanks(right));
  if (options.case_insensitive) {
    l = UpperCp1251(l);
    r = UpperCp1251(r);
  }
  if (options.partial && !r.empty() && (r.front() == options.many || r.back() == options.many))
    return WildcardMatch(r, l, options.many, options.one) ? 0 : -1;
  return CompareLocale(l, r);
}

}  // namespace xb
