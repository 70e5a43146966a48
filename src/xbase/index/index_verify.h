// The record-by-record half of an index check, for every index format: each
// record whose FOR condition holds has exactly one entry with its current
// key, no entry points elsewhere, and a unique tag holds no key twice.
#pragma once

#include <string>
#include <vector>

#include "xbase/index/index_key.h"

namespace xb {

class XBO_dBHandler;
class XBobjIndexTag;

// What a full check of one tag found.
struct IndexVerifyReport {
  size_t entries = 0;
  size_t pages = 0;                   // pages (NTX) or nodes (CDX) walked
  std::vector<std::string> problems;  // empty when the index is sound
};

// Compares the entries of `tag` (all of them, in stored order) with the
// table's records and appends what is wrong to `problems`. The table's
// position is not kept.
void VerifyTagEntries(XBO_dBHandler &table, XBobjIndexTag &tag,
                      const std::vector<XBobjIndexKeyData> &entries,
                      std::vector<std::string> &problems);

}  // namespace xb
