// The fake table row of the expression tests; see expr_fixture.h.
#include "expr_fixture.h"

#include <cstdio>

#include "xbase/expr/expr_dates.h"
#include "xbase/xbase_error.h"

namespace expr_testing {

FakeRow::FakeRow() {
  struct Def {
    const char *name;
    char type;
    int width;
    int decimals;
    const char *value;
  };
  static const Def kDefs[] = {
      {"F01", 'C', 5, 0, "1"},
      {"F04", 'C', 13, 0, "1234567890"},
      {"F05", 'C', 20, 0, "o'neil-smith"},
      {"F10", 'C', 5, 0, "101"},
      {"AMOUNT", 'N', 10, 2, "   1234.50"},
      {"BORN", 'D', 8, 0, "19800101"},
      {"NODATE", 'D', 8, 0, ""},
      {"PAID", 'L', 1, 0, "T"},
      {"BLOB", 'B', 4, 0, "ab"},
      {"LONGNAME10", 'C', 3, 0, "xyz"},
  };
  buffer_ = " ";
  for (const Def &d : kDefs) {
    xb::TxbExpFieldDesc f;
    f.name = d.name;
    f.type = d.type;
    f.width_byte = d.width;
    f.decimals_byte = d.decimals;
    f.offset = static_cast<int>(buffer_.size());
    f.number = static_cast<int>(fields_.size()) + 1;
    fields_.push_back(f);
    buffer_ += std::string(d.width, ' ');
  }
  for (const Def &d : kDefs) Set(d.name, d.value);
  xb::RegisterTableBindings(link, *this, "DVEL", fields_);
}

void FakeRow::Set(const std::string &name, const std::string &text) {
  for (const auto &f : fields_)
    if (f.name == name) {
      std::string value = text;
      value.resize(f.width_byte, ' ');
      buffer_.replace(f.offset, f.width_byte, value);
    }
}

std::string Show(const xb::ExpValue &v) {
  char buf[64];
  switch (v.type) {
    case xb::ExpType::kText:
      return "T:" + v.text;
    case xb::ExpType::kNumber:
      std::snprintf(buf, sizeof buf, "N:%.10g", v.number);
      return buf;
    case xb::ExpType::kDate:
      return "D:" + xb::ExpDateToDtos(v.number);
    case xb::ExpType::kBoolean:
      return v.logic ? "L:.T." : "L:.F.";
    case xb::ExpType::kMemo:
      return "M:" + v.text;
    default:
      return "?:" + v.text;
  }
}

std::string Eval(FakeRow &row, const std::string &text) {
  try {
    xb::TxbExpHandler e(&row.link, false, "DVEL", text);
    return Show(e.Evaluate());
  } catch (const xb::EXbaseExpression &ex) {
    return std::string("error: ") + ex.what();
  }
}

}  // namespace expr_testing
