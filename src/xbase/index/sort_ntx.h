// XBobjSortNTX: builds a whole NTX tree bottom-up from sorted keys. Pages are
// filled to a common target so that the leaves come out evenly full.
#pragma once

#include <cstdint>
#include <functional>

#include "xbase/index/index_page_store.h"
#include "xbase/index/sort.h"

namespace xb {

class XBobjSortNTX : public TxbSort {
 public:
  // Progress while writing: (-1, 2, key count) at the start, (2, n, 0) for
  // the n-th key.
  using Progress = std::function<void(int, int, int)>;

  XBobjSortNTX(size_t key_length, bool descending) : TxbSort(key_length, descending) {}

  // Writes every added key (with `unique` only the first of equal keys) into
  // pages taken from `store` and returns the root page's position. With no
  // keys the root is an empty leaf.
  int64_t WriteTree(IndexPageStore &store, uint16_t max_entries, bool unique = false,
                    const Progress &progress = {});
};

}  // namespace xb
