// A full check of an NTX tag against its table: the page structure (every
// page inside the file and reached once, counts, leaf depth, key order) and
// the contents (every record whose FOR condition holds has exactly one entry
// with its current key, no other entries).
#pragma once

#include <string>
#include <vector>

namespace xb {

class XBO_dBHandler;
class XBobjNTXTag;

struct NtxVerifyReport {
  size_t entries = 0;
  size_t pages = 0;
  std::vector<std::string> problems;  // empty when the index is sound
};

// Walks the tag (which belongs to `table`) and every record of the table.
// The table's position is not kept.
NtxVerifyReport VerifyNtxTag(XBO_dBHandler &table, XBobjNTXTag &tag);

}  // namespace xb
