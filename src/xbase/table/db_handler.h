// XBO_dBHandler: the table level that decides which records its owner sees
// and in which order. Deleted records are hidden unless use-deleted is on,
// a filter hides the records outside its bit set, and index tags give their
// order; on top come the table-wide operations: exact counting, locating by
// field values, packing, copying, and a read-ahead window for scans.
//
// Index files occupy the 63 slots below and the filter its fields; the
// index machinery and the expression language fill them in. The places where
// they take part are marked "index files" and "filter" in db_handler.cpp and
// db_handler_index.cpp.
#pragma once

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "xbase/expr/expr_handler.h"
#include "xbase/table/dbase_fld.h"
#include "xbase/table/huge_set.h"

namespace xb {

class XBobjIndexFile;
class XBobjIndexTag;

// The kind in the names of a pack's temporary copies ("xbpack-<table's
// name>-XXXXXX.dbf"), which the next open or pack of the table removes when
// their writer died. Other processes look for it: DO NOT CHANGE.
inline constexpr char kPackTemporary[] = "xbpack";

class XBO_dBHandler : public XBO_dBaseFld {
 public:
  static constexpr int kIndexSlots = 63;
  static constexpr int64_t kReadBufferSize = 32768;

  XBO_dBHandler(const std::string &file_name, bool shared, bool read_write,
                const std::string &password = "");
  ~XBO_dBHandler() override;

  // Overrides: the read-ahead window serves and follows record I/O; index
  // files follow renames, locks and status; navigation hides invisible
  // records; appends and rewrites lock the index files around them.
  int64_t DiskRead(void *buffer, int64_t count, int64_t offset) override;
  void DiskWrite(const void *buffer, int64_t count, int64_t offset) override;
  void DiskRename(const std::string &new_name) override;
  void AppendRecord() override;
  void WriteRecord(int64_t record) override;
  void NotifyStatus(int code, int64_t value) override;
  // Positive numbers go to that record even when it is invisible; the kGo*
  // codes walk to the next visible record in their direction.
  void GoToRecord(int64_t code) override;
  void SetLockProtocol(int protocol) override;
  bool UsesIndexLockOffsets() const override;
  // The read-ahead window held the old file's bytes. (Index files notice a
  // replacement by their own update counters.)
  void FileReopened() override;

  // Moves n visible records forward (n < 0: backward); 0 re-reads.
  virtual void Skip(int64_t n);
  // Whether the current record passes the filter (owners add their own test).
  virtual bool RecordVisible();
  // Locks every shared index file (100 tries 50 ms apart), releasing those
  // already taken when one fails ("Can not Lock file %s").
  virtual void LockIndexes();
  virtual void UnlockIndexes();
  // The engine carries no record cipher: always refused.
  virtual void SetPassword(const std::string &read_password, const std::string &write_password);

  // The header's count, or with `exact` the number of visible records in the
  // current order (the position is kept).
  int64_t RecordCount(bool exact = false);
  // Finds the first visible record whose fields (names separated by ';')
  // hold `values`, scanning in natural order from the first record or from
  // the record after `start_record`. With `partial` the last field need only
  // begin with its value; with `case_insensitive` letters compare in upper
  // case. On success the table stands on the record found; otherwise it goes
  // back where it was. A whole-value, case-sensitive search from the start
  // seeks instead of scanning when an open tag's key is made of exactly the
  // located fields (the current tag first); see LocateTag.
  bool LocateRecord(const std::string &field_names, const std::vector<std::string> &values,
                    int64_t start_record, bool partial, bool case_insensitive);
  // Rewrites the table without its deleted records. Needs the table opened
  // exclusively. The copy is written and flushed beside the table and renamed
  // over it in one step, so an interruption leaves the old table intact; the
  // table keeps its owner, group and permission bits. A copy left by a pack
  // that died is removed first.
  void Pack();
  // Writes every visible record, in the current order, to a new table `target`
  // with the same structure. A memo file is copied whole, so the records'
  // block numbers stay valid.
  void CopyFile(const std::string &target, const std::string &password = "");

  // Switches the read-ahead window on or off; returns the former state.
  // While on, reads inside the window are served from it; a read less than
  // a window ahead of where the previous one ended refills it (32 768
  // bytes, whole records, from the record read), so does the first; any
  // other read takes just its own bytes. In tag order the leaf page the
  // cursor stands on plays the window's part: a step to the next or prior
  // entry of that page uses it as read, without asking the index file
  // whether another process changed it; a step that leaves the page asks.
  bool SetReadBuffer(bool on);
  bool ReadBufferOn() const { return read_buffer_on_; }
  bool UseDeleted() const { return use_deleted_; }
  void SetUseDeleted(bool on) { use_deleted_ = on; }
  bool Exact() const { return exact_; }
  void SetExact(bool on) { exact_ = on; }

  // Index management (db_handler_index.cpp). IndexOn writes a new index file
  // and leaves it closed, every open index file closed first: `unique` 0 for
  // a unique tag, 1 for duplicates; `order` 0 ascending, 1 descending, 7 and
  // 8 the same with character keys upper-cased. Only ".ntx" files are
  // built; a name without extension means ".ndx", which is refused.
  void IndexOn(const std::string &file_name, const std::string &tag_name,
               const std::string &key_expression, const std::string &for_expression, int unique,
               int order);
  // Opens the index files of a ';'-separated list (those already open stay,
  // the others close) and selects `tag_name` (natural order when empty).
  void IndexOpen(const std::string &file_list, const std::string &tag_name);
  // The same with the names already split (names may hold ';').
  void IndexOpen(const std::vector<std::string> &files, const std::string &tag_name);
  // Selects a tag of the open files by name ("Cannot find index tag %s").
  void SetTag(const std::string &tag_name);
  XBobjIndexTag *FindTag(const std::string &tag_name) const;
  // Whether the current record has an entry in the current tag inside its
  // range (true without a tag; false at EOF).
  bool CurrentRecordInTag();
  // Searches the current tag and moves to the first visible record with the
  // key; not found: EOF on the blank record.
  bool Find(const std::string &key);
  // The record number of `key` in the named tag (exact matching), or 0; the
  // table does not move. While deleted records are hidden, entries of
  // records marked deleted are passed over.
  int64_t FindInTag(const std::string &tag_name, const std::string &key);
  // Rebuilds every open index file.
  void Reindex();
  // Limits navigation in the current tag to keys from `low` to `high` (empty:
  // no limit; `options` as IndexRangeOption says) and goes to the first
  // record in range.
  void SetRange(const std::string &low, const std::string &high, int options = 0);

  // Index slots 1..63 (element 0 unused) and the tag that orders navigation.
  std::array<std::shared_ptr<XBobjIndexFile>, kIndexSlots + 1> &IndexSlots() { return indexes_; }
  XBobjIndexTag *CurrentTag() const { return current_tag_; }

  // The filter: its text, its compiled form, whether it is on, the record
  // numbers that pass, and how long building the set took.
  struct FilterState {
    std::string expression;
    std::unique_ptr<TxbExpHandler> compiled;
    bool active = false;
    TxbHugeSet passing;
    int64_t build_ms = 0;
  };
  FilterState &Filter() { return filter_; }

  // Compiles `expression` (comparisons case-insensitive and with wildcards as
  // asked) and builds the set of records for which it is true; while it is
  // on, navigation visits only those. It must yield a logical value ("Filter
  // expression must return boolean result"). An empty expression drops the
  // filter. On any failure the previous filter stays as it was.
  void SetFilter(const std::string &expression, bool case_insensitive, bool partial);

 protected:
  // Runs `work` with full access to the file (waiting for the table lock up
  // to the lock wait, else "%s requires full access to file %s" with
  // `operation`) and the read-ahead window on; the position and the window
  // are put back afterwards.
  void WithFullAccess(const char *operation, const std::function<void()> &work);
  // Writes the header area and every visible record, in the current order,
  // into `out` (a new file) and flushes it.
  void WriteCopy(XBO_DiskFile &out);
  // Removes the temporaries of this table whose writer died: a pack's copy
  // and index builds of index files named like the table.
  void RemoveLeftoverTemporaries();

  // Whether the record in the buffer may be shown: not deleted (or
  // use-deleted on) and passing RecordVisible.
  bool Visible();
  // Walks from record `start` in direction `step` (+1/-1) to the first visible
  // record, taking candidates from the filter set when a filter is on. False
  // when it runs off the table.
  bool WalkVisible(int64_t start, int step);
  // The next candidate record number after (step +1) or before (step -1) `r`.
  int64_t NextCandidate(int64_t r, int step);

  // Filter upkeep (db_handler_filter.cpp): rebuilds the whole set, or sets
  // the bit of the record just appended or rewritten.
  void RebuildFilter();
  void UpdateFilterBit(int64_t record);

  // Index-file hooks (db_handler_index.cpp).
  void NotifyIndexes(int code, int64_t value);
  // A write batch holds the index locks, then the header lock.
  void LockForBatch() override;
  void UnlockForBatch() override;
  // A rolled-back write batch's records leave every open index file and the
  // filter.
  void DropAppendedRecords(int64_t first, int64_t last) override;
  void PassLockProtocolToIndexes(int protocol);
  void RenameIndexes(const std::string &old_table, const std::string &new_table);
  void ReindexAll();
  void CloseIndexes();
  // Sets bit 0 of the header's flag byte when `cdx_path` is the table's
  // structural index (named like the table) and the table is open for
  // writing.
  void MarkStructuralIndex(const std::string &cdx_path);
  // Navigation codes through the current tag (visible records only).
  void GoToRecordInTag(int64_t code);
  // True when a step `code` (next or prior) in `tag` may skip the look for
  // others' changes: the read-ahead window is on, the cursor stands on the
  // current record, the step stays in the cursor's leaf page, and the last
  // look did not find another writer at work.
  bool StepInsideLeaf(XBobjIndexTag &tag, int64_t code) const;
  // The tag a locate of `fields` (upper-case names, each followed by ';') can
  // seek in: its key names exactly those fields, and it holds every record
  // with them (no FOR condition, not unique, no range). Null when none.
  XBobjIndexTag *LocateTag(const std::string &fields) const;
  // Walks the entries of `tag` equal to `key` (whole key) and stops on the
  // first visible record for which `matches` holds; false when none does.
  bool SeekMatching(XBobjIndexTag &tag, const std::string &key,
                    const std::function<bool()> &matches);
  // The key of record `record` as stored on disk, for putting the tag's
  // cursor back on it (the buffer is kept).
  std::string StoredRecordKey(XBobjIndexTag &tag, int64_t record);
  // Whether record `record` is marked deleted on disk (the buffer is kept).
  bool RecordMarkedDeleted(int64_t record);

  // The index locks of a write, taken on construction. Unlock() releases
  // them and reports a release the system refuses; Keep() leaves them held
  // for whoever releases them later; a scope left without either releases
  // them without a word (the error leaving it is the one to report).
  class IndexLocks {
   public:
    explicit IndexLocks(XBO_dBHandler &table);
    ~IndexLocks();
    void Unlock();
    void Keep() { table_ = nullptr; }
    IndexLocks(const IndexLocks &) = delete;
    IndexLocks &operator=(const IndexLocks &) = delete;

   private:
    XBO_dBHandler *table_ = nullptr;
  };

  // Under ClipLock every navigation and search holds the index locks for its
  // length (writes lock them under every protocol); a no-op otherwise.
  class ClipIndexLock {
   public:
    explicit ClipIndexLock(XBO_dBHandler &table);

   private:
    std::optional<IndexLocks> locks_;
  };

  bool use_deleted_ = false;
  bool exact_ = false;
  std::array<std::shared_ptr<XBobjIndexFile>, kIndexSlots + 1> indexes_;
  XBobjIndexTag *current_tag_ = nullptr;
  FilterState filter_;

 private:
  bool read_buffer_on_ = false;
  std::string window_;
  int64_t window_start_ = 0;
  int64_t window_valid_ = 0;
  int64_t read_end_ = 0;  // where the last read through the window ended
};

// Turns the table's read-ahead window on for the life of the object and puts
// back the setting it had, also when an error leaves the scope.
class XBO_ReadAheadScope {
 public:
  explicit XBO_ReadAheadScope(XBO_dBHandler &table)
      : table_(table), was_on_(table.SetReadBuffer(true)) {}
  ~XBO_ReadAheadScope() { table_.SetReadBuffer(was_on_); }
  XBO_ReadAheadScope(const XBO_ReadAheadScope &) = delete;
  XBO_ReadAheadScope &operator=(const XBO_ReadAheadScope &) = delete;

 private:
  XBO_dBHandler &table_;
  bool was_on_;
};

// Shows or hides deleted records for the life of the object and puts back
// the setting the table had, also when an error leaves the scope.
class XBO_UseDeletedScope {
 public:
  XBO_UseDeletedScope(XBO_dBHandler &table, bool on) : table_(table), was_(table.UseDeleted()) {
    table_.SetUseDeleted(on);
  }
  ~XBO_UseDeletedScope() { table_.SetUseDeleted(was_); }
  XBO_UseDeletedScope(const XBO_UseDeletedScope &) = delete;
  XBO_UseDeletedScope &operator=(const XBO_UseDeletedScope &) = delete;

 private:
  XBO_dBHandler &table_;
  bool was_;
};

}  // namespace xb
