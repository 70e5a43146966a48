// A fake table row for expression tests: a record buffer built from a few
// fields of the income table and some of other types, registered in an
// expression link under the alias DVEL.
#pragma once

#include <string>
#include <vector>

#include "xbase/expr/expr_handler.h"
#include "xbase/expr/expr_table_bindings.h"

namespace expr_testing {

class FakeRow : public xb::TxbExpRecordSource {
 public:
  FakeRow();
  const char *ExpRecordBuffer() const override { return buffer_.data(); }
  long long ExpRecNo() const override { return recno; }
  bool ExpBof() const override { return false; }
  bool ExpEof() const override { return false; }

  // Stores `text` left-aligned (blank-filled) into the field.
  void Set(const std::string &name, const std::string &text);

  xb::TxbExpUserLink link;
  long long recno = 7;

 private:
  std::vector<xb::TxbExpFieldDesc> fields_;
  std::string buffer_;
};

// Value and type in one printable text: "T:abc", "N:14", "D:19800101",
// "L:.T.", "?:" for other types.
std::string Show(const xb::ExpValue &value);

// Parses and evaluates `text` on `row` (alias DVEL); returns Show() of the
// value, or "error: " + the message.
std::string Eval(FakeRow &row, const std::string &text);

}  // namespace expr_testing
