// An expression of the xBase language parsed once into a tree and evaluated
// against the current record of its link's table: index keys, index FOR
// conditions and table filters are all TxbExpHandler objects.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "xbase/expr/expr_nodes.h"
#include "xbase/expr/expr_text.h"
#include "xbase/expr/expr_value.h"

namespace xb {

class TxbExpUserLink;

class TxbExpHandler {
 public:
  // Parses `text` at once; a syntax or name error raises EXbaseExpression.
  // `link` may be null (only global functions and names). With
  // `second_wildcards` the comparison wildcards are '%' and '_' instead of
  // '*' and '?'. Every "alias." and "alias->" is removed before
  // parsing (see StripAlias).
  TxbExpHandler(TxbExpUserLink *link, bool second_wildcards, std::string alias,
                const std::string &text);
  ~TxbExpHandler();
  TxbExpHandler(const TxbExpHandler &) = delete;
  TxbExpHandler &operator=(const TxbExpHandler &) = delete;

  // The value for the current record; an expression without a tree yields
  // the empty text of type kUnknown.
  ExpValue Evaluate();
  // Evaluates and stores text, number (Number, DateTime), day number (Date,
  // truncated) or logical into `target`; other types leave `target` without
  // value (kUnknown) and make ResultType() kUnknown.
  void EvaluateToVariant(ExpValue &target);
  ExpType ResultType() const { return result_type_; }

  // Drops the tree and parses `text`.
  void SetExpression(const std::string &text);
  std::string ExpressionText() const;
  std::string CollectNames(int kind) const;
  // The text as given to the constructor or SetExpression.
  const std::string &Text() const { return text_; }
  bool HasTree() const { return root_ != nullptr; }

  // String-comparison settings, copied into the operators at the next parse.
  void SetCaseInsensitive(bool on) { options_.case_insensitive = on; }
  void SetPartial(bool on) { options_.partial = on; }
  bool CaseInsensitive() const { return options_.case_insensitive; }
  bool Partial() const { return options_.partial; }

  // Field references and numeric literals of the expression, and the largest
  // width and decimals among them.
  int FieldCount() const { return field_count_; }
  int MaxWidth() const { return max_width_; }
  int MaxDecimals() const { return max_decimals_; }

  // The named values whose plain concatenation the expression is ("a+b+c":
  // names joined by '+' only, no parentheses, literals or calls), in order;
  // empty for any other expression.
  std::vector<const TxbUserDefFieldVar *> ConcatenatedNames() const;

  TxbExpUserLink *Link() const { return link_; }
  const std::string &Alias() const { return alias_; }

 private:
  friend class ExpTreeBuilder;

  TxbExpUserLink *link_;
  std::string alias_;
  std::string text_;
  std::unique_ptr<TxbExpBaseObject> root_;
  ExpType result_type_ = ExpType::kUnknown;
  TextCompareOptions options_;
  int field_count_ = 0;
  int max_width_ = 0;
  int max_decimals_ = 0;
};

// Removes every alias + "." and alias + "->" (letter case ignored) that
// stands as a whole name outside text and date literals.
std::string StripAlias(const std::string &text, const std::string &alias);

}  // namespace xb
