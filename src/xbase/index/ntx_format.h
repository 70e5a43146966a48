// The NTX index file: a header page and B-tree pages of 1024 bytes each, with
// fixed-length keys stored as text. Codec for both, checking every count and
// offset against the page before use. All integers are little-endian.
//
// Header page (at offset 0 in every file written here):
//   OFFSET  SIZE  DESCRIPTION
//   0       2     signature: 6, or 7 when a FOR expression follows (bit 0)
//   2       2     update counter: 1 for a new file, then counts updates
//   4       4     file offset of the root page
//   8       4     free-page list (written 0, never used)
//   12      2     entry size = key length + 8
//   14      2     key length
//   16      2     key decimals (0 unless the key is numeric)
//   18      2     maximum entries per page
//   20      2     half page (written 1, ignored on reading)
//   22      256   key expression, NUL-terminated
//   278     1     unique flag (bit 0)
//   279     1     descending flag (bit 0)
//   280     2     reserved, 0
//   282     ...   FOR expression, NUL-terminated, when signature bit 0 is set
//   All other bytes are 0.
//
// B-tree page (at a multiple of 1024):
//   OFFSET  SIZE             DESCRIPTION
//   0       2                count of entries c
//   2       2 x (max + 1)    offsets from the page start of entry slots 0..max
//   ...     entry size each  entry slots
// Entry: u32 left child page offset (0 in leaves), u32 record number, key
// bytes (key length, blank-padded). A page is a leaf when the entry in slot 0
// has no left child. In a branch page slots 0..c-1 hold entries, each ordered
// after every key of its left subtree; slot c holds only the rightmost child.
// Offsets are read through the table (any permutation); they are written in
// natural order: slot i at 2 x max + 4 + i x entry size.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "xbase/index/index_key.h"

namespace xb {

inline constexpr uint32_t kNtxPageSize = 1024;

// Header page offsets (table above).
inline constexpr size_t kNtxOffSignature = 0;
inline constexpr size_t kNtxOffUpdateCounter = 2;
inline constexpr size_t kNtxOffRoot = 4;
inline constexpr size_t kNtxOffFreeList = 8;
inline constexpr size_t kNtxOffEntrySize = 12;
inline constexpr size_t kNtxOffKeyLength = 14;
inline constexpr size_t kNtxOffKeyDecimals = 16;
inline constexpr size_t kNtxOffMaxEntries = 18;
inline constexpr size_t kNtxOffHalfPage = 20;
inline constexpr size_t kNtxOffKeyExpr = 22;
inline constexpr size_t kNtxKeyExprSize = 256;
inline constexpr size_t kNtxOffUnique = 278;
inline constexpr size_t kNtxOffDescending = 279;
inline constexpr size_t kNtxOffForExpr = 282;

// B-tree page and entry offsets (table above).
inline constexpr size_t kNtxPageOffCount = 0;
inline constexpr size_t kNtxPageOffSlots = 2;  // u16 per slot
inline constexpr size_t kNtxEntryOffChild = 0;
inline constexpr size_t kNtxEntryOffRecord = 4;
inline constexpr size_t kNtxEntryOffKey = 8;
inline constexpr size_t kNtxEntryFixedSize = kNtxEntryOffKey;  // left child + record number

// Values with a fixed meaning on disk. DO NOT CHANGE THESE VALUES.
inline constexpr uint16_t kNtxSignature = 6;
inline constexpr uint16_t kNtxSignatureFor = 7;  // a FOR expression follows
inline constexpr uint16_t kNtxSignatureForBit = 1;
inline constexpr uint16_t kNtxHalfPage = 1;

// Where slot `i`'s offset is stored in a page.
constexpr size_t NtxSlotOffset(size_t i) { return kNtxPageOffSlots + 2 * i; }
// The end of a page's count and slot table: where slot 0 is written.
constexpr size_t NtxSlotTableEnd(uint16_t max_entries) {
  return NtxSlotOffset(static_cast<size_t>(max_entries) + 1);
}

struct NtxHeader {
  uint16_t update_counter = 1;
  uint32_t root = 0;
  uint16_t key_length = 0;
  uint16_t key_decimals = 0;
  uint16_t max_entries = 0;
  std::string key_expression;
  std::string for_expression;  // empty: no FOR condition
  bool unique = false;
  bool descending = false;
};

// Maximum entries per page for a key length: an even number.
uint16_t NtxMaxEntries(uint16_t key_length);

// One page in memory: entries in order, and in a branch page the rightmost
// child (slot c). A leaf has no children.
struct NtxPage {
  bool leaf = true;
  std::vector<XBobjIndexKeyData> entries;
  uint32_t rightmost = 0;
};

std::string EncodeNtxHeader(const NtxHeader &header);
// Throws "Index file %s is corrupted" (file_name) when the header's lengths,
// counts or expressions do not make sense.
NtxHeader DecodeNtxHeader(std::string_view bytes, const std::string &file_name);

// Encodes a page for the header's key length and max (1024 bytes).
std::string EncodeNtxPage(const NtxPage &page, uint16_t key_length, uint16_t max_entries);
// Decodes a page; throws "Index file %s is corrupted" for counts or offsets
// outside the page. Child pointers are checked by the caller.
NtxPage DecodeNtxPage(std::string_view bytes, uint16_t key_length, uint16_t max_entries,
                      const std::string &file_name);

}  // namespace xb
