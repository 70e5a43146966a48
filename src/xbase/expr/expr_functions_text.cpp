// Built-in text functions: case, trimming, cutting, padding, searching and
// replacing, SOUNDEX and PROPER. Texts are code page 1251 bytes.
#include <cstring>

#include "xbase/expr/expr_functions.h"
#include "xbase/expr/expr_text.h"

namespace xb {
namespace {

ExpValue Text(std::string s) { return ExpValue::Text(std::move(s)); }

// A count argument for a text length, never negative, checked against the
// longest text an expression may build.
size_t LengthArg(TxbExpArgs &args, size_t i, const char *function) {
  const long long n = IntegerArg(args, i);
  if (n <= 0) return 0;
  CheckTextLength(static_cast<double>(n), function);
  return static_cast<size_t>(n);
}

ExpValue Upper(TxbExpArgs &a) { return Text(UpperCp1251(TextArg(a, 0))); }
ExpValue Lower(TxbExpArgs &a) { return Text(LowerCp1251(TextArg(a, 0))); }
ExpValue Trim(TxbExpArgs &a) { return Text(TrimRightControls(TextArg(a, 0))); }
ExpValue LTrim(TxbExpArgs &a) { return Text(TrimLeftControls(TextArg(a, 0))); }
ExpValue AllTrim(TxbExpArgs &a) { return Text(TrimControls(TextArg(a, 0))); }
ExpValue Len(TxbExpArgs &a) { return ExpValue::Number(static_cast<double>(TextArg(a, 0).size())); }
ExpValue Space(TxbExpArgs &a) { return Text(std::string(LengthArg(a, 0, "SPACE"), ' ')); }

ExpValue Asc(TxbExpArgs &a) {
  const std::string s = TextArg(a, 0);
  return ExpValue::Number(s.empty() ? 0 : static_cast<unsigned char>(s[0]));
}

ExpValue Chr(TxbExpArgs &a) {
  const long long n = IntegerArg(a, 0);
  if (n < 0 || n > 255) ThrowExpr("A %s value is required but invalid", "Byte");
  return Text(std::string(1, static_cast<char>(n)));
}

ExpValue Substr(TxbExpArgs &a) {
  const std::string s = TextArg(a, 0);
  const long long from = IntegerArg(a, 1);
  if (from < 1 || from > static_cast<long long>(s.size())) return Text("");
  const long long rest = static_cast<long long>(s.size()) - from + 1;
  long long count = a.Present(2) ? IntegerArg(a, 2) : rest;
  if (count <= 0) return Text("");
  if (count > rest) count = rest;
  return Text(s.substr(from - 1, count));
}

ExpValue Left(TxbExpArgs &a) {
  std::string s = TextArg(a, 0);
  const double n = a.Get(1, ExpType::kNumber).number;
  if (n <= 0.01) return Text("");
  const long long count = TruncateToInteger(n);
  CheckTextLength(static_cast<double>(count), "LEFT");
  s.resize(static_cast<size_t>(count), ' ');
  return Text(std::move(s));
}

// A count of 0 or less gives the empty text, as LEFT does.
ExpValue Right(TxbExpArgs &a) {
  const std::string s = TextArg(a, 0);
  const long long n = IntegerArg(a, 1);
  if (n <= 0) return Text("");
  if (n >= static_cast<long long>(s.size())) return Text(s);
  return Text(s.substr(s.size() - n));
}

enum class PadSide { kLeft, kRight, kCentre };

std::string Fill(const std::string &fill, size_t count) {
  std::string out;
  out.reserve(count);
  while (out.size() < count) out += fill.substr(0, count - out.size());
  return out;
}

ExpValue Pad(TxbExpArgs &a, PadSide side) {
  const ExpValue x = a.Get(0, ExpType::kAny);
  if (x.type == ExpType::kEmpty) ThrowExpr("%s needed for Argument %d of %s", "Value", 1, "Pad");
  const std::string text(TrimRightBlanks(ValueAsText(x)));
  const size_t width = LengthArg(a, 1, a.FunctionName().c_str());
  std::string fill = " ";
  if (a.Present(2)) {
    const ExpValue c = a.Get(2, ExpType::kAny);
    if (c.type != ExpType::kText || c.text.empty())
      ThrowExpr("A %s value is required but invalid", "Char");
    fill = c.text;
  }
  if (text.size() >= width) return Text(text);
  const size_t missing = width - text.size();
  switch (side) {
    case PadSide::kLeft:
      return Text(Fill(fill, missing) + text);
    case PadSide::kRight:
      return Text(text + Fill(fill, missing));
    case PadSide::kCentre:
      return Text(Fill(fill, missing / 2) + text + Fill(fill, missing - missing / 2));
  }
  return Text(text);
}

ExpValue PadL(TxbExpArgs &a) { return Pad(a, PadSide::kLeft); }
ExpValue PadR(TxbExpArgs &a) { return Pad(a, PadSide::kRight); }
ExpValue PadC(TxbExpArgs &a) { return Pad(a, PadSide::kCentre); }

char FoldLatin(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; }

// Position (1-based) of the k-th occurrence of `find` in `s`; when there are
// fewer, of the last one found; 0 when there is none.
ExpValue Search(TxbExpArgs &a, bool fold) {
  std::string find = TextArg(a, 0), s = TextArg(a, 1);
  long long k = a.Present(2) ? IntegerArg(a, 2) : 1;
  if (k < 1) k = 1;
  if (fold) {
    for (char &c : find) c = FoldLatin(c);
    for (char &c : s) c = FoldLatin(c);
  }
  if (find.empty()) return ExpValue::Number(0);
  size_t last = std::string::npos;
  long long seen = 0;
  for (size_t pos = s.find(find); pos != std::string::npos; pos = s.find(find, pos + 1)) {
    last = pos;
    if (++seen == k) break;
  }
  return ExpValue::Number(last == std::string::npos ? 0 : static_cast<double>(last + 1));
}

ExpValue At(TxbExpArgs &a) { return Search(a, false); }
ExpValue Atc(TxbExpArgs &a) { return Search(a, true); }

ExpValue StrTran(TxbExpArgs &a) {
  const std::string s = TextArg(a, 0), find = TextArg(a, 1);
  const std::string replacement = a.Present(2) ? TextArg(a, 2) : "";
  const long long start = a.Present(3) ? IntegerArg(a, 3) : 1;
  const long long count = a.Present(4) ? IntegerArg(a, 4) : -1;
  if (find.empty()) return Text(s);
  std::string out;
  size_t from = 0;
  long long occurrence = 0, replaced = 0;
  for (size_t pos = s.find(find); pos != std::string::npos; pos = s.find(find, from)) {
    ++occurrence;
    out.append(s, from, pos - from);
    if (occurrence >= start && (count < 0 || replaced < count)) {
      out += replacement;
      ++replaced;
    } else {
      out += find;
    }
    from = pos + find.size();
    CheckTextLength(static_cast<double>(out.size()), "STRTRAN");
  }
  out.append(s, from, std::string::npos);
  CheckTextLength(static_cast<double>(out.size()), "STRTRAN");
  return Text(std::move(out));
}

// Four-character sound code: the first letter and three digits.
ExpValue Soundex(TxbExpArgs &a) {
  std::string u = TextArg(a, 0);
  for (char &c : u) c = FoldLatin(c);
  u = TrimControls(u);
  if (u.empty()) return Text("");
  //                         ABCDEFGHIJKLMNOPQRSTUVWXYZ
  static const char kCodes[] = "01230120022455012623010202";
  std::string digits;
  if (u.size() > 1)
    for (char c : u)
      if (c >= 'A' && c <= 'Z') digits += kCodes[c - 'A'];
  std::string kept;
  for (size_t i = 0; i < digits.size(); ++i)
    if (digits[i] != '0' && (i == 0 || digits[i] != digits[i - 1])) kept += digits[i];
  kept += "0000";
  if (u[0] >= 'A' && u[0] <= 'Z')
    kept[0] = u[0];
  else
    kept.insert(kept.begin(), u[0]);
  return Text(kept.substr(0, 4));
}

// Upper case after a blank, code 0 or 127 and the punctuation that separates
// words; lower case after letters, digits, apostrophes and other characters.
ExpValue Proper(TxbExpArgs &a) {
  std::string s = TextArg(a, 0);
  static const char kStarters[] = "\"|@!#$%&()*+,-./:;<=>?[\\]^_{}~ ";
  unsigned char previous = 0;
  for (char &c : s) {
    const bool starts = previous == 0 || previous == 127 ||
                        (previous != 0 && std::strchr(kStarters, previous) != nullptr);
    c = static_cast<char>(starts ? UpperCp1251Char(static_cast<unsigned char>(c))
                                 : LowerCp1251Char(static_cast<unsigned char>(c)));
    previous = static_cast<unsigned char>(c);
  }
  return Text(std::move(s));
}

}  // namespace

void RegisterTextFunctions(TxbFunctionReg &reg) {
  AddBuiltin(reg, "ALLTRIM", AllTrim);
  AddBuiltin(reg, "ASC", Asc);
  AddBuiltin(reg, "AT", At);
  AddBuiltin(reg, "ATC", Atc);
  AddBuiltin(reg, "CHR", Chr);
  AddBuiltin(reg, "LEFT", Left);
  AddBuiltin(reg, "LEN", Len);
  AddBuiltin(reg, "LOWER", Lower);
  AddBuiltin(reg, "LTRIM", LTrim);
  AddBuiltin(reg, "PADC", PadC);
  AddBuiltin(reg, "PADL", PadL);
  AddBuiltin(reg, "PADR", PadR);
  AddBuiltin(reg, "PROPER", Proper);
  AddBuiltin(reg, "RIGHT", Right);
  AddBuiltin(reg, "RTRIM", Trim);
  AddBuiltin(reg, "SOUNDEX", Soundex);
  AddBuiltin(reg, "SPACE", Space);
  AddBuiltin(reg, "STRTRAN", StrTran);
  AddBuiltin(reg, "SUBSTR", Substr);
  AddBuiltin(reg, "TRIM", Trim);
  AddBuiltin(reg, "UPPER", Upper);
}

}  // namespace xb
