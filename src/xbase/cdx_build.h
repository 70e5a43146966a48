// Building CDX tags (node layout in cdx_format.h): XBobjSortCDX writes a
// tag's B-tree bottom-up from sorted keys, and CdxIndexOn adds a tag built
// from a table to a compound file or replaces the tag of the same name, the
// tag directory kept sorted by name.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "xbase/cdx_format.h"
#include "xbase/index_page_store.h"
#include "xbase/sort.h"

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

  // Writes every added key (with `unique` only the first of equal keys) into
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

class XBO_DiskFile;

// Node access on an open compound file; new nodes go at the end, which is
// first rounded up to a whole node.
class CdxDiskStore : public IndexPageStore {
 public:
  explicit CdxDiskStore(XBO_DiskFile &disk) : disk_(disk) {}
  std::string ReadPage(int64_t position, size_t size) override;
  void WritePage(int64_t position, std::string_view bytes) override;
  int64_t AllocPage(size_t size) override;
  int64_t EndOfFilePos() override;

 private:
  XBO_DiskFile &disk_;
  int64_t next_free_ = -1;
};

// Every leaf entry of the tree whose root is at `root`, in stored order,
// from the leftmost leaf along the right siblings. Every node is checked
// ("Index file %s is corrupted" with `file_name`), and a walk that takes
// more steps than the file has nodes (a cycle) is corrupted too.
std::vector<XBobjIndexKeyData> ReadCdxLeaves(IndexPageStore &store, uint32_t root,
                                             const CdxKeyForm &form, uint64_t file_size,
                                             const std::string &file_name);

// One tag of a compound file's directory: the tag's name as stored (upper
// case) and the position of its header.
struct CdxDirectoryEntry {
  std::string name;
  uint32_t header = 0;
};

// Reads the directory of a compound file of `file_size` bytes whose
// directory header is `directory`, in stored order (ReadCdxLeaves); a tag
// header position outside the file is corrupted too.
std::vector<CdxDirectoryEntry> ReadCdxDirectory(IndexPageStore &store,
                                                const CdxTagHeader &directory, uint64_t file_size,
                                                const std::string &file_name);

// What one tag of a compound file holds, read from the file at `path`
// (opened shared, read-only): its header and its leaf entries in stored
// order, their trailing counts filled with `pad` (' ' for character keys,
// '\0' for numbers and dates). "Cannot find index tag %s" when the
// directory has no such tag.
struct CdxTagContents {
  CdxTagHeader header;
  std::vector<XBobjIndexKeyData> entries;
};
CdxTagContents ReadCdxTag(const std::string &path, const std::string &tag_name, char pad = ' ');

// The tag's name as the directory stores it: upper case, at most 10 bytes,
// no trailing blanks.
std::string CdxDirectoryName(const std::string &tag_name);

// Adds a tag built from `table` to the compound index file `path` or replaces
// the tag of the same name (letter case ignored). A missing file, or one of
// 512 bytes or less, gets a fresh directory first. The tag's key length comes
// from the key's value on the current record buffer: the text's length (twice
// that with `general`), 8 for numbers and dates. The new tag header and nodes
// and the rewritten directory go at the end of the file; the directory's
// update counter goes up by one. "Cannot find index tag %s" when the tag
// name is empty.
void CdxIndexOn(XBO_dBaseFld &table, const std::string &path, const std::string &tag_name,
                const std::string &key_expression, const std::string &for_expression, bool unique,
                bool descending, bool general);

}  // namespace xb
