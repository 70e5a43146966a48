// Building CDX tags (node layout in cdx_format.h): XBobjSortCDX writes a
// tag's B-tree bottom-up from sorted keys, and CdxIndexOn adds a tag built
// from a table to a compound file or replaces the tag of the same name, the
// tag directory kept sorted by name.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "xbase/index/cdx_format.h"
#include "xbase/index/index_page_store.h"
#include "xbase/index/sort.h"

namespace xb {

class XBO_dBaseFld;

class XBobjSortCDX : public TxbSort {
 public:
  // Progress while writing: (-1, 2, key count) at the start, (2, n, 0) for
  // the n-th key.
  using Progress = std::function<void(int, int, int)>;

  XBobjSortCDX(const CdxKeyForm &form, bool descending);

  // Adds a key (without or with its trailing pad bytes) and its record.
  void AddKey(std::string key, uint32_t record);

  // Writes every added key (with `unique` only the first of equal keys;
  // equal keys in ascending record order, descending tags too) into
  // nodes taken from `store` and returns the root's position. Leaves are
  // filled as far as their 488 bytes allow, with entries wide enough for
  // record numbers up to `record_limit`; branch nodes hold as many entries
  // as fit, each naming the last key and record of its child; every node
  // links to its left and right neighbour on its level. With no keys the
  // root is an empty leaf.
  int64_t WriteTree(IndexPageStore &store, uint64_t record_limit, bool unique = false,
                    const Progress &progress = {});

 private:
  CdxKeyForm form_;
};

// The tag's name as the directory stores it: upper case, at most 10 bytes,
// no trailing blanks.
std::string CdxDirectoryName(const std::string &tag_name);

// Adds a tag built from `table` to the compound index file `path` or replaces
// the tag of the same name (letter case ignored). A missing file, or one of
// 512 bytes or less, gets a fresh directory first. The tag's key length comes
// from the key's value on the current record buffer: the text's length (twice
// that with `general`), 8 for numbers and dates. The tag is written into a
// copy of the file that then replaces it in one step, so a crash leaves the
// file as it was or with the new tag; in the copy the new tag header and
// nodes go at the end, and the directory's update counter goes up by one.
// "Cannot find index tag %s" when the tag name is empty.
void CdxIndexOn(XBO_dBaseFld &table, const std::string &path, const std::string &tag_name,
                const std::string &key_expression, const std::string &for_expression, bool unique,
                bool descending, bool general);

}  // namespace xb
