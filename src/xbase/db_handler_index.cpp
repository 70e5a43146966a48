// The places where open index files take part in the table's work: locking
// around writes, status fan-out (new and changed keys), the lock protocol,
// renames, rebuilding after a pack, and closing. Index files are opened into
// IndexSlots() by the index machinery; until a slot is filled there is
// nothing to pass on, and each hook below is complete for a table without
// index files.
#include "xbase/db_handler.h"

namespace xb {

void XBO_dBHandler::LockIndexes() {}

void XBO_dBHandler::UnlockIndexes() {}

void XBO_dBHandler::NotifyIndexes(int, int64_t) {}

void XBO_dBHandler::PassLockProtocolToIndexes(int) {}

void XBO_dBHandler::RenameIndexes(const std::string &, const std::string &) {}

void XBO_dBHandler::ReindexAll() {}

void XBO_dBHandler::CloseIndexes() {
  current_tag_ = nullptr;
  for (auto &slot : indexes_) slot.reset();
}

}  // namespace xb
