// The expression link of an open table: the adapter through which field
// variables and table functions read the table's current record, together
// with the link that holds them. Made by the table's field layer.
#pragma once

#include "xbase/expr/expr_table_bindings.h"

namespace xb {

class XBO_dBaseFld;

class TableExpressionBinding : public TxbExpRecordSource {
 public:
  // Registers the table's functions and one field variable per field under
  // both name forms (field, alias.field).
  explicit TableExpressionBinding(XBO_dBaseFld &table);

  TxbExpUserLink &Link() { return link_; }

  const char *ExpRecordBuffer() const override;
  long long ExpRecNo() const override;
  bool ExpBof() const override;
  bool ExpEof() const override;
  std::string ExpMemoText(int field_number) const override;

 private:
  XBO_dBaseFld &table_;
  TxbExpUserLink link_;
};

}  // namespace xb
