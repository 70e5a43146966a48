// Functions and named values an expression can call or name: the base
// classes of both, the two sorted registries that hold them, and the global
// registries with the built-in functions and TRUE, FALSE, PI.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "xbase/expr/expr_nodes.h"
#include "xbase/expr/expr_value.h"

namespace xb {

class TxbUserDefFunction {
 public:
  virtual ~TxbUserDefFunction() = default;
  virtual std::string FunctionName() const { return {}; }
  virtual ExpValue Execute(TxbExpArgs &args);
};

// Kinds a named value reports through VarKind; they reach callers of
// CollectNames.
inline constexpr int kVarKindNamedValue = 16;
inline constexpr int kVarKindTableField = 17;

class TxbUserDefFieldVar {
 public:
  // `names`: one or more names separated by ";".
  TxbUserDefFieldVar(std::string names, int width, int decimals)
      : width(width), decimals(decimals), names_(std::move(names)) {}
  virtual ~TxbUserDefFieldVar() = default;
  virtual std::string VarNames() const { return names_; }
  virtual std::string FirstName() const;
  virtual int VarKind() const { return kVarKindNamedValue; }
  virtual ExpValue Evaluate() { return {}; }

  int width;
  int decimals;
  int use_count = 0;

 private:
  std::string names_;
};

// Functions keyed by upper-case name; a second function of a name is refused.
class TxbFunctionReg {
 public:
  bool Add(std::unique_ptr<TxbUserDefFunction> function);
  TxbUserDefFunction *Find(std::string_view name) const;
  size_t Count() const { return functions_.size(); }

 private:
  std::map<std::string, std::unique_ptr<TxbUserDefFunction>, std::less<>> functions_;
};

// Named values keyed by upper-case name, one entry per name of the value's
// name list; a name that is already taken keeps its first value (Add then
// returns false), the value's other names are still entered.
class TxbFieldVarReg {
 public:
  bool Add(std::shared_ptr<TxbUserDefFieldVar> var);
  // `max_chars`: compare at most that many leading characters of the name.
  TxbUserDefFieldVar *Find(std::string_view name, size_t max_chars = std::string_view::npos) const;

 private:
  std::map<std::string, std::shared_ptr<TxbUserDefFieldVar>, std::less<>> vars_;
};

// The registries shared by all expressions, filled on first use.
const TxbFunctionReg &GlobalFunctions();
const TxbFieldVarReg &GlobalFieldVars();

class TxbSDVTrue : public TxbUserDefFieldVar {
 public:
  TxbSDVTrue() : TxbUserDefFieldVar("TRUE", 1, 0) {}
  ExpValue Evaluate() override { return ExpValue::Logic(true); }
};

class TxbSDVFalse : public TxbUserDefFieldVar {
 public:
  TxbSDVFalse() : TxbUserDefFieldVar("FALSE", 1, 0) {}
  ExpValue Evaluate() override { return ExpValue::Logic(false); }
};

class TxbSDVPi : public TxbUserDefFieldVar {
 public:
  TxbSDVPi() : TxbUserDefFieldVar("PI", 20, 18) {}
  ExpValue Evaluate() override { return ExpValue::Number(3.1415926535897932385); }
};

}  // namespace xb
