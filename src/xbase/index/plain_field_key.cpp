// Keys joined from character fields (see plain_field_key.h).
#include "xbase/index/plain_field_key.h"

#include <cstring>

#include "xbase/expr/expr_table_bindings.h"

namespace xb {

std::optional<PlainFieldKey> PlainFieldKey::Of(const TxbExpHandler &expression,
                                               size_t record_length) {
  const std::vector<const TxbUserDefFieldVar *> names = expression.ConcatenatedNames();
  if (names.empty()) return std::nullopt;
  PlainFieldKey key;
  for (const TxbUserDefFieldVar *name : names) {
    const auto *field = dynamic_cast<const TxblDBFFieldVars *>(name);
    if (!field || field->Field().type != 'C') return std::nullopt;
    const auto offset = static_cast<size_t>(field->Field().offset);
    const auto width = static_cast<size_t>(field->Field().Width());
    if (offset < 1 || offset > record_length || width > record_length - offset) {
      return std::nullopt;
    }
    key.slices_.push_back({offset, width});
    key.length_ += width;
  }
  return key;
}

void PlainFieldKey::Extract(const char *record, char *out, size_t size) const {
  size_t done = 0;
  for (const Slice &slice : slices_) {
    if (done >= size) return;
    const size_t n = std::min(slice.width, size - done);
    std::memcpy(out + done, record + slice.offset, n);
    done += n;
  }
  std::memset(out + done, ' ', size - done);
}

}  // namespace xb
