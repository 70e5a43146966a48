// What a table registers in its expression link when it opens: one field
// variable per field (under the field name and under alias.field) and the
// table functions RECNO, DELETED, BOF, EOF, TYPE, LEN and FIELDNO. They read
// the table through the small TxbExpRecordSource interface.
#pragma once

#include <string>
#include <vector>

#include "xbase/expr/expr_link.h"

namespace xb {

// The table as the expression language sees it.
class TxbExpRecordSource {
 public:
  virtual ~TxbExpRecordSource() = default;
  // The current record buffer (deletion flag at offset 0, then the fields).
  virtual const char *ExpRecordBuffer() const = 0;
  virtual long long ExpRecNo() const = 0;
  virtual bool ExpBof() const = 0;
  virtual bool ExpEof() const = 0;
  // The text of a memo field of the current record; no memo by default.
  virtual std::string ExpMemoText(int /*field_number*/) const { return {}; }
};

// One field as the link needs it.
struct TxbExpFieldDesc {
  std::string name;  // without trailing blanks
  char type = 'C';
  int width_byte = 0;     // descriptor byte 16
  int decimals_byte = 0;  // descriptor byte 17
  int offset = 0;         // in the record buffer, after the deletion flag byte
  int number = 0;         // 1-based
  // The width an expression reports: for C fields the width byte plus 256
  // times the decimals byte.
  int Width() const { return type == 'C' ? width_byte + 256 * decimals_byte : width_byte; }
  int Decimals() const { return type == 'C' ? 0 : decimals_byte; }
};

// A field of the table as a named value (kind 17).
class TxblDBFFieldVars : public TxbUserDefFieldVar {
 public:
  TxblDBFFieldVars(std::string names, const TxbExpFieldDesc &field,
                   const TxbExpRecordSource &source);
  int VarKind() const override { return kVarKindTableField; }
  ExpValue Evaluate() override;
  const TxbExpFieldDesc &Field() const { return field_; }

 private:
  TxbExpFieldDesc field_;
  const TxbExpRecordSource &source_;
};

// Registers the table's functions and field variables in `link`. `alias` is
// the table's base name in upper case. The source must outlive the link.
void RegisterTableBindings(TxbExpUserLink &link, const TxbExpRecordSource &source,
                           const std::string &alias, const std::vector<TxbExpFieldDesc> &fields);

// The value of a field's stored bytes by its type letter: C and M text, D day
// number, N F I Y number, L logical, any other type the bytes unconverted
// (kMemo). `memo` is the memo text for M fields.
ExpValue DecodeFieldValue(const TxbExpFieldDesc &field, const char *bytes, const std::string &memo);

}  // namespace xb
