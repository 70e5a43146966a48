// The lock protocols through which processes share a table and its indexes:
// which bytes of the table file and of an index file stand for which lock.
// Locks are taken on bytes that are never written (most lie far beyond the
// end of the file); other programs sharing the files take the same ranges,
// so these offsets are as fixed as the bytes on disk. DO NOT CHANGE THESE
// VALUES (nor the protocol numbers, which datasets store).
//
//   PROTOCOL    AREA START  AREA LENGTH  HEADER      RECORD r                 INDEX FILE
//   0 Default   0x40000000  0x3FFFFFFF   0x7FFFFFFE  AREA START + header      0x7FFFFFFE, 1 byte
//                                                    length + (r - 1) x record
//                                                    length; HEADER - r while
//                                                    an index is open
//   1 DB4       0x40000000  0xB0000000   0xEFFFFFFF  HEADER - 1 - r           0xEFFFFFFE, 2 bytes
//   2 Clipper   1000000000  1000000000   1000000000  AREA START + r           1000000000, 1 byte
//   3 Fox       as Default
//
// Every lock is one byte unless a length is given. The table lock is either
// the whole file's range 0 .. 0x7FFFFFFE (LockTable) or the record area
// (LockRecordArea); under either, record locks only count. The wait byte is
// the byte right behind the record area: a writer that found the header byte
// taken holds it so that writers coming back for the header yield to it.
// Protocol numbers outside the table keep the offsets already set, and their
// record locks are refused.
#pragma once

#include <cstdint>

namespace xb {

enum class TxbLokProtocol : int { Default = 0, DB4Lock = 1, ClipLock = 2, FoxLock = 3 };

// One row of the table above.
struct TxbLockOffsets {
  int64_t area_start = 0;
  int64_t area_length = 0;
  int64_t header = 0;
  int64_t index_offset = 0;
  int64_t index_length = 1;
};

inline constexpr TxbLockOffsets kDefaultLockOffsets{0x40000000LL, 0x3FFFFFFFLL, 0x7FFFFFFELL,
                                                    0x7FFFFFFELL, 1};
inline constexpr TxbLockOffsets kDb4LockOffsets{0x40000000LL, 0xB0000000LL, 0xEFFFFFFFLL,
                                                0xEFFFFFFELL, 2};
inline constexpr TxbLockOffsets kClipLockOffsets{1000000000LL, 1000000000LL, 1000000000LL,
                                                 1000000000LL, 1};

// The row of `protocol`, or nullptr for a number outside the table.
const TxbLockOffsets *LockOffsetsOf(int protocol);

// The byte that stands for `record` (1-based) under `protocol`; numbers
// outside the table are placed as Default. `index_open`: the table has an
// index open (Default and Fox then count down from the header byte).
int64_t RecordLockByte(int protocol, int64_t record, int64_t header_length,
                       int64_t record_length, bool index_open);

}  // namespace xb
