// Node classes of the expression tree and the type rules of the operators;
// see expr_nodes.h.
#include "xbase/expr/expr_nodes.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "xbase/expr/expr_dates.h"
#include "xbase/expr/expr_link.h"
#include "xbase/expr/expr_registry.h"

namespace xb {

TxbExpBaseObject::~TxbExpBaseObject() = default;

std::string TxbExpBaseObject::ExpressionText() const {
  std::string text;
  if (left) text += left->ExpressionText();
  text += NodeText();
  if (right) text += right->ExpressionText();
  return text;
}

std::string TxbExpBaseObject::CollectNames(int kind) const {
  std::string names;
  if (left) names += left->CollectNames(kind);
  if (kind == NodeKind()) names += NodeText() + ";";
  if (right) names += right->CollectNames(kind);
  return names;
}

// ---- container ----

TxbExpContainer::TxbExpContainer(std::unique_ptr<TxbExpBaseObject> inner)
    : inner_(std::move(inner)) {
  width = inner_->width;
  decimals = inner_->decimals;
  depth = inner_->depth + 1;
}

std::string TxbExpContainer::NodeText() const { return "(" + inner_->ExpressionText() + ")"; }

std::string TxbExpContainer::CollectNames(int kind) const { return inner_->CollectNames(kind); }

ExpValue TxbExpContainer::Evaluate() {
  ExpValue v = inner_->Evaluate();
  result_type = v.type;
  return v;
}

// ---- function call ----

ExpValue TxbExpArgs::Get(size_t i, ExpType required) {
  ExpValue v;
  v.type = ExpType::kEmpty;
  if (Present(i)) v = args_[i]->Evaluate();
  if (required != ExpType::kAny && v.type != required &&
      !(IsNumericFamily(v.type) && IsNumericFamily(required)))
    ThrowExpr("%s needed for Argument %d of %s", ExpTypeName(required), static_cast<int>(i) + 1,
              name_.c_str());
  return v;
}

int TxbExpArgs::DefaultNumberWidth() const { return link_ ? link_->default_number_width : 10; }

TxbExpFunction::TxbExpFunction(TxbUserDefFunction *function, std::string name,
                               std::vector<std::unique_ptr<TxbExpBaseObject>> args,
                               const TxbExpUserLink *link)
    : function_(function), name_(std::move(name)), args_(std::move(args)), link_(link) {
  int deepest = 0;
  for (const auto &arg : args_) deepest = std::max(deepest, arg->depth);
  depth = deepest + 1;
}

std::string TxbExpFunction::NodeText() const {
  std::string text = name_ + "(";
  for (size_t i = 0; i < args_.size(); ++i) {
    if (i) text += ",";
    text += args_[i]->ExpressionText();
  }
  return text + ")";
}

std::string TxbExpFunction::CollectNames(int kind) const {
  std::string names;
  for (const auto &arg : args_) names += arg->CollectNames(kind);
  return names;
}

ExpValue TxbExpFunction::Evaluate() {
  TxbExpArgs args(name_, args_, link_);
  ExpValue v = function_->Execute(args);
  if (IsNumericFamily(v.type)) CheckFinite(v.number, name_.c_str());
  result_type = v.type;
  return v;
}

// ---- named value ----

TxbExpFieldvar::TxbExpFieldvar(TxbUserDefFieldVar *var, std::string name)
    : var_(var), name_(std::move(name)) {
  width = var_->width;
  decimals = var_->decimals;
  ++var_->use_count;
}

int TxbExpFieldvar::NodeKind() const { return var_->VarKind(); }

ExpValue TxbExpFieldvar::Evaluate() {
  ExpValue v = var_->Evaluate();
  result_type = v.type;
  return v;
}

// ---- operators ----

int OperatorPrecedence(ExpOperator op) {
  switch (op) {
    case ExpOperator::kPower:
      return 2;
    case ExpOperator::kMultiply:
    case ExpOperator::kDivide:
      return 3;
    case ExpOperator::kAdd:
    case ExpOperator::kSubtract:
      return 4;
    case ExpOperator::kNot:
      return 6;
    case ExpOperator::kAnd:
      return 7;
    case ExpOperator::kOr:
      return 8;
    default:
      return 5;
  }
}

const char *OperatorText(ExpOperator op) {
  switch (op) {
    case ExpOperator::kPower:
      return "^";
    case ExpOperator::kMultiply:
      return "*";
    case ExpOperator::kDivide:
      return "/";
    case ExpOperator::kAdd:
      return "+";
    case ExpOperator::kSubtract:
      return "-";
    case ExpOperator::kEqual:
      return "=";
    case ExpOperator::kNotEqual:
      return "#";
    case ExpOperator::kGreater:
      return ">";
    case ExpOperator::kLess:
      return "<";
    case ExpOperator::kGreaterEqual:
      return ">=";
    case ExpOperator::kLessEqual:
      return "<=";
    case ExpOperator::kContainedIn:
      return "in string";
    case ExpOperator::kNot:
      return ".NOT.";
    case ExpOperator::kAnd:
      return ".AND.";
    case ExpOperator::kOr:
      return ".OR.";
  }
  return "";
}

TxbExpOperator::TxbExpOperator(ExpOperator op, const TextCompareOptions &options)
    : op_(op), options_(options) {
  state = State::kOperator;
}

namespace {

bool IsArithmetic(ExpOperator op) {
  return op == ExpOperator::kPower || op == ExpOperator::kMultiply || op == ExpOperator::kDivide ||
         op == ExpOperator::kAdd || op == ExpOperator::kSubtract;
}

[[noreturn]] void RequiredInvalid(const char *what) {
  ThrowExpr("A %s value is required but invalid", what);
}

}  // namespace

ExpValue TxbExpOperator::Comparison(int order) const {
  switch (op_) {
    case ExpOperator::kEqual:
      return ExpValue::Logic(order == 0);
    case ExpOperator::kNotEqual:
      return ExpValue::Logic(order != 0);
    case ExpOperator::kGreater:
      return ExpValue::Logic(order > 0);
    case ExpOperator::kLess:
      return ExpValue::Logic(order < 0);
    case ExpOperator::kGreaterEqual:
      return ExpValue::Logic(order >= 0);
    case ExpOperator::kLessEqual:
      return ExpValue::Logic(order <= 0);
    default:
      RequiredInvalid("assigned");
  }
}

ExpValue TxbExpOperator::Evaluate() {
  if (!right) ThrowExpr("Target value missing for %s operation", NodeText().c_str());
  const ExpValue r = right->Evaluate();
  ExpValue result;
  if (op_ == ExpOperator::kNot) {
    if (r.type != ExpType::kBoolean) RequiredInvalid("boolean");
    result = ExpValue::Logic(!r.logic);
  } else {
    if (!left) ThrowExpr("Target value missing for %s operation", NodeText().c_str());
    const ExpValue l = left->Evaluate();
    if (l.type != r.type && !(IsNumericFamily(l.type) && IsNumericFamily(r.type)))
      ThrowExpr("The two sides of an operation do not match");
    if (r.type == ExpType::kBoolean)
      result = EvaluateLogical(l, r);
    else if (IsNumericFamily(r.type))
      result = EvaluateNumeric(l, r);
    else if (r.type == ExpType::kText || r.type == ExpType::kMemo)
      result = EvaluateText(l, r);
    else
      RequiredInvalid("assigned");
  }
  result_type = result.type;
  return result;
}

ExpValue TxbExpOperator::EvaluateLogical(const ExpValue &l, const ExpValue &r) const {
  switch (op_) {
    case ExpOperator::kEqual:
      return ExpValue::Logic(l.logic == r.logic);
    case ExpOperator::kNotEqual:
      return ExpValue::Logic(l.logic != r.logic);
    case ExpOperator::kAnd:
      return ExpValue::Logic(l.logic && r.logic);
    case ExpOperator::kOr:
      return ExpValue::Logic(l.logic || r.logic);
    default:
      RequiredInvalid(IsArithmetic(op_) ? "number" : "assigned");
  }
}

ExpValue TxbExpOperator::EvaluateNumeric(const ExpValue &l, const ExpValue &r) const {
  const char *name = OperatorText(op_);
  double value = 0;
  switch (op_) {
    case ExpOperator::kAdd:
      value = l.number + r.number;
      break;
    case ExpOperator::kSubtract:
      value = l.number - r.number;
      break;
    case ExpOperator::kMultiply:
      value = l.number * r.number;
      break;
    case ExpOperator::kDivide:
      if (r.number == 0) ThrowExpr("Division by zero in %s", name);
      value = l.number / r.number;
      break;
    case ExpOperator::kPower: {
      // The left operand multiplied by itself (exponent - 1) times; an
      // exponent of 1 or less leaves it unchanged.
      const double times = std::trunc(r.number);
      value = times > 1 ? std::pow(l.number, times) : l.number;
      break;
    }
    case ExpOperator::kAnd:
    case ExpOperator::kOr:
    case ExpOperator::kContainedIn:
      RequiredInvalid("assigned");
    default: {
      const double d = l.number - r.number;
      return Comparison(d > 0 ? 1 : (d < 0 ? -1 : 0));
    }
  }
  return ExpValue::Number(CheckFinite(value, name), r.type);
}

ExpValue TxbExpOperator::EvaluateText(const ExpValue &l, const ExpValue &r) const {
  switch (op_) {
    case ExpOperator::kAdd:
      CheckTextLength(static_cast<double>(l.text.size()) + r.text.size(), "+");
      return ExpValue::Text(l.text + r.text, r.type);
    case ExpOperator::kSubtract: {
      CheckTextLength(static_cast<double>(l.text.size()) + r.text.size(), "-");
      std::string joined = std::string(TrimRightBlanks(l.text)) + r.text;
      joined.resize(l.text.size() + r.text.size(), ' ');
      return ExpValue::Text(std::move(joined), r.type);
    }
    case ExpOperator::kContainedIn:
      return ExpValue::Logic(r.text.find(l.text) != std::string::npos);
    case ExpOperator::kPower:
    case ExpOperator::kMultiply:
    case ExpOperator::kDivide:
    case ExpOperator::kAnd:
    case ExpOperator::kOr:
      RequiredInvalid("assigned");
    default:
      return Comparison(CompareExpressionTexts(l.text, r.text, options_));
  }
}

// ---- literals ----

TxbExpTextLit::TxbExpTextLit(std::string text) : text_(std::move(text)) {
  width = static_cast<int>(text_.size());
}

std::string TxbExpTextLit::NodeText() const {
  // Double quotes unless the text holds one, so the text parses again.
  if (text_.find('"') == std::string::npos) return "\"" + text_ + "\"";
  if (text_.find('\'') == std::string::npos) return "'" + text_ + "'";
  return "[" + text_ + "]";
}

ExpValue TxbExpTextLit::Evaluate() {
  result_type = ExpType::kText;
  return ExpValue::Text(text_);
}

TxbExpNumLit::TxbExpNumLit(const std::string &literal) {
  width = static_cast<int>(literal.size());
  const size_t point = literal.find('.');
  decimals = point == std::string::npos ? 0 : static_cast<int>(literal.size() - point - 1);
  // Digits with at most one point and an optional leading sign; anything else
  // (several points, a lone sign) is no number and yields 0.
  size_t digits = 0, points = 0;
  for (size_t i = 0; i < literal.size(); ++i) {
    const char c = literal[i];
    if (c >= '0' && c <= '9')
      ++digits;
    else if (c == '.')
      ++points;
    else if (i != 0)
      points = 2;
  }
  if (digits > 0 && points <= 1)
    value_ = CheckFinite(std::strtod(literal.c_str(), nullptr), literal.c_str());
}

std::string TxbExpNumLit::NodeText() const {
  char buf[400];
  std::snprintf(buf, sizeof buf, "%.*f", std::min(decimals, 30), value_);
  std::string text = buf;
  return text.substr(text.find_first_not_of(' '));
}

ExpValue TxbExpNumLit::Evaluate() {
  result_type = ExpType::kNumber;
  return ExpValue::Number(value_);
}

TxbExpDateLit::TxbExpDateLit(const std::string &text) : day_(ParseDateText(text)) { width = 8; }

std::string TxbExpDateLit::NodeText() const { return "{" + ExpDateToShortDate(day_) + "}"; }

ExpValue TxbExpDateLit::Evaluate() {
  result_type = ExpType::kDate;
  return ExpValue::Date(day_);
}

ExpValue TxbExpBlnLit::Evaluate() {
  result_type = ExpType::kBoolean;
  return ExpValue::Logic(value_);
}

}  // namespace xb
