// Writes a new, empty DBF table from an ordered list of field definitions, in
// one of four dialects that differ only in the version byte and the empty
// memo file they write when a memo-like field (M, B, G) is defined.
//
// Empty memo files
//   DIALECT            FILE   BYTES
//   Clipper, DBaseIII  .DBT   513: a 512-byte zero block, bytes 0-3 = 1 (next
//                             free block, little-endian), the table's base name
//                             from byte 8, then 0x1A
//   DBaseIV            .DBT   24 zero bytes, byte 0 = 1, the base name from
//                             byte 8, byte 18 = 2, byte 19 = 1, byte 21 = 2
//   FoxPro2            .fpt   512 zero bytes, byte 3 = 8 (next free block,
//                             big-endian), byte 7 = 64 (block size, big-endian)
#pragma once

#include <string>
#include <vector>

#include "xbase/file/clock.h"

namespace xb {

// Table dialects of the builder; the values are stored by the dataset layer.
// DO NOT CHANGE.
enum class TxbDBFTypes : int { Clipper = 0, DBaseIII = 1, DBaseIV = 2, FoxPro2 = 3 };

struct DbfFieldSpec {
  std::string name;
  char type = 'C';
  int width = 0;
  int decimals = 0;
};

struct BuiltTable {
  std::string table;     // header, descriptors, 0x0D, 0x1A
  std::string memo;      // empty memo file, or empty when no memo field
  std::string memo_ext;  // ".DBT" or ".fpt"
};

// The bytes of a new table and its memo file. Names are upper-cased and cut to
// 10 characters, empty names skipped; D is always 8 wide, L 1, B/G/M 10; C
// widths up to 65 535 are stored in bytes 16 and 17. `base_name` goes into
// the dBASE memo headers.
BuiltTable BuildEmptyTable(const std::vector<DbfFieldSpec> &fields, TxbDBFTypes dialect,
                           const std::string &base_name, const LocalTime &today);

// Creates the table file (".DBF" added when the name has no extension; an
// existing file is replaced) and its memo file; returns the full file name.
// "Could not create file %s" when the system refuses.
std::string CreateDbfTable(const std::string &file_name, TxbDBFTypes dialect,
                           const std::vector<DbfFieldSpec> &fields);

}  // namespace xb
