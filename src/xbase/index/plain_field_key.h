// Index keys made of character fields joined by '+' ("f04+f10"), taken
// straight from the record bytes: an index build reads such keys for every
// record without evaluating the expression, and gets the bytes the
// expression would give. Also the walk over a table's records in large
// blocks that such a build reads them with.
#pragma once

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "xbase/expr/expr_handler.h"
#include "xbase/table/dbase_dbf.h"
#include "xbase/xbase_error.h"
#include "xbase/xbase_messages.h"

namespace xb {

class PlainFieldKey {
 public:
  // The key of `expression` when it is a concatenation of character fields
  // of the table, each lying inside records of `record_length` bytes;
  // nullopt for any other expression.
  static std::optional<PlainFieldKey> Of(const TxbExpHandler &expression, size_t record_length);

  // The length of the joined fields.
  size_t Length() const { return length_; }
  // Writes the first `size` bytes of the joined fields of `record` (the
  // record's bytes, deletion flag first) into `out`, blank-padded when the
  // fields are shorter.
  void Extract(const char *record, char *out, size_t size) const;

 private:
  struct Slice {
    size_t offset;
    size_t width;
  };
  std::vector<Slice> slices_;
  size_t length_ = 0;
};

// Calls `each`(record number, record bytes) for records 1..count of `table`,
// reading them in blocks of about `block_bytes`. A file shorter than its
// record count says fails with "Error on Read of file %s".
template <typename Each>
void ForEachRecordInBlocks(XBO_dBaseDBF &table, int64_t count, Each &&each,
                           size_t block_bytes = size_t{1} << 17) {
  const int64_t length = table.RecordLength();
  if (length <= 0 || count <= 0) return;
  const int64_t per_block = std::max<int64_t>(1, static_cast<int64_t>(block_bytes) / length);
  std::string block(static_cast<size_t>(per_block * length), '\0');
  for (int64_t first = 1; first <= count; first += per_block) {
    const int64_t n = std::min(per_block, count - first + 1);
    const int64_t position = table.HeaderLength() + (first - 1) * length;
    if (table.DiskRead(block.data(), n * length, position) < n * length) {
      RaiseError(msg::kErrorOnRead, {table.FileName()});
    }
    for (int64_t i = 0; i < n; ++i) each(first + i, block.data() + i * length);
  }
}

}  // namespace xb
