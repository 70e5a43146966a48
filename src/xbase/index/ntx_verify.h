// A full check of an NTX tag against its table: the page structure (every
// page inside the file and reached once, counts, leaf depth, key order) and
// the contents (every record whose FOR condition holds has exactly one entry
// with its current key, no other entries, no key twice in a unique tag).
#pragma once

#include <string>
#include <vector>

#include "xbase/index/index_verify.h"

namespace xb {

class XBO_dBHandler;
class XBobjNTXTag;

using NtxVerifyReport = IndexVerifyReport;

// Walks the tag (which belongs to `table`) and every record of the table.
// The table's position is not kept.
NtxVerifyReport VerifyNtxTag(XBO_dBHandler &table, XBobjNTXTag &tag);

}  // namespace xb
