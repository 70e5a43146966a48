// The DBF table file: a 32-byte header, one 32-byte descriptor per field, a
// terminator byte, fixed-length records, and an end-of-file byte. All
// integers are little-endian.
//
// File layout
//   OFFSET          SIZE            DESCRIPTION
//   0               32              table header (below)
//   32              32 * n          field descriptors, in field order
//   32 + 32 * n     1               header terminator 0x0D
//   (version 0x30)  263             reserved area behind the terminator
//   header length   rlen * count    records, record 1 first
//   end of records  1               end-of-file marker 0x1A
// The header length is 32 * n + 33, or 32 * n + 296 for version 0x30; the
// field count is taken from it.
//
// Table header
//   OFFSET SIZE DESCRIPTION
//   0      1    version byte (kVersion* below)
//   1      3    date of last update: year mod 100, month, day
//   4      4    record count (unsigned)
//   8      2    header length in bytes
//   10     2    record length in bytes, deletion flag included
//   12     3    reserved
//   15     1    non-zero when the records are enciphered
//   16     4    change stamp: ((hour*64 + minute)*64 + second)*1024 + millisecond
//   20     4    user number of the last writer
//   24     4    reserved
//   28     1    flags: bit 0 structural index exists, bit 1 memo file exists
//               (version 0x30), bit 2 kept as read; bits 3-7 written as 0
//   29     1    language/code-page mark, never interpreted
//   30     2    reserved
//
// Field descriptor
//   OFFSET SIZE DESCRIPTION
//   0      11   field name, upper case, at most 10 characters, 0x00-padded
//   11     1    type letter
//   12     4    reserved, 0 on disk
//   16     1    width (type C: low byte of the width)
//   17     1    decimals (type C: high byte of the width)
//   18     14   reserved, 0 on disk
// Field offsets are not stored: the first field starts at record byte 1 and
// each next one right behind its predecessor.
//
// Record: byte 0 is ' ' (active) or '*' (deleted), then every field's bytes.
// Fields are text (C left-aligned, N/F right-aligned decimal, D "yyyymmdd",
// L one character, M/B/G a 10-character memo block number); in version 0x30
// tables these types are binary, each of one size:
//   TYPE SIZE DESCRIPTION
//   B    8    IEEE double
//   Y    8    signed integer of value * 10000
//   T    8    Julian day number (4), then milliseconds since midnight (4)
//   I    4    signed integer
//   M, G 4    memo block number (four blanks read as 0)
// The width of such a descriptor is checked on open only to refuse damaged
// headers: with any other width the value, read and written at its own
// size, would not fit its field and could run past the record.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "xbase/file/clock.h"

namespace xb::dbf {

inline constexpr size_t kHeaderSize = 32;
inline constexpr size_t kDescriptorSize = 32;
inline constexpr size_t kVisualFoxArea = 263;  // behind the terminator in 0x30 tables

// Header offsets (table above).
inline constexpr size_t kOffVersion = 0;
inline constexpr size_t kOffDate = 1;
inline constexpr size_t kOffRecordCount = 4;
inline constexpr size_t kOffHeaderLength = 8;
inline constexpr size_t kOffRecordLength = 10;
inline constexpr size_t kOffEncrypted = 15;
inline constexpr size_t kOffChangeStamp = 16;
inline constexpr size_t kOffUserNumber = 20;
inline constexpr size_t kOffFlags = 28;

// Descriptor offsets.
inline constexpr size_t kOffFieldName = 0;
inline constexpr size_t kFieldNameSize = 11;
inline constexpr size_t kMaxFieldName = 10;
inline constexpr size_t kOffFieldType = 11;
inline constexpr size_t kOffFieldWidth = 16;
inline constexpr size_t kOffFieldDecimals = 17;

// Bytes with a fixed meaning on disk. DO NOT CHANGE THESE VALUES.
inline constexpr uint8_t kHeaderTerminator = 0x0D;
inline constexpr uint8_t kEndOfFile = 0x1A;
inline constexpr char kActiveFlag = ' ';
inline constexpr char kDeletedFlag = '*';
inline constexpr uint8_t kVersionPlain = 0x03;
inline constexpr uint8_t kVersionDbase4 = 0x04;
inline constexpr uint8_t kVersionVisualFox = 0x30;
inline constexpr uint8_t kVersionDbase3Memo = 0x83;
inline constexpr uint8_t kVersionDbase4Memo = 0x8B;
inline constexpr uint8_t kVersionFoxMemo = 0xF5;
inline constexpr uint8_t kFlagStructuralIndex = 0x01;
inline constexpr uint8_t kFlagMemoFile = 0x02;
inline constexpr uint8_t kFlagsKept = 0x07;

bool IsKnownVersion(uint8_t version);
// Whether the version byte names a table with a memo file (0x30 only when the
// memo flag is set).
bool VersionHasMemo(uint8_t version, uint8_t flags);
// Bytes of the header area before the descriptors' terminator and behind it:
// 33 for every version but 0x30, 296 for 0x30.
size_t HeaderOverhead(uint8_t version);
// The size of a field of `type` stored in binary in tables of `version`
// (table above), or 0 when such a field is text there.
size_t BinaryFieldSize(uint8_t version, char type);

// The decoded header; `image` keeps every byte as read so that reserved and
// unknown bytes are written back unchanged.
struct Header {
  std::array<uint8_t, kHeaderSize> image{};
  uint8_t version = 0;
  uint32_t record_count = 0;
  uint16_t header_length = 0;
  uint16_t record_length = 0;
  bool encrypted = false;
  uint32_t change_stamp = 0;
  uint32_t user_number = 0;
  uint8_t flags = 0;
};

// Decodes the header of a table file of `file_size` bytes and checks it
// against the file: "Table Header for %s is invalid" (file_name) for an
// unknown version, a header length below its version's overhead or a record
// length of 0; "Error on Read of file %s" when the header and the records it
// counts need more bytes than the file holds.
Header DecodeHeader(const uint8_t *bytes, int64_t file_size, const std::string &file_name);
// Decodes a header read again from a file opened before, without checks: the
// record count may run ahead of the bytes another process is still writing.
Header DecodeHeaderAgain(const uint8_t *bytes);
// Writes the decoded values into `header.image` (date as given) and returns it.
std::array<uint8_t, kHeaderSize> EncodeHeader(const Header &header, const LocalTime &date);

// One field as the engine keeps it.
struct FieldDef {
  std::string name;  // upper case as stored, no padding
  char type = 'C';
  uint32_t width = 0;    // C: bytes 16 + 256 * 17; others: byte 16
  uint8_t decimals = 0;  // always 0 for C
  uint32_t offset = 0;   // inside the record; the deletion flag is offset 0
  uint16_t number = 0;   // 1-based
};

FieldDef DecodeDescriptor(const uint8_t *bytes);
std::array<uint8_t, kDescriptorSize> EncodeDescriptor(const FieldDef &field);

// ((hour * 64 + minute) * 64 + second) * 1024 + millisecond.
uint32_t ChangeStamp(const LocalTime &time);

}  // namespace xb::dbf
