// The parsed form of an expression: a tree of nodes, each of which yields a
// value and its type. Operators are leaves until the tree builder reduces
// them (state kOperator) and then hold their operands as children.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "xbase/expr/expr_text.h"
#include "xbase/expr/expr_value.h"

namespace xb {

class TxbUserDefFunction;
class TxbUserDefFieldVar;
class TxbExpUserLink;

class TxbExpBaseObject {
 public:
  enum class State { kOperator, kOperand };

  virtual ~TxbExpBaseObject();
  // The node's own text (operator symbol, literal, function or field name).
  virtual std::string NodeText() const = 0;
  // The kind of named value behind the node (16, 17), -1 for other nodes.
  virtual int NodeKind() const { return -1; }
  // Left child's text, own text, right child's text.
  virtual std::string ExpressionText() const;
  // Names of all nodes of `kind` in the subtree, each followed by ";".
  virtual std::string CollectNames(int kind) const;
  // Computes the value for the current record and sets result_type.
  virtual ExpValue Evaluate() = 0;

  std::unique_ptr<TxbExpBaseObject> left;
  std::unique_ptr<TxbExpBaseObject> right;
  State state = State::kOperand;
  ExpType result_type = ExpType::kUnknown;
  int width = 0;
  int decimals = 0;
  int depth = 1;  // height of the subtree, bounded by kMaxNesting
};

// A parenthesised part.
class TxbExpContainer : public TxbExpBaseObject {
 public:
  explicit TxbExpContainer(std::unique_ptr<TxbExpBaseObject> inner);
  std::string NodeText() const override;
  std::string CollectNames(int kind) const override;
  ExpValue Evaluate() override;

 private:
  std::unique_ptr<TxbExpBaseObject> inner_;
};

// The argument list a function's Execute reads from: argument i is fetched
// with a required type, evaluated only when asked for.
class TxbExpArgs {
 public:
  TxbExpArgs(const std::string &function_name, std::vector<std::unique_ptr<TxbExpBaseObject>> &args,
             const TxbExpUserLink *link)
      : name_(function_name), args_(args), link_(link) {}

  size_t Count() const { return args_.size(); }
  bool Present(size_t i) const { return i < args_.size(); }
  // Evaluates argument i; raises "%s needed for Argument %d of %s" when its
  // type is not `required` (the numeric family counts as one type; kAny takes
  // everything). An absent argument has type kEmpty.
  ExpValue Get(size_t i, ExpType required);
  // The argument's node (its width and decimals), or nullptr when absent.
  const TxbExpBaseObject *Node(size_t i) const { return Present(i) ? args_[i].get() : nullptr; }
  // STR's default width: the link's default number width, 10 without a link.
  int DefaultNumberWidth() const;
  const std::string &FunctionName() const { return name_; }

 private:
  const std::string &name_;
  std::vector<std::unique_ptr<TxbExpBaseObject>> &args_;
  const TxbExpUserLink *link_;
};

class TxbExpFunction : public TxbExpBaseObject {
 public:
  TxbExpFunction(TxbUserDefFunction *function, std::string name,
                 std::vector<std::unique_ptr<TxbExpBaseObject>> args, const TxbExpUserLink *link);
  std::string NodeText() const override;
  std::string ExpressionText() const override { return NodeText(); }
  std::string CollectNames(int kind) const override;
  ExpValue Evaluate() override;

 private:
  TxbUserDefFunction *function_;
  std::string name_;
  std::vector<std::unique_ptr<TxbExpBaseObject>> args_;
  const TxbExpUserLink *link_;
};

class TxbExpFieldvar : public TxbExpBaseObject {
 public:
  TxbExpFieldvar(TxbUserDefFieldVar *var, std::string name);
  std::string NodeText() const override { return name_; }
  int NodeKind() const override;
  ExpValue Evaluate() override;
  const TxbUserDefFieldVar *Var() const { return var_; }

 private:
  TxbUserDefFieldVar *var_;
  std::string name_;
};

// Operator codes; the precedence of each is fixed by OperatorPrecedence.
enum class ExpOperator {
  kPower,
  kMultiply,
  kDivide,
  kAdd,
  kSubtract,
  kEqual,
  kNotEqual,
  kGreater,
  kLess,
  kGreaterEqual,
  kLessEqual,
  kContainedIn,
  kNot,
  kAnd,
  kOr,
};
int OperatorPrecedence(ExpOperator op);
const char *OperatorText(ExpOperator op);

class TxbExpOperator : public TxbExpBaseObject {
 public:
  TxbExpOperator(ExpOperator op, const TextCompareOptions &options);
  std::string NodeText() const override { return OperatorText(op_); }
  ExpValue Evaluate() override;
  ExpOperator Op() const { return op_; }
  int Precedence() const { return OperatorPrecedence(op_); }

 private:
  ExpValue EvaluateLogical(const ExpValue &l, const ExpValue &r) const;
  ExpValue EvaluateNumeric(const ExpValue &l, const ExpValue &r) const;
  ExpValue EvaluateText(const ExpValue &l, const ExpValue &r) const;
  ExpValue Comparison(int order) const;

  ExpOperator op_;
  TextCompareOptions options_;
};

class TxbExpTextLit : public TxbExpBaseObject {
 public:
  explicit TxbExpTextLit(std::string text);
  std::string NodeText() const override;
  ExpValue Evaluate() override;

 private:
  std::string text_;
};

class TxbExpNumLit : public TxbExpBaseObject {
 public:
  // `literal` is the digits as written; a text that is no number yields 0.
  explicit TxbExpNumLit(const std::string &literal);
  std::string NodeText() const override;
  ExpValue Evaluate() override;

 private:
  double value_ = 0;
};

class TxbExpDateLit : public TxbExpBaseObject {
 public:
  explicit TxbExpDateLit(const std::string &text);
  std::string NodeText() const override;
  ExpValue Evaluate() override;

 private:
  double day_ = 0;
};

class TxbExpBlnLit : public TxbExpBaseObject {
 public:
  explicit TxbExpBlnLit(bool value) : value_(value) {}
  std::string NodeText() const override { return value_ ? ".T." : ".F."; }
  ExpValue Evaluate() override;

 private:
  bool value_;
};

}  // namespace xb
