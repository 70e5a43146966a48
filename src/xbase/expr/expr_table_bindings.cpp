// The table's field variables and functions in its expression link; see
// expr_table_bindings.h.
#include "xbase/expr/expr_table_bindings.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

#include "xbase/expr/expr_dates.h"
#include "xbase/expr/expr_text.h"
#include "xbase/file/byte_helpers.h"

namespace xb {
namespace {

// A numeric field's text as a number; blank, malformed or out-of-range text
// reads as 0 so that a damaged field never stops an index build or a filter.
double ParseNumericField(const std::string &text) {
  const auto value = ParseDecimal(text);
  if (!value || std::fabs(*value) > std::numeric_limits<double>::max()) return 0;
  return static_cast<double>(*value);
}

int64_t LittleEndian(const char *bytes, int size) {
  uint64_t value = 0;
  for (int i = size - 1; i >= 0; --i) value = (value << 8) | static_cast<unsigned char>(bytes[i]);
  if (size < 8 && (value >> (8 * size - 1)) & 1) value |= ~uint64_t{0} << (8 * size);
  return static_cast<int64_t>(value);
}

class TableFunction : public TxbUserDefFunction {
 public:
  TableFunction(const char *name, const TxbExpRecordSource &source,
                const std::vector<TxbExpFieldDesc> &fields)
      : name_(name), source_(source), fields_(fields) {}
  std::string FunctionName() const override { return name_; }
  ExpValue Execute(TxbExpArgs &args) override {
    if (name_ == "RECNO") return ExpValue::Number(static_cast<double>(source_.ExpRecNo()));
    if (name_ == "DELETED") return ExpValue::Logic(source_.ExpRecordBuffer()[0] == '*');
    if (name_ == "BOF") return ExpValue::Logic(source_.ExpBof());
    if (name_ == "EOF") return ExpValue::Logic(source_.ExpEof());
    const TxbExpFieldDesc *field = Find(args.Get(0, ExpType::kText).text);
    if (name_ == "TYPE") return ExpValue::Text(field ? std::string(1, field->type) : "U");
    if (name_ == "LEN") return ExpValue::Number(field ? field->width_byte : 0);
    return ExpValue::Number(field ? field->number : 0);  // FIELDNO
  }

 private:
  const TxbExpFieldDesc *Find(const std::string &name) const {
    const std::string key = UpperCp1251(TrimRightBlanks(name));
    for (const auto &field : fields_)
      if (UpperCp1251(field.name) == key) return &field;
    return nullptr;
  }

  std::string name_;
  const TxbExpRecordSource &source_;
  std::vector<TxbExpFieldDesc> fields_;
};

}  // namespace

ExpValue DecodeFieldValue(const TxbExpFieldDesc &field, const char *bytes,
                          const std::string &memo) {
  const std::string raw(bytes, static_cast<size_t>(field.Width()));
  switch (field.type) {
    case 'C':
      return ExpValue::Text(raw);
    case 'M':
      return ExpValue::Text(memo);
    case 'D':
      return ExpValue::Date(ParseDateText(raw));
    case 'N':
    case 'F':
      return ExpValue::Number(ParseNumericField(raw));
    case 'I':
      return ExpValue::Number(field.width_byte >= 4 ? static_cast<double>(LittleEndian(bytes, 4))
                                                    : 0);
    case 'Y':
      return ExpValue::Number(
          field.width_byte >= 8 ? static_cast<double>(LittleEndian(bytes, 8)) / 10000 : 0);
    case 'L':
      return ExpValue::Logic(!raw.empty() && std::strchr("TtYyJj", raw[0]) && raw[0] != '\0');
    default:
      return ExpValue::Text(raw, ExpType::kMemo);
  }
}

TxblDBFFieldVars::TxblDBFFieldVars(std::string names, const TxbExpFieldDesc &field,
                                   const TxbExpRecordSource &source)
    : TxbUserDefFieldVar(std::move(names), field.Width(), field.Decimals()),
      field_(field),
      source_(source) {}

ExpValue TxblDBFFieldVars::Evaluate() {
  const char *buffer = source_.ExpRecordBuffer();
  const std::string memo = field_.type == 'M' ? source_.ExpMemoText(field_.number) : std::string();
  return DecodeFieldValue(field_, buffer + field_.offset, memo);
}

void RegisterTableBindings(TxbExpUserLink &link, const TxbExpRecordSource &source,
                           const std::string &alias, const std::vector<TxbExpFieldDesc> &fields) {
  for (const char *name : {"RECNO", "DELETED", "BOF", "EOF", "TYPE", "LEN", "FIELDNO"})
    link.Functions().Add(std::make_unique<TableFunction>(name, source, fields));
  for (const auto &field : fields) {
    const std::string name = UpperCp1251(field.name);
    link.FieldVars().Add(std::make_shared<TxblDBFFieldVars>(name, field, source));
    link.FieldVars().Add(
        std::make_shared<TxblDBFFieldVars>(name + ";" + alias + "." + name, field, source));
  }
}

}  // namespace xb
