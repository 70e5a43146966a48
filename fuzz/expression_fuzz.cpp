// libFuzzer target: parses and evaluates arbitrary expression texts against a
// small income-layout table (with a numeric, a date and a logical field), and
// parses each tree's own text again. Only engine errors may come out.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "xbase/expr/expr_handler.h"
#include "xbase/table/db_handler.h"
#include "xbase/table/dbf_builder.h"
#include "xbase/xbase_error.h"

namespace {

xb::XBO_dBHandler &Table() {
  static std::unique_ptr<xb::XBO_dBHandler> table = [] {
    char dir[] = "/tmp/expression_fuzz_XXXXXX";
    if (!mkdtemp(dir)) std::abort();
    const std::string path = std::string(dir) + "/dvel.dbf";
    xb::CreateDbfTable(path, xb::TxbDBFTypes::Clipper,
                       {{"F01", 'C', 5, 0},
                        {"F04", 'C', 13, 0},
                        {"F10", 'C', 5, 0},
                        {"AMOUNT", 'N', 10, 2},
                        {"BORN", 'D', 8, 0},
                        {"PAID", 'L', 1, 0}});
    auto t = std::make_unique<xb::XBO_dBHandler>(path, false, true);
    const char *rows[][6] = {{"1", "1234567890", "101", "1234.50", "19800101", "T"},
                             {"2", "\xc8\xe2\xe0\xed", "820", "-3", "", "F"}};
    for (const auto &row : rows) {
      t->BlankRecord();
      for (int f = 0; f < 6; ++f) t->StringPut(f + 1, row[f]);
      t->AppendRecord();
    }
    // The directory goes at once; the open descriptor keeps the file readable.
    std::remove(path.c_str());
    rmdir(dir);
    return t;
  }();
  return *table;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  if (size == 0) return 0;
  xb::XBO_dBHandler &table = Table();
  // The first byte picks the record and the comparison settings.
  const uint8_t mode = data[0];
  table.GoToRecord(mode & 1 ? 2 : 1);
  const std::string text(reinterpret_cast<const char *>(data + 1), size - 1);
  try {
    xb::TxbExpHandler e(&table.ExpressionLink(), mode & 2, table.Alias(), "");
    e.SetCaseInsensitive(mode & 4);
    e.SetPartial(!(mode & 8));
    e.SetExpression(text);
    xb::ExpValue v;
    e.EvaluateToVariant(v);
    e.CollectNames(17);
    // The tree's own text must parse again.
    xb::TxbExpHandler again(&table.ExpressionLink(), mode & 2, table.Alias(), e.ExpressionText());
    again.Evaluate();
  } catch (const xb::EXbaseError &) {
  }
  return 0;
}
