// DBFObject: the table object an owner (a dataset, a simple table object)
// holds. It binds the table to the owner's events: long operations report
// their progress to the owner's status event, and the owner's filter event
// takes part in deciding which records are visible.
#pragma once

#include <functional>

#include "xbase/table/db_handler.h"

namespace xb {

class DBFObject : public XBO_dBHandler {
 public:
  using XBO_dBHandler::XBO_dBHandler;

  // Progress of long operations (stat1, stat2, stat3), see DiskProgress.
  std::function<void(int64_t, int64_t, int64_t)> OnStatus;
  // The owner's verdict on the record in the buffer; visible when unset.
  std::function<bool()> OnRecordVisible;

  // Sets EOF while the buffer keeps the current record (a step past the
  // last record that stays on it).
  void MarkEof() { eof_ = true; }

  void DiskProgress(int64_t code, int64_t value, int64_t total) override;
  bool RecordVisible() override;
};

}  // namespace xb
