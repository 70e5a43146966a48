// The table's expression link; see expr_table_source.h.
#include "xbase/expr/expr_table_source.h"

#include "xbase/table/dbase_fld.h"

namespace xb {

TableExpressionBinding::TableExpressionBinding(XBO_dBaseFld &table) : table_(table) {
  std::vector<TxbExpFieldDesc> fields;
  for (const dbf::FieldDef &f : table.Fields()) {
    TxbExpFieldDesc d;
    d.name = f.name;
    d.type = f.type;
    // For C fields the descriptor's width byte and decimals byte together
    // hold the width.
    d.width_byte = static_cast<int>(f.type == 'C' ? f.width % 256 : f.width);
    d.decimals_byte = static_cast<int>(f.type == 'C' ? f.width / 256 : f.decimals);
    d.offset = static_cast<int>(f.offset);
    d.number = f.number;
    fields.push_back(d);
  }
  RegisterTableBindings(link_, *this, table.Alias(), fields);
}

const char *TableExpressionBinding::ExpRecordBuffer() const { return table_.RecordBuffer(); }
long long TableExpressionBinding::ExpRecNo() const { return table_.RecordNumber(); }
bool TableExpressionBinding::ExpBof() const { return table_.Bof(); }
bool TableExpressionBinding::ExpEof() const { return table_.Eof(); }

std::string TableExpressionBinding::ExpMemoText(int field_number) const {
  return table_.StringGet(field_number);
}

}  // namespace xb
