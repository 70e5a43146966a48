// XBO_dBaseDBF: a DBF table file (layout in dbf_format.h) with its header, a
// current record in a buffer, positioning, appending and rewriting records,
// and the lock protocol through which several processes share the table.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "xbase/file/disk_file.h"
#include "xbase/table/dbf_format.h"
#include "xbase/table/lock_protocols.h"

namespace xb {

// Status codes sent to NotifyStatus (and from there to index files and the
// filter). DO NOT CHANGE THESE VALUES.
enum StatusCode : int {
  kStatusRecordBlanked = 0,
  kStatusTableOpened = 2,
  kStatusBeforeRead = 4,
  kStatusBeforeWrite = 5,
  kStatusAfterRead = 6,
  kStatusAfterWrite = 7,  // value: record number of a rewrite, 0 for an append
  kStatusAfterFlush = 8,
};

// Navigation codes of GoToRecord besides record numbers.
enum GoToCode : int {
  kGoNext = -1,
  kGoPrior = -2,
  kGoFirst = -3,
  kGoLast = -4,
  kGoCurrent = -5,
};

// TableState values.
enum TableStateValue : int { kStateNormal = 1, kStateIndexing = 4, kStatePassword = 5 };

// One field of the table's field list (name, type, width, decimals, offset,
// number), in field order.
using TxbDBFFields = dbf::FieldDef;

class TxbWriteBatch;

class XBO_dBaseDBF : public XBO_DiskFile {
 public:
  // Opens the table (".DBF" is added to a name without extension). A table
  // whose header says it is enciphered is refused: this engine has no cipher.
  XBO_dBaseDBF(const std::string &file_name, bool shared, bool read_write,
               const std::string &password = "");
  // Writes a dirty header of a read-write table and closes.
  ~XBO_dBaseDBF() override;

  // Overrides: the flush also tells listeners (status 8); a rename takes the
  // memo file along.
  void DiskFlush() override;
  void DiskRename(const std::string &new_name) override;

  virtual void AppendRecord();
  virtual void NotifyStatus(int code, int64_t value);
  // r > 0: record r; kGo* codes; 0: blank buffer at EOF. See dbase_dbf.cpp.
  virtual void GoToRecord(int64_t code);
  virtual void LockHeader();
  virtual void UnlockHeader();
  virtual bool LockRecordArea();
  virtual bool LockTable();
  virtual void UnlockTable();
  // Locks the current record's byte in one attempt; false when another holder
  // has it. Under a table lock it only counts.
  virtual bool LockRecord();
  virtual void WriteRecord(int64_t record);
  virtual void SetLockProtocol(int protocol);
  virtual bool UsesIndexLockOffsets() const;

  // Releases one LockRecord.
  void UnlockRecord();
  // Re-reads the header of a shared table; see header refresh in the .cpp.
  void RefreshHeader();
  // Writes the whole header when dirty (and, unless forced, no table lock is
  // held).
  void WriteHeader(bool forced = false);

  // The record offsets of the current lock protocol.
  int64_t RecordLockOffset(int64_t record) const;
  int64_t HeaderLockOffset() const { return header_lock_offset_; }
  // The byte a writer holds while it waits for the header byte, right behind
  // the record area. A writer that finds it held leaves the header byte to
  // the one waiting, so two busy writers take turns instead of one starving.
  int64_t WaitLockOffset() const { return area_start_ + area_length_; }
  int64_t RecordAreaStart() const { return area_start_; }
  int64_t RecordAreaLength() const { return area_length_; }

  const std::string &Alias() const { return alias_; }
  uint8_t Version() const { return header_.version; }
  int64_t RecordCount() const { return header_.record_count; }
  int64_t RecordNumber() const { return current_record_; }
  uint32_t HeaderLength() const { return header_.header_length; }
  uint32_t RecordLength() const { return header_.record_length; }
  int FieldCount() const { return static_cast<int>(fields_.size()); }
  const std::vector<dbf::FieldDef> &Fields() const { return fields_; }
  const dbf::Header &HeaderData() const { return header_; }
  bool Eof() const { return eof_; }
  bool Bof() const { return bof_; }
  bool IsDeleted() const { return buffer_[0] == dbf::kDeletedFlag; }
  bool HasMemo() const { return dbf::VersionHasMemo(header_.version, header_.flags); }
  bool ChangedByOthers() const { return changed_by_others_; }
  bool TableLocked() const { return table_locked_; }
  int LockProtocol() const { return lock_protocol_; }
  int TableState() const { return table_state_; }
  void SetTableState(int state) { table_state_ = state; }
  bool AutoFlush() const { return auto_flush_; }
  void SetAutoFlush(bool on) { auto_flush_ = on; }
  uint32_t UserNumber() const { return user_number_; }
  void SetUserNumber(uint32_t user) { user_number_ = user; }

  // The record buffer: record length bytes followed by 0x1A. An owner may
  // point it at a buffer of its own of the same size (nullptr restores ours).
  char *RecordBuffer() { return buffer_; }
  const char *RecordBuffer() const { return buffer_; }
  void SetRecordBuffer(char *buffer);
  // The record as last read or written, and its record number (0 = none).
  const std::string &OriginalRecord() const { return original_; }
  int64_t OriginalRecordNumber() const { return original_number_; }
  bool RecordChanged() const { return record_changed_; }
  void SetRecordChanged(bool changed) { record_changed_ = changed; }
  // One flag per field, index 0 for the deletion flag.
  std::vector<bool> &ChangedFields() { return changed_fields_; }
  // Whether a write batch (write_batch.h) is running on this table object:
  // appends and rewrites then neither flush nor write the header one by one.
  bool InWriteBatch() const { return write_batch_depth_ > 0; }

 protected:
  // Reads and checks the header and the descriptors; fills the field list.
  void ReadStructure();
  // Fills the buffer with blanks (deletion flag included), keeping the 0x1A.
  void BlankBuffer();
  int64_t RecordPosition(int64_t record) const {
    return header_.header_length + (record - 1) * static_cast<int64_t>(header_.record_length);
  }
  // The short header write after a record rewrite.
  void WriteStamp();
  void SetEof();
  // On a shared table, with the header lock just taken: when another
  // process has replaced the file since this object opened it (a pack
  // renamed its copy over it), opens the file the name gives now, takes the
  // header lock there and reads its header, so an append goes to the file
  // everyone else uses. The new file must hold a table of the same
  // structure, and no record or table lock may tie the object to the old
  // one; otherwise, and for a rewrite (`rewriting`: record r of the new file
  // need not be the record that was read), "File %s was replaced by another
  // user".
  void FollowReplacedFile(bool rewriting);
  // The table's file was opened again (FollowReplacedFile): anything read
  // from the old one is dropped. Nothing here.
  virtual void FileReopened();
  // The locks a write batch holds from its start to its end: the header
  // lock here; the indexed level takes its index locks first, in the order
  // every append takes them, so that a batch and another user's append never
  // wait for each other crosswise.
  virtual void LockForBatch();
  virtual void UnlockForBatch();
  // A write batch being rolled back drops the records `first`..`last` it
  // appended: whatever keeps track of records (index files, the filter)
  // lets them go while their bytes are still in the file. Nothing here.
  virtual void DropAppendedRecords(int64_t first, int64_t last);

  dbf::Header header_;
  std::string descriptor_area_;  // the descriptor bytes as read, for FollowReplacedFile
  std::vector<dbf::FieldDef> fields_;
  std::string alias_;
  bool header_dirty_ = false;
  int table_state_ = kStateNormal;
  int64_t current_record_ = 0;
  std::string own_buffer_;
  char *buffer_ = nullptr;
  std::string original_;
  int64_t original_number_ = 0;
  std::vector<bool> changed_fields_;
  bool eof_ = true;
  bool bof_ = true;
  bool table_locked_ = false;
  bool changed_by_others_ = false;
  bool record_changed_ = false;
  bool auto_flush_ = false;
  uint32_t user_number_ = 0;
  int header_lock_count_ = 0;
  bool header_os_locked_ = false;
  int64_t table_lock_offset_ = 0;
  int64_t table_lock_length_ = 0;
  int lock_protocol_ = static_cast<int>(TxbLokProtocol::Default);
  int64_t area_start_ = 0;
  int64_t header_lock_offset_ = 0;
  int64_t area_length_ = 0;
  int64_t index_lock_offset_ = 0;
  int64_t index_lock_length_ = 1;

 private:
  friend class TxbWriteBatch;
  // Opens the file the name gives now; raises and closes when it holds a
  // table of another structure.
  void ReopenSameTable();
  int write_batch_depth_ = 0;
  bool batch_written_ = false;    // a record was appended or rewritten in the batch
  bool batch_rewritten_ = false;  // a record was rewritten in the batch

 public:
  // The index-file lock range of the current protocol.
  int64_t IndexLockOffset() const { return index_lock_offset_; }
  int64_t IndexLockLength() const { return index_lock_length_; }
};

// Points a table at another record buffer for the life of the object and
// back at the one it had, also when an error leaves the scope.
class XBO_RecordBufferScope {
 public:
  XBO_RecordBufferScope(XBO_dBaseDBF &table, char *buffer)
      : table_(table), saved_(table.RecordBuffer()) {
    table_.SetRecordBuffer(buffer);
  }
  ~XBO_RecordBufferScope() { table_.SetRecordBuffer(saved_); }
  XBO_RecordBufferScope(const XBO_RecordBufferScope &) = delete;
  XBO_RecordBufferScope &operator=(const XBO_RecordBufferScope &) = delete;

 private:
  XBO_dBaseDBF &table_;
  char *saved_;
};

// Sets the table's state (kStateIndexing while keys are collected, so that
// the reads notify no index) for the life of the object and puts back the
// state it had, also when an error leaves the scope.
class XBO_TableStateScope {
 public:
  XBO_TableStateScope(XBO_dBaseDBF &table, int state)
      : table_(table), saved_(table.TableState()) {
    table_.SetTableState(state);
  }
  ~XBO_TableStateScope() { table_.SetTableState(saved_); }
  XBO_TableStateScope(const XBO_TableStateScope &) = delete;
  XBO_TableStateScope &operator=(const XBO_TableStateScope &) = delete;

 private:
  XBO_dBaseDBF &table_;
  int saved_;
};

// Holds the header lock from construction to Unlock(). Unlock() reports a
// release the system refuses; a scope left by an error releases the lock
// without a word, that error being the one to report.
class XBO_HeaderLockScope {
 public:
  explicit XBO_HeaderLockScope(XBO_dBaseDBF &table) : table_(&table) { table.LockHeader(); }
  ~XBO_HeaderLockScope();
  void Unlock();
  XBO_HeaderLockScope(const XBO_HeaderLockScope &) = delete;
  XBO_HeaderLockScope &operator=(const XBO_HeaderLockScope &) = delete;

 private:
  XBO_dBaseDBF *table_;
};

}  // namespace xb
