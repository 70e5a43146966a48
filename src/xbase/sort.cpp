// In-memory key sorter for index builds.
#include "xbase/sort.h"

#include <algorithm>
#include <cstring>

#include "xbase/xbase_error.h"

namespace xb {

TxbSort::TxbSort(size_t key_length, bool descending)
    : key_length_(key_length), item_size_(key_length + 4), descending_(descending) {
  if (key_length > kMaxKeyLength) {
    RaiseError(kSortKeyLength, {std::to_string(kMaxKeyLength + 1), std::to_string(key_length + 1)});
  }
}

void TxbSort::Add(std::string_view key, uint32_t record) {
  if (retrieving_) RaiseError(kSortAddAfterRetrieval);
  if (block_used_ + item_size_ > kBlockSize) {
    blocks_.push_back(std::make_unique<char[]>(kBlockSize));
    block_used_ = 0;
  }
  char *item = blocks_.back().get() + block_used_;
  block_used_ += item_size_;
  const size_t n = std::min(key.size(), key_length_);
  std::memcpy(item, key.data(), n);
  std::memset(item + n, ' ', key_length_ - n);
  // Big-endian, so that equal keys order by record number byte by byte.
  item[key_length_] = static_cast<char>(record >> 24);
  item[key_length_ + 1] = static_cast<char>(record >> 16);
  item[key_length_ + 2] = static_cast<char>(record >> 8);
  item[key_length_ + 3] = static_cast<char>(record);
  items_.push_back(item);
}

void TxbSort::Sort(bool unique) {
  if (retrieving_) return;
  retrieving_ = true;
  const size_t kl = key_length_;
  if (descending_) {
    std::stable_sort(items_.begin(), items_.end(), [kl](const char *a, const char *b) {
      const int c = std::memcmp(a, b, kl);
      if (c != 0) return c > 0;
      return std::memcmp(a + kl, b + kl, 4) < 0;
    });
  } else {
    const size_t size = item_size_;
    std::sort(items_.begin(), items_.end(),
              [size](const char *a, const char *b) { return std::memcmp(a, b, size) < 0; });
  }
  if (unique) {
    items_.erase(
        std::unique(items_.begin(), items_.end(),
                    [kl](const char *a, const char *b) { return std::memcmp(a, b, kl) == 0; }),
        items_.end());
  }
}

bool TxbSort::Next(std::string &key, uint32_t &record) {
  Sort();
  if (next_ >= items_.size()) return false;
  const unsigned char *item = reinterpret_cast<const unsigned char *>(items_[next_++]);
  key.assign(reinterpret_cast<const char *>(item), key_length_);
  record = (uint32_t{item[key_length_]} << 24) | (uint32_t{item[key_length_ + 1]} << 16) |
           (uint32_t{item[key_length_ + 2]} << 8) | uint32_t{item[key_length_ + 3]};
  return true;
}

}  // namespace xb
