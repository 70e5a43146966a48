// Splits the text of one (sub)expression into tokens, reading alternately an
// operand and an operator. Parenthesised parts, function arguments and the
// rest of an expression after an inner negation are kept as text and parsed
// again by the caller.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "xbase/expr/expr_nodes.h"

namespace xb {

class TxbUserDefFieldVar;

struct ExpToken {
  enum class Kind {
    kOperator,       // `op`; a negation is an operator with op kNot
    kSubexpression,  // `text` is parsed as an expression of its own
    kLogical,        // `logical`
    kName,           // `text` the upper-case name, `var` the named value
    kCall,           // `text` the upper-case function name, `arguments` the text inside "(...)"
    kText,           // `text` the literal
    kDate,           // `text` between the braces
    kNumber,         // `text` the digits as written
  };
  Kind kind = Kind::kOperator;
  std::string text;
  std::string arguments;
  ExpOperator op = ExpOperator::kAdd;
  bool logical = false;
  TxbUserDefFieldVar *var = nullptr;
};

// Finds an upper-case name among the named values; nullptr when unknown.
using ExpNameLookup = std::function<TxbUserDefFieldVar *(const std::string &)>;

// Tokenizes `text`. `whole` is the complete expression, quoted by the syntax
// error. A name that `lookup` does not know raises "There is no function for
// %s", or "Field/variable %s is unknown" when the expression has no link.
std::vector<ExpToken> TokenizeExpression(std::string_view text, std::string_view whole,
                                         const ExpNameLookup &lookup, bool has_link);

// Position of the ")" that closes the "(" at `open` (nesting counted; quoted,
// bracketed and braced literals skipped), or npos.
size_t FindClosingParenthesis(std::string_view text, size_t open);

// Splits the text between a call's parentheses at the commas of nesting
// level zero.
std::vector<std::string> SplitArguments(std::string_view text);

// Characters of code 0 to 32 count as blanks between tokens.
std::string_view TrimBlankControls(std::string_view text);

}  // namespace xb
