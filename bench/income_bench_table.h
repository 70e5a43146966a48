// The income table for the benchmarks: its fields, a tmpfs directory of the
// benchmark program's own, a table of n rows written as bytes with each row's
// key in F04 and F10, a table of n complete rows written through the engine
// as the program creates it, and the sequential read the index figures are
// compared with.
#pragma once

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "xbase/file/byte_helpers.h"
#include "xbase/file/clock.h"
#include "xbase/table/db_handler.h"
#include "xbase/table/dbf_builder.h"
#include "xbase/table/dbf_object.h"

namespace bench {

inline const std::vector<xb::DbfFieldSpec> kIncomeFields = {
    {"F01", 'C', 5, 0},  {"F02", 'C', 1, 0}, {"F03", 'C', 1, 0},      {"F04", 'C', 13, 0},
    {"F05", 'C', 40, 0}, {"F06", 'C', 2, 0}, {"F07", 'C', 40, 0},     {"F08", 'C', 13, 0},
    {"F09", 'C', 13, 0}, {"F10", 'C', 5, 0}, {"DATETIME", 'C', 20, 0}};
inline constexpr int kF04 = 1 + 5 + 1 + 1;
inline constexpr int kF10 = kF04 + 13 + 40 + 2 + 40 + 13 + 13;

// A fresh directory /dev/shm/`name`_XXXXXX, made at the first call (/tmp
// when tmpfs has none).
inline std::string TmpfsDir(const std::string &name) {
  static const std::string dir = [&name] {
    std::string pattern = "/dev/shm/" + name + "_XXXXXX";
    const char *made = mkdtemp(pattern.data());
    return made ? std::string(made) : std::string("/tmp");
  }();
  return dir;
}

// Writes the income table `path` of n rows; row i holds `row_key`(i), an
// identifier of 13 and an income code of 5 bytes, in F04 and F10.
inline void WriteIncomeTable(const std::string &path, int n,
                             const std::function<std::string(int)> &row_key) {
  xb::BuiltTable built =
      xb::BuildEmptyTable(kIncomeFields, xb::TxbDBFTypes::Clipper, "dvel", xb::Now());
  std::string bytes = built.table;
  bytes.pop_back();
  std::string record(154, ' ');
  for (int i = 0; i < n; ++i) {
    const std::string key = row_key(i);
    record.replace(kF04, 13, key.substr(0, 13));
    record.replace(kF10, 5, key.substr(13, 5));
    bytes += record;
  }
  bytes += '\x1A';
  xb::PutLE32(bytes.data() + 4, static_cast<uint32_t>(n));
  std::ofstream(path, std::ios::binary) << bytes;
}

// Writes the income table `path` of n rows with the program's own header
// (dBASE IV, as a new table in the data folder gets), making its folder;
// `fill` puts the fields of each blank record, given its number from 1.
inline void WriteIncomeRecords(const std::filesystem::path &path, int n,
                               const std::function<void(xb::DBFObject &, int)> &fill) {
  std::filesystem::create_directories(path.parent_path());
  xb::CreateDbfTable(path.string(), xb::TxbDBFTypes::DBaseIV, kIncomeFields);
  xb::DBFObject table(path.string(), false, true);
  for (int r = 1; r <= n; ++r) {
    table.BlankRecord();
    fill(table, r);
    table.AppendRecord();
  }
}

// Every record through the table engine with the read-ahead window, by
// record number up to the record count; as any such loop does, it asks for
// the count (one 32-byte header read) at every record.
inline size_t ReadSequentially(const std::string &path) {
  xb::XBO_dBHandler t(path, true, false);
  t.SetReadBuffer(true);
  size_t sum = 0;
  for (int64_t r = 1; r <= t.RecordCount(); ++r) {
    t.GoToRecord(r);
    sum += static_cast<unsigned char>(t.RecordBuffer()[kF04]);
  }
  return sum;
}

}  // namespace bench
