// The rows of the lock protocol table and the record byte of each protocol;
// the table is in lock_protocols.h.
#include "xbase/table/lock_protocols.h"

namespace xb {

const TxbLockOffsets *LockOffsetsOf(int protocol) {
  switch (static_cast<TxbLokProtocol>(protocol)) {
    case TxbLokProtocol::Default:
    case TxbLokProtocol::FoxLock:
      return &kDefaultLockOffsets;
    case TxbLokProtocol::DB4Lock:
      return &kDb4LockOffsets;
    case TxbLokProtocol::ClipLock:
      return &kClipLockOffsets;
  }
  return nullptr;
}

int64_t RecordLockByte(int protocol, int64_t record, int64_t header_length,
                       int64_t record_length, bool index_open) {
  switch (static_cast<TxbLokProtocol>(protocol)) {
    case TxbLokProtocol::DB4Lock:
      return kDb4LockOffsets.header - 1 - record;
    case TxbLokProtocol::ClipLock:
      return kClipLockOffsets.area_start + record;
    default:
      return index_open ? kDefaultLockOffsets.header - record
                        : kDefaultLockOffsets.area_start + header_length +
                              (record - 1) * record_length;
  }
}

}  // namespace xb
