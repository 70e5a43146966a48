// Write batches on a table; see write_batch.h.
#include "xbase/table/write_batch.h"

namespace xb {

TxbWriteBatch::TxbWriteBatch(XBO_dBaseDBF &table) : table_(table) {
  if (table_.write_batch_depth_++ > 0) return;
  try {
    table_.LockForBatch();
    try {
      table_.FollowReplacedFile(false);
      // Under the header lock the count read now stays every user's count
      // until the batch ends.
      table_.RefreshHeader();
      start_count_ = table_.header_.record_count;
      start_end_ = table_.SaveEnd(table_.RecordPosition(static_cast<int64_t>(start_count_) + 1));
    } catch (...) {
      table_.UnlockForBatch();
      throw;
    }
  } catch (...) {
    table_.write_batch_depth_ = 0;
    throw;
  }
  header_was_dirty_ = table_.header_dirty_;
  table_.batch_written_ = table_.batch_rewritten_ = false;
  acting_ = true;
}

TxbWriteBatch::~TxbWriteBatch() {
  if (ended_) return;
  try {
    Commit();
  } catch (...) {
    // A destructor cannot report; Commit has released the lock.
  }
}

bool TxbWriteBatch::End() {
  if (ended_) return false;
  ended_ = true;
  if (table_.write_batch_depth_ > 0) --table_.write_batch_depth_;
  return acting_;
}

// Runs the end of a batch; its locks go whatever happens.
template <typename Work>
void TxbWriteBatch::ThenUnlock(Work work) {
  try {
    work();
  } catch (...) {
    table_.UnlockForBatch();
    throw;
  }
  table_.UnlockForBatch();
}

void TxbWriteBatch::Commit() {
  if (!End()) return;
  ThenUnlock([this] {
    table_.WriteHeader();
    if (table_.batch_written_) table_.DiskFlush();
  });
}

void TxbWriteBatch::Rollback() {
  if (!End()) return;
  ThenUnlock([this] {
    const int64_t appended_to = table_.header_.record_count;
    if (appended_to > static_cast<int64_t>(start_count_)) {
      table_.DropAppendedRecords(static_cast<int64_t>(start_count_) + 1, appended_to);
    }
    table_.RestoreEnd(start_end_);
    table_.header_.record_count = start_count_;
    if (table_.current_record_ > static_cast<int64_t>(start_count_)) table_.GoToRecord(0);
    if (table_.original_number_ > static_cast<int64_t>(start_count_)) {
      table_.original_number_ = 0;
    }
    // After appends alone the header on disk is still the one from before.
    table_.header_dirty_ = table_.batch_rewritten_ || header_was_dirty_;
    table_.WriteHeader();
    if (table_.batch_written_) table_.DiskFlush();
  });
}

}  // namespace xb
