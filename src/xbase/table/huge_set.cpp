// Record-number bit set; see huge_set.h.
#include "xbase/table/huge_set.h"

#include <bit>

namespace xb {

void TxbHugeSet::Include(int64_t n) {
  if (n < 0) return;
  const size_t w = static_cast<size_t>(n >> 6);
  if (w >= words_.size()) words_.resize(w + 1 + words_.size() / 2, 0);
  words_[w] |= uint64_t{1} << (n & 63);
}

void TxbHugeSet::Exclude(int64_t n) {
  if (n < 0 || static_cast<size_t>(n >> 6) >= words_.size()) return;
  words_[static_cast<size_t>(n >> 6)] &= ~(uint64_t{1} << (n & 63));
}

bool TxbHugeSet::Contains(int64_t n) const {
  if (n < 0 || static_cast<size_t>(n >> 6) >= words_.size()) return false;
  return (words_[static_cast<size_t>(n >> 6)] >> (n & 63)) & 1;
}

int64_t TxbHugeSet::Next(int64_t after) const {
  int64_t n = after < 0 ? 0 : after + 1;
  size_t w = static_cast<size_t>(n >> 6);
  if (w >= words_.size()) return 0;
  uint64_t bits = words_[w] & (~uint64_t{0} << (n & 63));
  while (true) {
    if (bits) return static_cast<int64_t>(w * 64 + std::countr_zero(bits));
    if (++w >= words_.size()) return 0;
    bits = words_[w];
  }
}

int64_t TxbHugeSet::Prior(int64_t before) const {
  if (before <= 1) return 0;
  int64_t n = before - 1;
  size_t w = static_cast<size_t>(n >> 6);
  if (w >= words_.size()) {
    w = words_.size() - 1;
    n = static_cast<int64_t>(w * 64 + 63);
  }
  if (words_.empty()) return 0;
  const int shift = 63 - static_cast<int>(n & 63);
  uint64_t bits = words_[w] & (~uint64_t{0} >> shift);
  while (true) {
    if (bits) {
      const int64_t found = static_cast<int64_t>(w * 64 + 63 - std::countl_zero(bits));
      return found > 0 ? found : 0;
    }
    if (w == 0) return 0;
    bits = words_[--w];
  }
}

int64_t TxbHugeSet::Count() const {
  int64_t total = 0;
  for (uint64_t w : words_) total += std::popcount(w);
  return total;
}

}  // namespace xb
