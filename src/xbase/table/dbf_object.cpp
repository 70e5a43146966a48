// The table object bound to its owner's events; see dbf_object.h.
#include "xbase/table/dbf_object.h"

namespace xb {

void DBFObject::DiskProgress(int64_t code, int64_t value, int64_t total) {
  if (OnStatus) OnStatus(code, value, total);
}

bool DBFObject::RecordVisible() {
  if (!XBO_dBHandler::RecordVisible()) return false;
  return !OnRecordVisible || OnRecordVisible();
}

}  // namespace xb
