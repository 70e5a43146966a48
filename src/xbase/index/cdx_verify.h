// A full check of a CDX tag against its table: the structure of its tree and
// of the file's tag directory (every node inside the file and reached once,
// leaf depth, key and record order, branch entries, sibling links, root
// flags) and the contents (index_verify.h).
#pragma once

#include "xbase/index/index_verify.h"

namespace xb {

class XBobjCDXTag;

// Walks the tag (which belongs to `table`) and every record of the table.
// The table's position is not kept.
IndexVerifyReport VerifyCdxTag(XBO_dBHandler &table, XBobjCDXTag &tag);

}  // namespace xb
