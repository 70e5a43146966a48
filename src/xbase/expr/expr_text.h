// Text rules of the expression language on code page 1251 bytes: trimming of control characters and
// blanks, the locale-like text order, and the wildcard comparison of the comparison operators.
#pragma once

#include <string>
#include <string_view>

#include "xbase/file/byte_helpers.h"
#include "xbase/file/text_case.h"

namespace xb {

// A Latin or Cyrillic letter (one that has another letter case).
bool IsLetter1251(unsigned char c);

// Remove characters of code 0 to 32 at the right, left or both ends.
std::string TrimRightControls(std::string_view s);
std::string TrimLeftControls(std::string_view s);
std::string TrimControls(std::string_view s);

// Case-sensitive text order in the manner of the user's locale: letters
// compare by alphabet first (Latin before Cyrillic, punctuation and digits
// before letters), and only equal texts are then told apart by case, lower
// case first. Returns <0, 0 or >0.
int CompareLocale(std::string_view a, std::string_view b);

// The settings an expression copies into its comparison operators.
struct TextCompareOptions {
  bool case_insensitive = false;
  bool partial = true;  // wildcard matching
  char many = '*';      // wildcard for any run of characters
  char one = '?';       // wildcard for one character
};

// Matches `text` against a pattern that begins or ends with the "many"
// wildcard: a pattern beginning with it matches when the rest occurs anywhere
// in the text, any other pattern when it matches the start of the text; the
// "one" wildcard stands for any single character.
bool WildcardMatch(std::string_view pattern, std::string_view text, char many, char one);

// The comparison used by "=", "#", "<", ">", "<=", ">=" on texts. Returns
// <0, 0, >0. Empty sides (no text) are equal to each other and smaller than
// any other text; otherwise trailing blanks are ignored, and a right side
// that begins or ends with the wildcard gives equal exactly when the left
// side matches it (smaller otherwise).
int CompareExpressionTexts(std::string_view left, std::string_view right,
                           const TextCompareOptions &options);

}  // namespace xb
