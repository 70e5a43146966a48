// TxbWriteBatch: many appends and rewrites on one table written as one: the
// header lock is taken once, the header is written once and the file is
// flushed once, when the batch ends, instead of once per record.
//
//   TxbWriteBatch batch(*dataset.Table());
//   for (const Row &row : rows) { ...; table.AppendRecord(); }
//   batch.Commit();            // or batch.Rollback() when the user cancels
#pragma once

#include <cstdint>

#include "xbase/table/dbase_dbf.h"

namespace xb {

class TxbWriteBatch {
 public:
  // Starts a batch on an open read-write table: takes the table's header
  // lock once (as an append would, with its waiting rule and its "Can not
  // Lock file %s" failure; the open index files' locks before it, as an
  // append takes them) and holds it until the batch ends; appends and
  // rewrites made through this table object meanwhile are not flushed one by
  // one and write the full header once, at the end. Other users cannot
  // append or rewrite while the batch runs, and they see the new records
  // once it has ended (the header's count changes only then). Batches on one
  // table object nest: only the outermost one acts, an inner one's Commit,
  // Rollback and end do nothing. The table object outlives its batches.
  explicit TxbWriteBatch(XBO_dBaseDBF &table);
  // Ends the batch as Commit does if neither Commit nor Rollback was called
  // (the records appended so far stay, as each append said they were done);
  // never throws.
  ~TxbWriteBatch();
  // Writes the header, flushes once (when anything was written) and
  // releases the lock; throws EXbaseError. The lock is released and the
  // batch ended also when the header write or the flush fails.
  void Commit();
  // Drops the records appended inside the batch, for a cancelled bulk
  // append: the file is cut back to its size at the start with its end
  // bytes (the 0x1A) restored, the record count goes back, and the table
  // stands on no record if it stood on a dropped one. Every open index file
  // of the table loses the dropped records' keys again (and an active filter
  // their bits), so the indexes describe the table as it was. Rewrites made
  // in the batch stay: they are flushed, and the header is written with a new
  // change stamp only when there were any, so after appends alone the file
  // is byte for byte what it was before the batch. An owner that keeps its
  // own view of the table (a dataset's current row) refreshes it. Throws
  // EXbaseError; the lock is released in any case.
  void Rollback();

  TxbWriteBatch(const TxbWriteBatch &) = delete;
  TxbWriteBatch &operator=(const TxbWriteBatch &) = delete;

 private:
  // Ends the batch on the table; true when this batch is the one to act.
  bool End();
  template <typename Work>
  void ThenUnlock(Work work);

  XBO_dBaseDBF &table_;
  bool acting_ = false;  // the outermost batch, holding the lock
  bool ended_ = false;
  bool header_was_dirty_ = false;
  uint32_t start_count_ = 0;
  XBO_DiskFile::FileEnd start_end_;
};

}  // namespace xb
