// The per-table expression link; see expr_link.h.
#include "xbase/expr/expr_link.h"

namespace xb {

const TxbUserDefFunction *TxbExpUserLink::FindFunction(std::string_view upper_name) const {
  return functions_.Find(upper_name);
}

TxbUserDefFunction *TxbExpUserLink::FindFunction(std::string_view upper_name) {
  return functions_.Find(upper_name);
}

TxbUserDefFieldVar *TxbExpUserLink::FindFieldVar(std::string_view upper_name) const {
  if (upper_name.find('.') != std::string_view::npos) return field_vars_.Find(upper_name);
  return field_vars_.Find(upper_name, kLookupChars);
}

}  // namespace xb
