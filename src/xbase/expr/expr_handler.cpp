// Parsing an expression into its tree (precedence reduction) and evaluating
// it; see expr_handler.h.
#include "xbase/expr/expr_handler.h"

#include <cmath>

#include "xbase/expr/expr_link.h"
#include "xbase/expr/expr_registry.h"
#include "xbase/expr/expr_tokenizer.h"

namespace xb {

using NodePtr = std::unique_ptr<TxbExpBaseObject>;

// Turns the text of one (sub)expression into a tree: tokens become nodes,
// then the operators are reduced by precedence, tightest first, each
// precedence from left to right.
class ExpTreeBuilder {
 public:
  explicit ExpTreeBuilder(TxbExpHandler &handler, const std::string &whole)
      : handler_(handler), whole_(whole) {}

  NodePtr Parse(std::string_view text) {
    if (++nesting_ > kMaxNesting) ThrowExpr("Expression is too complex");
    const ExpNameLookup lookup = [this](const std::string &name) { return Lookup(name); };
    std::vector<NodePtr> nodes;
    for (const ExpToken &token :
         TokenizeExpression(TrimBlankControls(text), whole_, lookup, handler_.link_ != nullptr))
      nodes.push_back(MakeNode(token));
    for (int precedence = 2; precedence <= 8; ++precedence)
      nodes = Reduce(std::move(nodes), precedence);
    if (nodes.size() != 1) ThrowExpr("Expression cannot be evaluated");
    --nesting_;
    return std::move(nodes.front());
  }

 private:
  TxbUserDefFieldVar *Lookup(const std::string &name) const {
    if (TxbUserDefFieldVar *var = GlobalFieldVars().Find(name)) return var;
    return handler_.link_ ? handler_.link_->FindFieldVar(name) : nullptr;
  }

  void Count(const TxbExpBaseObject &node) {
    ++handler_.field_count_;
    handler_.max_width_ = std::max(handler_.max_width_, node.width);
    handler_.max_decimals_ = std::max(handler_.max_decimals_, node.decimals);
  }

  NodePtr MakeNode(const ExpToken &token) {
    NodePtr node;
    switch (token.kind) {
      case ExpToken::Kind::kOperator:
        return std::make_unique<TxbExpOperator>(token.op, handler_.options_);
      case ExpToken::Kind::kSubexpression:
        node = std::make_unique<TxbExpContainer>(Parse(token.text));
        break;
      case ExpToken::Kind::kLogical:
        return std::make_unique<TxbExpBlnLit>(token.logical);
      case ExpToken::Kind::kName:
        node = std::make_unique<TxbExpFieldvar>(token.var, token.var->FirstName());
        if (token.var->VarKind() == kVarKindTableField) Count(*node);
        return node;
      case ExpToken::Kind::kCall:
        node = MakeCall(token);
        break;
      case ExpToken::Kind::kText:
        return std::make_unique<TxbExpTextLit>(token.text);
      case ExpToken::Kind::kDate:
        return std::make_unique<TxbExpDateLit>(token.text);
      case ExpToken::Kind::kNumber:
        node = std::make_unique<TxbExpNumLit>(token.text);
        Count(*node);
        return node;
    }
    if (node->depth > kMaxNesting) ThrowExpr("Expression is too complex");
    return node;
  }

  NodePtr MakeCall(const ExpToken &token) {
    TxbUserDefFunction *function = GlobalFunctions().Find(token.text);
    if (!function && handler_.link_) function = handler_.link_->FindFunction(token.text);
    if (!function) ThrowExpr("There is no function for %s", token.text.c_str());
    std::vector<NodePtr> args;
    for (const std::string &piece : SplitArguments(token.arguments))
      if (!TrimBlankControls(piece).empty()) args.push_back(Parse(piece));
    return std::make_unique<TxbExpFunction>(function, token.text, std::move(args), handler_.link_);
  }

  static bool IsUnreduced(const NodePtr &node) {
    return node->state == TxbExpBaseObject::State::kOperator;
  }

  // One left-to-right pass: each unreduced operator of `precedence` takes
  // its right neighbour and (unless it is NOT) its left neighbour.
  static std::vector<NodePtr> Reduce(std::vector<NodePtr> in, int precedence) {
    std::vector<NodePtr> out;
    out.reserve(in.size());
    for (size_t i = 0; i < in.size(); ++i) {
      NodePtr node = std::move(in[i]);
      auto *op = dynamic_cast<TxbExpOperator *>(node.get());
      if (!op || !IsUnreduced(node) || op->Precedence() != precedence) {
        out.push_back(std::move(node));
        continue;
      }
      const bool take_right = i + 1 < in.size() && !IsUnreduced(in[i + 1]);
      const bool take_left =
          op->Op() != ExpOperator::kNot && !out.empty() && !IsUnreduced(out.back());
      const int depth =
          1 + std::max(take_right ? in[i + 1]->depth : 0, take_left ? out.back()->depth : 0);
      if (depth > kMaxNesting) ThrowExpr("Expression is too complex");
      if (take_right) node->right = std::move(in[++i]);
      if (take_left) {
        node->left = std::move(out.back());
        out.pop_back();
      }
      node->depth = depth;
      node->state = TxbExpBaseObject::State::kOperand;
      out.push_back(std::move(node));
    }
    return out;
  }

  TxbExpHandler &handler_;
  const std::string &whole_;
  int nesting_ = 0;
};

std::string StripAlias(const std::string &text, const std::string &alias) {
  if (alias.empty()) return text;
  const std::string upper_text = UpperCp1251(text);
  const std::string upper_alias = UpperCp1251(alias);
  auto ident_char = [](char c) {
    const auto u = static_cast<unsigned char>(c);
    return c == '_' || (c >= '0' && c <= '9') || UpperCp1251Char(u) != u || LowerCp1251Char(u) != u;
  };
  std::string out;
  char closing = 0;  // inside a literal: the character that ends it
  size_t i = 0;
  while (i < text.size()) {
    const char c = text[i];
    if (closing) {
      if (c == closing) closing = 0;
    } else if (c == '"' || c == '\'' || c == '[' || c == '{') {
      closing = c == '[' ? ']' : (c == '{' ? '}' : c);
    } else if ((i == 0 || (!ident_char(text[i - 1]) && text[i - 1] != '.')) &&
               upper_text.compare(i, upper_alias.size(), upper_alias) == 0) {
      // Only a whole name outside literals: ".T." stays for a table named T.
      const size_t after = i + upper_alias.size();
      if (after < text.size() && text[after] == '.') {
        i = after + 1;
        continue;
      }
      if (after + 1 < text.size() && text[after] == '-' && text[after + 1] == '>') {
        i = after + 2;
        continue;
      }
    }
    out += text[i++];
  }
  return out;
}

TxbExpHandler::TxbExpHandler(TxbExpUserLink *link, bool second_wildcards, std::string alias,
                             const std::string &text)
    : link_(link), alias_(std::move(alias)) {
  if (second_wildcards) {
    options_.many = '%';
    options_.one = '_';
  }
  SetExpression(text);
}

TxbExpHandler::~TxbExpHandler() = default;

void TxbExpHandler::SetExpression(const std::string &text) {
  root_.reset();
  text_ = text;
  field_count_ = max_width_ = max_decimals_ = 0;
  const std::string prepared(TrimBlankControls(StripAlias(text, alias_)));
  if (prepared.empty()) return;
  ExpTreeBuilder builder(*this, prepared);
  root_ = builder.Parse(prepared);
}

ExpValue TxbExpHandler::Evaluate() {
  if (!root_) {
    result_type_ = ExpType::kUnknown;
    return ExpValue::Text("", ExpType::kUnknown);
  }
  result_type_ = ExpType::kUnknown;
  ExpValue v = root_->Evaluate();
  result_type_ = v.type;
  return v;
}

void TxbExpHandler::EvaluateToVariant(ExpValue &target) {
  ExpValue v = Evaluate();
  switch (v.type) {
    case ExpType::kText:
      target = ExpValue::Text(std::move(v.text));
      break;
    case ExpType::kNumber:
    case ExpType::kDateTime:
      target = ExpValue::Number(v.number, v.type);
      break;
    case ExpType::kDate:
      target = ExpValue::Date(IsEmptyDate(v.number) ? v.number : std::trunc(v.number));
      break;
    case ExpType::kBoolean:
      target = ExpValue::Logic(v.logic);
      break;
    default:
      target = ExpValue();
      result_type_ = ExpType::kUnknown;
  }
}

std::string TxbExpHandler::ExpressionText() const { return root_ ? root_->ExpressionText() : ""; }

namespace {

// Appends the names of a '+' chain to `out`; false at any other node.
bool CollectConcatenation(const TxbExpBaseObject &node,
                          std::vector<const TxbUserDefFieldVar *> &out) {
  if (const auto *name = dynamic_cast<const TxbExpFieldvar *>(&node)) {
    out.push_back(name->Var());
    return true;
  }
  const auto *op = dynamic_cast<const TxbExpOperator *>(&node);
  return op && op->Op() == ExpOperator::kAdd && node.left && node.right &&
         CollectConcatenation(*node.left, out) && CollectConcatenation(*node.right, out);
}

}  // namespace

std::vector<const TxbUserDefFieldVar *> TxbExpHandler::ConcatenatedNames() const {
  std::vector<const TxbUserDefFieldVar *> names;
  if (!root_ || !CollectConcatenation(*root_, names)) names.clear();
  return names;
}

std::string TxbExpHandler::CollectNames(int kind) const {
  return root_ ? root_->CollectNames(kind) : "";
}

}  // namespace xb
