// The expression tokenizer; see expr_tokenizer.h.
#include "xbase/expr/expr_tokenizer.h"

#include <cstring>

#include "xbase/expr/expr_text.h"
#include "xbase/expr/expr_value.h"

namespace xb {
namespace {

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsIdentStart(char c) { return c == '_' || IsLetter1251(static_cast<unsigned char>(c)); }
bool IsIdentChar(char c) { return IsIdentStart(c) || IsDigit(c); }
bool InSet(const char *set, char c) { return c != '\0' && std::strchr(set, c) != nullptr; }

size_t IdentEnd(std::string_view s, size_t i) {
  while (i < s.size() && IsIdentChar(s[i])) ++i;
  return i;
}

// Length of a negation ("!", NOT or .NOT.) at `i`, 0 when there is none.
size_t NegationLength(std::string_view s, size_t i) {
  if (s[i] == '!' && (i + 1 >= s.size() || s[i + 1] != '=')) return 1;
  const bool point = s[i] == '.';
  const size_t word = point ? i + 1 : i;
  if (s.size() < word + 3 || UpperCp1251(s.substr(word, 3)) != "NOT") return 0;
  const size_t end = word + 3;
  if (point) return end < s.size() && s[end] == '.' ? end + 1 - i : 0;
  return end < s.size() && IsIdentChar(s[end]) ? 0 : end - i;
}

struct SymbolOperator {
  const char *text;
  ExpOperator op;
};

const SymbolOperator kSymbolOperators[] = {
    {"**", ExpOperator::kPower},        {"^", ExpOperator::kPower},
    {"*", ExpOperator::kMultiply},      {"/", ExpOperator::kDivide},
    {"+", ExpOperator::kAdd},           {"-", ExpOperator::kSubtract},
    {"=", ExpOperator::kEqual},         {"==", ExpOperator::kEqual},
    {"<>", ExpOperator::kNotEqual},     {"!=", ExpOperator::kNotEqual},
    {"#", ExpOperator::kNotEqual},      {">", ExpOperator::kGreater},
    {"<", ExpOperator::kLess},          {">=", ExpOperator::kGreaterEqual},
    {"=>", ExpOperator::kGreaterEqual}, {"<=", ExpOperator::kLessEqual},
    {"=<", ExpOperator::kLessEqual},    {"$", ExpOperator::kContainedIn},
    {"!", ExpOperator::kNot},
};

const SymbolOperator kWordOperators[] = {
    {"AND", ExpOperator::kAnd},      {"OR", ExpOperator::kOr},
    {"NOT", ExpOperator::kNot},      {"EQ", ExpOperator::kEqual},
    {"NE", ExpOperator::kNotEqual},  {"GT", ExpOperator::kGreater},
    {"LT", ExpOperator::kLess},      {"GE", ExpOperator::kGreaterEqual},
    {"LE", ExpOperator::kLessEqual},
};

template <size_t N>
bool FindOperator(const SymbolOperator (&table)[N], std::string_view text, ExpOperator &op) {
  for (const auto &entry : table)
    if (text == entry.text) {
      op = entry.op;
      return true;
    }
  return false;
}

// Skips a literal that starts at `i` (quote, bracket or brace); returns the
// position of its closing character or npos.
size_t LiteralEnd(std::string_view s, size_t i) {
  const char open = s[i];
  const char close = open == '[' ? ']' : (open == '{' ? '}' : open);
  return s.find(close, i + 1);
}

bool OpensLiteral(char c) { return c == '"' || c == '\'' || c == '[' || c == '{'; }

}  // namespace

std::string_view TrimBlankControls(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

size_t FindClosingParenthesis(std::string_view s, size_t open) {
  int level = 0;
  for (size_t i = open; i < s.size(); ++i) {
    const char c = s[i];
    if (OpensLiteral(c)) {
      i = LiteralEnd(s, i);
      if (i == std::string_view::npos) return i;
    } else if (c == '(') {
      ++level;
    } else if (c == ')' && --level == 0) {
      return i;
    }
  }
  return std::string_view::npos;
}

std::vector<std::string> SplitArguments(std::string_view s) {
  std::vector<std::string> pieces;
  int level = 0;
  size_t start = 0;
  for (size_t i = 0; i < s.size(); ++i) {
    const char c = s[i];
    if (OpensLiteral(c)) {
      const size_t end = LiteralEnd(s, i);
      if (end == std::string_view::npos) break;
      i = end;
    } else if (c == '(') {
      ++level;
    } else if (c == ')') {
      --level;
    } else if (c == ',' && level == 0) {
      pieces.emplace_back(s.substr(start, i - start));
      start = i + 1;
    }
  }
  pieces.emplace_back(s.substr(start));
  return pieces;
}

std::vector<ExpToken> TokenizeExpression(std::string_view s, std::string_view whole,
                                         const ExpNameLookup &lookup, bool has_link) {
  std::vector<ExpToken> tokens;
  const std::string whole_text(whole);
  auto syntax_error = [&whole_text]() {
    ThrowExpr("Syntax Error in expression \"%s\"", whole_text.c_str());
  };
  bool operand_expected = true;
  size_t i = 0;
  for (;;) {
    while (i < s.size() && IsBlank(s[i])) ++i;
    if (i >= s.size()) break;
    const char c = s[i];
    ExpToken token;
    if (operand_expected) {
      if (const size_t negation = NegationLength(s, i)) {
        if (!tokens.empty()) {
          // An inner negation governs the rest of the expression.
          token.kind = ExpToken::Kind::kSubexpression;
          token.text = std::string(s.substr(i));
          tokens.push_back(std::move(token));
          break;
        }
        token.op = ExpOperator::kNot;
        tokens.push_back(std::move(token));
        i += negation;
        continue;
      }
      if (c == '(') {
        const size_t close = FindClosingParenthesis(s, i);
        if (close == std::string_view::npos) ThrowExpr("Missing closing parentheses");
        token.kind = ExpToken::Kind::kSubexpression;
        token.text = std::string(s.substr(i + 1, close - i - 1));
        i = close + 1;
      } else if (c == '.') {
        const size_t close = s.find('.', i + 1);
        if (close == std::string_view::npos) ThrowExpr("Missing closing period");
        const std::string word = UpperCp1251(s.substr(i + 1, close - i - 1));
        if (word != "T" && word != "F") ThrowExpr("Expecting \".T.\" or \".F.\"");
        token.kind = ExpToken::Kind::kLogical;
        token.logical = word == "T";
        i = close + 1;
      } else if (IsIdentStart(c)) {
        const size_t end = IdentEnd(s, i);
        std::string name = UpperCp1251(s.substr(i, end - i));
        size_t after = end;
        while (after < s.size() && IsBlank(s[after])) ++after;
        if (after < s.size() && s[after] == '(') {
          const size_t close = FindClosingParenthesis(s, after);
          if (close == std::string_view::npos) ThrowExpr("Missing closing parentheses");
          token.kind = ExpToken::Kind::kCall;
          token.text = std::move(name);
          token.arguments = std::string(s.substr(after + 1, close - after - 1));
          i = close + 1;
        } else {
          i = end;
          TxbUserDefFieldVar *var = lookup(name);
          if (!var) {
            // alias.field or alias->field
            size_t next = std::string_view::npos;
            if (i < s.size() && s[i] == '.') next = i + 1;
            if (i + 1 < s.size() && s[i] == '-' && s[i + 1] == '>') next = i + 2;
            if (next != std::string_view::npos && next < s.size() && IsIdentStart(s[next])) {
              const size_t qualified_end = IdentEnd(s, next);
              name += "." + UpperCp1251(s.substr(next, qualified_end - next));
              i = qualified_end;
              var = lookup(name);
            }
          }
          if (!var) {
            if (has_link) ThrowExpr("There is no function for %s", name.c_str());
            ThrowExpr("Field/variable %s is unknown", name.c_str());
          }
          token.kind = ExpToken::Kind::kName;
          token.text = std::move(name);
          token.var = var;
        }
      } else if (OpensLiteral(c)) {
        const size_t close = LiteralEnd(s, i);
        if (close == std::string_view::npos) {
          const char mark[2] = {c, '\0'};
          ThrowExpr("Missing closing \"%s\" on literal", mark);
        }
        token.kind = c == '{' ? ExpToken::Kind::kDate : ExpToken::Kind::kText;
        token.text = std::string(s.substr(i + 1, close - i - 1));
        i = close + 1;
      } else if (c == '+' || c == '-' || IsDigit(c)) {
        size_t end = i + 1;
        while (end < s.size() && (IsDigit(s[end]) || s[end] == '.')) ++end;
        if (end > i + 1 && s[end - 1] == '.') --end;
        token.kind = ExpToken::Kind::kNumber;
        token.text = std::string(s.substr(i, end - i));
        i = end;
      } else {
        syntax_error();
      }
      operand_expected = false;
    } else {
      if (InSet("*/+-=<>#$^!", c)) {
        size_t end = i + 1;
        while (end < s.size() && InSet("*<=>", s[end])) ++end;
        if (!FindOperator(kSymbolOperators, s.substr(i, end - i), token.op)) syntax_error();
        i = end;
      } else if (c == '.' || IsIdentStart(c)) {
        const size_t word = c == '.' ? i + 1 : i;
        size_t end = IdentEnd(s, word);
        if (c == '.') {
          if (end >= s.size() || s[end] != '.') syntax_error();
        }
        if (!FindOperator(kWordOperators, UpperCp1251(s.substr(word, end - word)), token.op))
          syntax_error();
        i = c == '.' ? end + 1 : end;
      } else {
        syntax_error();
      }
      operand_expected = true;
    }
    tokens.push_back(std::move(token));
  }
  return tokens;
}

}  // namespace xb
