// The CDX compound index file: a tag directory and several tags, each a B-tree
// of 512-byte nodes with compressed leaves. Codec for tag headers and nodes,
// checking every count, offset, sibling link and bit width before use.
// Integers are little-endian unless marked BE.
//
// Tag header (1024 bytes; the directory's header is at offset 0):
//   OFFSET  SIZE  DESCRIPTION
//   0       4     root node position (non-zero, multiple of 512, inside the file)
//   4       4     free-node list (written 0, not used)
//   8       4     update counter, BE (the directory's copy is the file's)
//   12      2     key length L (1..240)
//   14      1     flags: bit 0 unique, bit 3 FOR expression, bit 7 directory
//                 (written 0xE0 for the directory, 0x60 | bits for tags)
//   15      1     signature: 1, or 2 with "GENERAL" collation
//   16      478   reserved, 0
//   494     8     collation name, NUL-padded: "GENERAL", "MACHINE" or empty
//   502     2     descending when non-zero
//   504     2     key expression length + 1
//   506     2     FOR expression length + 1, or 1
//   508     2     reserved, 0
//   510     2     key expression length + 1, or 1
//   512     512   key expression NUL-terminated, then FOR expression NUL-terminated
//
// Node header (every node, 512 bytes at a multiple of 512):
//   OFFSET  SIZE  DESCRIPTION
//   0       2     attributes: bit 0 root, bit 1 leaf
//   2       2     number of keys c
//   4       4     left sibling position, 0xFFFFFFFF for none
//   8       4     right sibling position, 0xFFFFFFFF for none
//
// Branch node, from offset 12, c entries of L + 8 bytes (c <= 500 / (L + 8)):
//   key (L bytes, padded), record number (4, BE), child position (4, BE).
//   An entry's key and record are those of the last entry of its child.
//
// Leaf node:
//   OFFSET  SIZE     DESCRIPTION
//   12      2        free bytes in the node
//   14      4        record-number mask
//   18      1        duplicate-count mask
//   19      1        trailing-count mask
//   20      1        bits for the record number
//   21      1        bits for the duplicate count
//   22      1        bits for the trailing count
//   23      1        bytes per entry e
//   24      e x c    entry table
//   ...     ..511    new key bytes, packed from the node's end towards the table
// An entry, read as a little-endian integer of e bytes, holds the record
// number in its low bits, then the duplicate count d, then the trailing count
// t in its top bits. The key is d bytes of the previous key, L - d - t new
// bytes (taken from the end of the free area backwards, starting at 24 + 488),
// then t pad bytes (blanks for character tags, zero bytes otherwise).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "xbase/index/index_key.h"

namespace xb {

inline constexpr uint32_t kCdxNodeSize = 512;
inline constexpr uint32_t kCdxTagHeaderSize = 1024;
inline constexpr uint16_t kCdxMaxKeyLength = 240;
inline constexpr uint16_t kCdxDirectoryKeyLength = 10;

// Tag header offsets (table above).
inline constexpr size_t kCdxOffRoot = 0;
inline constexpr size_t kCdxOffFreeList = 4;
inline constexpr size_t kCdxOffUpdateCounter = 8;
inline constexpr size_t kCdxOffKeyLength = 12;
inline constexpr size_t kCdxOffFlags = 14;
inline constexpr size_t kCdxOffSignature = 15;
inline constexpr size_t kCdxOffCollation = 494;
inline constexpr size_t kCdxCollationSize = 8;
inline constexpr size_t kCdxOffDescending = 502;
inline constexpr size_t kCdxOffKeyExprLength = 504;
inline constexpr size_t kCdxOffForExprLength = 506;
inline constexpr size_t kCdxOffKeyExprLengthAgain = 510;
inline constexpr size_t kCdxOffExpressions = 512;

// Node offsets (tables above): the header of every node, the branch entries,
// the leaf's masks and bit widths, and its entry table.
inline constexpr size_t kCdxNodeOffAttributes = 0;
inline constexpr size_t kCdxNodeOffCount = 2;
inline constexpr size_t kCdxNodeOffLeft = 4;
inline constexpr size_t kCdxNodeOffRight = 8;
inline constexpr size_t kCdxBranchOffEntries = 12;
inline constexpr size_t kCdxBranchEntryFixedSize = 8;  // record number + child, after the key
inline constexpr size_t kCdxLeafOffFreeBytes = 12;
inline constexpr size_t kCdxLeafOffRecordMask = 14;
inline constexpr size_t kCdxLeafOffDuplicateMask = 18;
inline constexpr size_t kCdxLeafOffTrailingMask = 19;
inline constexpr size_t kCdxLeafOffRecordBits = 20;
inline constexpr size_t kCdxLeafOffDuplicateBits = 21;
inline constexpr size_t kCdxLeafOffTrailingBits = 22;
inline constexpr size_t kCdxLeafOffEntryWidth = 23;
inline constexpr size_t kCdxLeafOffEntries = 24;
inline constexpr size_t kCdxLeafSpace = kCdxNodeSize - kCdxLeafOffEntries;  // 488

// Values with a fixed meaning on disk. DO NOT CHANGE THESE VALUES.
inline constexpr uint32_t kCdxNoSibling = 0xFFFFFFFF;
inline constexpr uint8_t kCdxFlagUnique = 0x01;
inline constexpr uint8_t kCdxFlagFor = 0x08;
inline constexpr uint8_t kCdxFlagDirectory = 0x80;
inline constexpr uint8_t kCdxFlagsCompound = 0x60;  // every tag
inline constexpr uint8_t kCdxFlagsDirectory = 0xE0;
inline constexpr uint8_t kCdxSignatureMachine = 1;
inline constexpr uint8_t kCdxSignatureGeneral = 2;
inline constexpr uint16_t kCdxNodeRoot = 0x01;  // attribute bits
inline constexpr uint16_t kCdxNodeLeaf = 0x02;

enum class CdxCollation { kMachine, kGeneral };

struct CdxTagHeader {
  uint32_t root = 0;
  uint32_t update_counter = 0;
  uint16_t key_length = 0;
  bool unique = false;
  bool directory = false;
  bool descending = false;
  CdxCollation collation = CdxCollation::kMachine;
  std::string key_expression;
  std::string for_expression;  // empty: no FOR condition
};

// The header of the tag directory of a new file: root at `root`.
CdxTagHeader NewCdxDirectoryHeader(uint32_t root);

std::string EncodeCdxTagHeader(const CdxTagHeader &header);
// Throws "Index file %s is corrupted" (file_name) unless the root is a node
// inside a file of `file_size` bytes, the key length is 1..240 and a key
// expression is present (the directory needs none).
CdxTagHeader DecodeCdxTagHeader(std::string_view bytes, uint64_t file_size,
                                const std::string &file_name);

// Branch capacity for a key length.
size_t CdxBranchCapacity(uint16_t key_length);

// One node in memory. Entry keys are kept without their trailing pad bytes;
// `child` is set in branch entries only.
struct CdxNode {
  bool root = false;
  bool leaf = true;
  uint32_t left = kCdxNoSibling;
  uint32_t right = kCdxNoSibling;
  std::vector<XBobjIndexKeyData> entries;
};

// How a tag's keys are stored: length, pad byte of the trailing count
// (' ' for character keys, '\0' otherwise), and general ordering (character
// tags only: trailing bytes below 16 get their high nibble set on decoding).
struct CdxKeyForm {
  uint16_t key_length = 0;
  char pad = ' ';
  bool general = false;
};

// Bytes per leaf entry for a record-number limit (the table's record count,
// or the file size for the directory): the smallest width from 2 bytes up
// whose record-number mask reaches `record_limit`.
int CdxLeafEntryWidth(uint16_t key_length, uint64_t record_limit);

// Bytes one leaf entry takes (its table slot and its new key bytes) when it
// follows `previous` in the same leaf; both keys padded to the key length
// (`previous` empty for a leaf's first entry).
size_t CdxLeafEntryBytes(std::string_view previous, std::string_view full, char pad,
                         int entry_width);

// The bytes each entry takes in a leaf with entries of `entry_width` bytes:
// the entry itself and its new key bytes.
std::vector<size_t> CdxLeafEntrySizes(const std::vector<XBobjIndexKeyData> &entries,
                                      const CdxKeyForm &form, int entry_width);

// True when the entries fit one leaf with entries of `entry_width` bytes.
bool CdxLeafFits(const std::vector<XBobjIndexKeyData> &entries, const CdxKeyForm &form,
                 int entry_width);

// Encodes a node to 512 bytes. A leaf uses CdxLeafEntryWidth(record_limit);
// the caller splits entries that do not fit first (std::length_error).
std::string EncodeCdxNode(const CdxNode &node, const CdxKeyForm &form, uint64_t record_limit);

// Decodes a node read from a file of `file_size` bytes; throws "Index file %s
// is corrupted" for any count, bit width, mask, key byte range, sibling or
// child position that does not fit the node or the file.
CdxNode DecodeCdxNode(std::string_view bytes, const CdxKeyForm &form, uint64_t file_size,
                      const std::string &file_name);

}  // namespace xb
