// The per-table link of the expression language: a function registry and a
// named-value registry that a table fills with its own functions and one
// field variable per field, consulted after the global registries.
#pragma once

#include <string_view>

#include "xbase/expr/expr_registry.h"

namespace xb {

class TxbExpUserLink {
 public:
  // Lookups of a plain name compare at most this many leading characters,
  // the length of a field name.
  static constexpr size_t kLookupChars = 10;

  TxbFunctionReg &Functions() { return functions_; }
  TxbFieldVarReg &FieldVars() { return field_vars_; }
  const TxbUserDefFunction *FindFunction(std::string_view upper_name) const;
  TxbUserDefFunction *FindFunction(std::string_view upper_name);
  // A name without a point uses the first kLookupChars characters; a
  // qualified name (alias.field) must match in full.
  TxbUserDefFieldVar *FindFieldVar(std::string_view upper_name) const;

  // STR's default width in expressions of this link; a negative value makes
  // STR use the width of its argument.
  int default_number_width = 10;

 private:
  TxbFunctionReg functions_;
  TxbFieldVarReg field_vars_;
};

}  // namespace xb
