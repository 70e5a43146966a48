// Function and named-value registries; see expr_registry.h.
#include "xbase/expr/expr_registry.h"

#include "xbase/expr/expr_functions.h"
#include "xbase/expr/expr_text.h"

namespace xb {

ExpValue TxbUserDefFunction::Execute(TxbExpArgs &) {
  ExpValue v;
  v.type = ExpType::kEmpty;
  return v;
}

std::string TxbUserDefFieldVar::FirstName() const { return names_.substr(0, names_.find(';')); }

bool TxbFunctionReg::Add(std::unique_ptr<TxbUserDefFunction> function) {
  std::string key = UpperCp1251(function->FunctionName());
  if (functions_.count(key)) return false;
  functions_.emplace(std::move(key), std::move(function));
  return true;
}

TxbUserDefFunction *TxbFunctionReg::Find(std::string_view name) const {
  const auto it = functions_.find(UpperCp1251(name));
  return it == functions_.end() ? nullptr : it->second.get();
}

namespace {

std::vector<std::string> SplitNames(const std::string &list) {
  std::vector<std::string> names;
  size_t start = 0;
  while (start <= list.size()) {
    const size_t end = std::min(list.find(';', start), list.size());
    if (end > start) names.push_back(UpperCp1251(list.substr(start, end - start)));
    start = end + 1;
  }
  return names;
}

}  // namespace

bool TxbFieldVarReg::Add(std::shared_ptr<TxbUserDefFieldVar> var) {
  bool all = true;
  for (const auto &name : SplitNames(var->VarNames())) all = vars_.emplace(name, var).second && all;
  return all;
}

TxbUserDefFieldVar *TxbFieldVarReg::Find(std::string_view name, size_t max_chars) const {
  const std::string key = UpperCp1251(name.substr(0, max_chars));
  auto it = vars_.find(key);
  if (it != vars_.end()) return it->second.get();
  if (max_chars == std::string_view::npos || name.size() < max_chars) return nullptr;
  // A name cut to max_chars also finds a registered name that is longer.
  it = vars_.lower_bound(key);
  if (it != vars_.end() && it->first.compare(0, key.size(), key) == 0) return it->second.get();
  return nullptr;
}

const TxbFunctionReg &GlobalFunctions() {
  static const TxbFunctionReg registry = [] {
    TxbFunctionReg reg;
    RegisterBuiltinFunctions(reg);
    return reg;
  }();
  return registry;
}

const TxbFieldVarReg &GlobalFieldVars() {
  static const TxbFieldVarReg registry = [] {
    TxbFieldVarReg reg;
    reg.Add(std::make_shared<TxbSDVTrue>());
    reg.Add(std::make_shared<TxbSDVFalse>());
    reg.Add(std::make_shared<TxbSDVPi>());
    return reg;
  }();
  return registry;
}

}  // namespace xb
