// The built-in functions of the expression language (56 of them, registered
// in the global function registry) and the helpers their bodies share.
#pragma once

#include <string>

#include "xbase/expr/expr_registry.h"

namespace xb {

// Fills `reg` with every built-in function.
void RegisterBuiltinFunctions(TxbFunctionReg &reg);

// A function whose behaviour is a plain function of its arguments.
class BuiltinFunction final : public TxbUserDefFunction {
 public:
  using Body = ExpValue (*)(TxbExpArgs &);
  BuiltinFunction(const char *name, Body body) : name_(name), body_(body) {}
  std::string FunctionName() const override { return name_; }
  ExpValue Execute(TxbExpArgs &args) override { return body_(args); }

 private:
  std::string name_;
  Body body_;
};

void AddBuiltin(TxbFunctionReg &reg, const char *name, BuiltinFunction::Body body);

// The groups of built-ins, one per source file.
void RegisterTextFunctions(TxbFunctionReg &reg);
void RegisterMathFunctions(TxbFunctionReg &reg);
void RegisterValueFunctions(TxbFunctionReg &reg);

// Truncates toward zero, clamped to +-2^53 so that any double converts safely.
long long TruncateToInteger(double value);
// Argument i as a number truncated toward zero.
long long IntegerArg(TxbExpArgs &args, size_t i);
// n rounded half away from zero to `decimals` digits after the point (a
// negative count rounds to tens, hundreds, ...).
double RoundToDecimals(double n, long long decimals);
// Argument i as text (kText required).
std::string TextArg(TxbExpArgs &args, size_t i);
// A value shown as text: texts as they are, numbers in their shortest form,
// dates in the short date form, logicals as T or F.
std::string ValueAsText(const ExpValue &value);
// Orders two values of one type family (<0, 0, >0); texts by the locale-like
// order without their trailing blanks, false before true.
int CompareValues(const ExpValue &a, const ExpValue &b);

}  // namespace xb
