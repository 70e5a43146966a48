// TxbHugeSet: a set of record numbers as a bit per record, growing on demand,
// with stepping to the next or prior member for filtered navigation.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace xb {

class TxbHugeSet {
 public:
  void Clear() { words_.clear(); }
  void Include(int64_t n);
  void Exclude(int64_t n);
  bool Contains(int64_t n) const;
  // The smallest member above `after`, or 0 when there is none.
  int64_t Next(int64_t after) const;
  // The largest member below `before`, or 0 when there is none.
  int64_t Prior(int64_t before) const;
  int64_t Count() const;

 private:
  std::vector<uint64_t> words_;
};

}  // namespace xb
