// In-memory key sorter for index builds. Keys are ordered by a radix pass
// over their first eight bytes (held as a number beside the pointer, so most
// keys never need their bytes compared) and then, inside each run of equal
// first bytes, by the rest of the key and the record number.
#include "xbase/index/sort.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "xbase/xbase_error.h"

namespace xb {

namespace {

constexpr size_t kPrefixBytes = 8;
// Below this many keys a comparison sort is quicker than the radix passes.
constexpr size_t kRadixThreshold = 256;

uint32_t RecordOf(const char *record_bytes) {
  const auto *b = reinterpret_cast<const unsigned char *>(record_bytes);
  return (uint32_t{b[0]} << 24) | (uint32_t{b[1]} << 16) | (uint32_t{b[2]} << 8) | uint32_t{b[3]};
}

}  // namespace

TxbSort::TxbSort(size_t key_length, bool descending)
    : key_length_(key_length), item_size_(key_length + 4), descending_(descending) {
  if (key_length > kMaxKeyLength) {
    RaiseError(kSortKeyLength, {std::to_string(kMaxKeyLength + 1), std::to_string(key_length + 1)});
  }
}

uint64_t TxbSort::PrefixOf(const char *bytes) const {
  uint64_t prefix = 0;
  const size_t n = std::min(key_length_, kPrefixBytes);
  for (size_t i = 0; i < n; ++i) prefix = (prefix << 8) | static_cast<unsigned char>(bytes[i]);
  prefix <<= 8 * (kPrefixBytes - n);
  return descending_ ? ~prefix : prefix;
}

bool TxbSort::Less(const Item &a, const Item &b) const {
  if (a.prefix != b.prefix) return a.prefix < b.prefix;
  if (key_length_ > kPrefixBytes) {
    const int c =
        std::memcmp(a.bytes + kPrefixBytes, b.bytes + kPrefixBytes, key_length_ - kPrefixBytes);
    if (c != 0) return descending_ ? c > 0 : c < 0;
  }
  // Record numbers are stored big-endian: byte order is number order.
  return std::memcmp(a.bytes + key_length_, b.bytes + key_length_, 4) < 0;
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
  items_.push_back(Item{PrefixOf(item), item});
}

// Least significant byte first, each pass stable; a byte that is the same in
// every key needs no pass.
void TxbSort::RadixSortByPrefix() {
  std::array<std::array<size_t, 256>, kPrefixBytes> counts{};
  for (const Item &item : items_) {
    for (size_t b = 0; b < kPrefixBytes; ++b) ++counts[b][(item.prefix >> (8 * b)) & 0xFF];
  }
  std::vector<Item> scratch(items_.size());
  for (size_t b = 0; b < kPrefixBytes; ++b) {
    std::array<size_t, 256> &count = counts[b];
    if (count[(items_.front().prefix >> (8 * b)) & 0xFF] == items_.size()) continue;
    size_t start = 0;
    for (size_t &c : count) {
      const size_t n = c;
      c = start;
      start += n;
    }
    for (const Item &item : items_) scratch[count[(item.prefix >> (8 * b)) & 0xFF]++] = item;
    items_.swap(scratch);
  }
}

void TxbSort::Sort(bool unique) {
  if (retrieving_) return;
  retrieving_ = true;
  const auto less = [this](const Item &a, const Item &b) { return Less(a, b); };
  if (items_.size() < kRadixThreshold) {
    std::sort(items_.begin(), items_.end(), less);
  } else {
    RadixSortByPrefix();
    // Keys that share their first bytes are ordered by the rest.
    for (auto run = items_.begin(); run != items_.end();) {
      auto end = run + 1;
      while (end != items_.end() && end->prefix == run->prefix) ++end;
      if (end - run > 1) std::sort(run, end, less);
      run = end;
    }
  }
  if (unique) {
    const size_t kl = key_length_;
    items_.erase(std::unique(items_.begin(), items_.end(),
                             [kl](const Item &a, const Item &b) {
                               return a.prefix == b.prefix &&
                                      std::memcmp(a.bytes, b.bytes, kl) == 0;
                             }),
                 items_.end());
  }
}

bool TxbSort::Next(std::string_view &key, uint32_t &record) {
  Sort();
  if (next_ >= items_.size()) return false;
  // Keys are delivered in sorted order from wherever they were stored: ask
  // for the memory of one a little ahead before it is needed.
  constexpr size_t kAhead = 32;
  if (next_ + kAhead < items_.size()) __builtin_prefetch(items_[next_ + kAhead].bytes);
  const char *item = items_[next_++].bytes;
  key = std::string_view(item, key_length_);
  record = RecordOf(item + key_length_);
  return true;
}

bool TxbSort::Next(std::string &key, uint32_t &record) {
  std::string_view view;
  if (!Next(view, record)) return false;
  key.assign(view);
  return true;
}

}  // namespace xb
