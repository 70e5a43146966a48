// Small tables for the engine's tests: the income table's layout and a table
// with one field of every text type.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "support/common/temp_dir.h"
#include "xbase/file/byte_helpers.h"
#include "xbase/file/clock.h"
#include "xbase/table/db_handler.h"
#include "xbase/table/dbf_builder.h"
#include "xbase/xbase_error.h"

namespace xb::testing {

// The message of the engine error `f` raises, or "no error".
inline std::string ErrorOf(const std::function<void()> &f) {
  try {
    f();
  } catch (const EXbaseError &e) {
    return e.what();
  }
  return "no error";
}

inline std::vector<DbfFieldSpec> IncomeFields() {
  return {{"F01", 'C', 5, 0},  {"F02", 'C', 1, 0}, {"F03", 'C', 1, 0},      {"F04", 'C', 13, 0},
          {"F05", 'C', 40, 0}, {"F06", 'C', 2, 0}, {"F07", 'C', 40, 0},     {"F08", 'C', 13, 0},
          {"F09", 'C', 13, 0}, {"F10", 'C', 5, 0}, {"DATETIME", 'C', 20, 0}};
}

inline std::vector<DbfFieldSpec> TypedFields() {
  return {{"NAME", 'C', 5, 0}, {"AMOUNT", 'N', 8, 2}, {"COUNT", 'N', 4, 0},
          {"DAY", 'D', 8, 0},  {"OK", 'L', 1, 0},     {"NOTE", 'M', 10, 0}};
}

// Appends one record whose fields take `values` in field order (StringPut).
inline void AppendValues(XBO_dBHandler &t, const std::vector<std::string> &values) {
  t.BlankRecord();
  for (size_t i = 0; i < values.size(); ++i) t.StringPut(static_cast<int>(i + 1), values[i]);
  t.AppendRecord();
}

// An income-layout table `path` with rows whose F01 (or the field at record
// byte `at`, 8 for F04) is "1".."n", written as bytes in one go (appends
// flush one by one, which is slow for big tables).
inline void MakeNumberedTable(const std::string &path, int n, size_t at = 1) {
  BuiltTable built = BuildEmptyTable(IncomeFields(), TxbDBFTypes::Clipper, "T", Now());
  std::string bytes = built.table;
  bytes.pop_back();
  for (int i = 1; i <= n; ++i) {
    std::string record(154, ' ');
    const std::string number = std::to_string(i);
    record.replace(at, number.size(), number);
    bytes += record;
  }
  bytes += '\x1A';
  PutLE32(bytes.data() + 4, static_cast<uint32_t>(n));
  testing_support::WriteFileBytes(path, bytes);
}

}  // namespace xb::testing
