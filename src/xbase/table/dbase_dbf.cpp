// The DBF table level: header, records, positioning and locks; see dbase_dbf.h.
#include "xbase/table/dbase_dbf.h"

#include <chrono>
#include <cstring>
#include <filesystem>
#include <thread>

#include "xbase/file/byte_helpers.h"
#include "xbase/file/clock.h"
#include "xbase/file/fs_path.h"
#include "xbase/file/text_case.h"
#include "xbase/xbase_error.h"
#include "xbase/xbase_messages.h"

namespace xb {
namespace {

constexpr int kHeaderPollMs = 1;

std::string WithDbfExtension(const std::string &name) {
  std::string trimmed(TrimBlanks(name));
  return FsPath(trimmed).has_extension() ? trimmed : trimmed + ".DBF";
}

std::string Num(int64_t n) { return std::to_string(n); }

}  // namespace

XBO_dBaseDBF::XBO_dBaseDBF(const std::string &file_name, bool shared, bool read_write,
                           const std::string &password)
    : XBO_DiskFile(WithDbfExtension(file_name)) {
  if (!Exists()) RaiseError(msg::kFileNotFound, {FileName()});
  alias_ = UpperCp1251(PathText(FsPath(FileName()).stem()));
  SetLockProtocol(static_cast<int>(TxbLokProtocol::Default));
  DiskOpen(shared, read_write);
  ReadStructure();
  if (header_.encrypted && password.empty()) RaiseEncryption(msg::kNoPassword, {FileName()});
  if (!header_.encrypted && !password.empty()) {
    RaiseEncryption(msg::kPasswordForUnencrypted, {FileName()});
  }
  // This engine carries no record cipher: any password for an enciphered
  // table fails to decipher it.
  if (header_.encrypted) RaiseEncryption(msg::kInvalidPassword, {FileName()});

  own_buffer_.assign(header_.record_length + 1, ' ');
  own_buffer_.back() = static_cast<char>(dbf::kEndOfFile);
  buffer_ = own_buffer_.data();
  changed_fields_.assign(fields_.size() + 1, false);
  RefreshHeader();
  NotifyStatus(kStatusTableOpened, 0);
}

XBO_dBaseDBF::~XBO_dBaseDBF() {
  try {
    if (!Closed() && ReadWrite() && header_dirty_) WriteHeader(true);
  } catch (...) {
    // Closing must not throw; the records themselves are already written.
  }
}

void XBO_dBaseDBF::ReadStructure() {
  uint8_t raw[dbf::kHeaderSize];
  if (DiskRead(raw, sizeof raw, 0) < static_cast<int64_t>(sizeof raw)) {
    RaiseError(msg::kErrorOnRead, {FileName()});
  }
  const dbf::Header h = dbf::DecodeHeader(raw, DiskSize(), FileName());
  const size_t overhead = dbf::HeaderOverhead(h.version);
  const size_t count = (h.header_length - overhead) / dbf::kDescriptorSize;
  std::string area(count * dbf::kDescriptorSize, '\0');
  if (DiskRead(area.data(), static_cast<int64_t>(area.size()), dbf::kHeaderSize) <
      static_cast<int64_t>(area.size())) {
    RaiseError(msg::kErrorOnRead, {FileName()});
  }
  header_ = h;
  descriptor_area_ = area;
  if (h.encrypted) return;  // descriptors of enciphered tables are not readable here
  fields_.clear();
  uint32_t offset = 1;
  for (size_t i = 0; i < count; ++i) {
    const auto *d = reinterpret_cast<const uint8_t *>(area.data()) + i * dbf::kDescriptorSize;
    if (d[0] == dbf::kHeaderTerminator) break;  // padding behind the last descriptor
    dbf::FieldDef f = dbf::DecodeDescriptor(d);
    const size_t binary = dbf::BinaryFieldSize(h.version, f.type);
    if (f.width == 0 || (binary != 0 && f.width != binary)) {
      RaiseError(msg::kHeaderInvalid, {FileName()});
    }
    f.offset = offset;
    f.number = static_cast<uint16_t>(i + 1);
    offset += f.width;
    fields_.push_back(std::move(f));
  }
  // The widths must fill the record exactly, or field reads would overrun it.
  if (offset != h.record_length) RaiseError(msg::kHeaderInvalid, {FileName()});
}

void XBO_dBaseDBF::DiskFlush() {
  XBO_DiskFile::DiskFlush();
  NotifyStatus(kStatusAfterFlush, 0);
}

void XBO_dBaseDBF::DiskRename(const std::string &new_name) {
  const std::filesystem::path old_path = FsPath(FileName());
  XBO_DiskFile::DiskRename(new_name);
  if (!HasMemo()) return;
  const std::filesystem::path new_path = FsPath(FileName());
  for (const char *ext : {".dbt", ".DBT", ".fpt", ".FPT"}) {
    std::filesystem::path memo = old_path;
    memo.replace_extension(ext);
    std::error_code ec;
    if (!std::filesystem::exists(memo, ec)) continue;
    std::filesystem::path target = new_path;
    target.replace_extension(ext);
    std::filesystem::rename(memo, target, ec);
    if (ec) RaiseError(msg::kErrorOnRename, {PathText(memo)});
    break;
  }
}

void XBO_dBaseDBF::NotifyStatus(int, int64_t) {}

void XBO_dBaseDBF::SetRecordBuffer(char *buffer) {
  buffer_ = buffer != nullptr ? buffer : own_buffer_.data();
}

void XBO_dBaseDBF::BlankBuffer() {
  std::memset(buffer_, ' ', header_.record_length);
  buffer_[header_.record_length] = static_cast<char>(dbf::kEndOfFile);
}

void XBO_dBaseDBF::SetEof() {
  BlankBuffer();
  eof_ = true;
  current_record_ = header_.record_count + 1;
}

// Positioning: kGoCurrent re-reads, kGoLast goes to the last record by count,
// kGoFirst to record 1, kGoPrior to the record before (at record 1 it sets BOF
// and stays), kGoNext to the next; 0 blanks the buffer at EOF. A number above
// the known count refreshes the header first; count + 1 is EOF.
void XBO_dBaseDBF::GoToRecord(int64_t code) {
  if (code == 0) {
    BlankBuffer();
    eof_ = true;
    current_record_ = 0;
    return;
  }
  int64_t r = code;
  switch (code) {
    case kGoCurrent:
      r = current_record_;
      break;
    case kGoLast:
      RefreshHeader();
      r = header_.record_count;
      break;
    case kGoFirst:
      r = 1;
      break;
    case kGoPrior:
      if (current_record_ <= 1) {
        bof_ = true;
        return;
      }
      r = current_record_ - 1;
      break;
    case kGoNext:
      r = current_record_ + 1;
      break;
    default:
      if (code < 0) RaiseError(msg::kRecordNotInTable, {Num(code), FileName()});
  }
  if (r > header_.record_count || header_.record_count == 0) RefreshHeader();
  if (header_.record_count == 0) {
    SetEof();
    bof_ = true;
    return;
  }
  if (r <= 0 || r == header_.record_count + 1) {
    SetEof();
    return;
  }
  if (r > header_.record_count) RaiseError(msg::kRecordNotInTable, {Num(r), FileName()});
  NotifyStatus(kStatusBeforeRead, r);
  if (DiskRead(buffer_, header_.record_length, RecordPosition(r)) < header_.record_length) {
    RaiseError(msg::kErrorOnRead, {FileName()});
  }
  buffer_[header_.record_length] = static_cast<char>(dbf::kEndOfFile);
  current_record_ = r;
  eof_ = bof_ = false;
  record_changed_ = false;
  NotifyStatus(kStatusAfterRead, r);
  original_.assign(buffer_, header_.record_length);
  original_number_ = r;
}

void XBO_dBaseDBF::RefreshHeader() {
  if (!Shared()) {
    changed_by_others_ = false;
    return;
  }
  uint8_t raw[dbf::kHeaderSize];
  if (DiskRead(raw, sizeof raw, 0) < static_cast<int64_t>(sizeof raw)) {
    RaiseError(msg::kErrorOnRead, {FileName()});
  }
  const dbf::Header now = dbf::DecodeHeaderAgain(raw);
  if (now.record_count != header_.record_count || now.change_stamp != header_.change_stamp) {
    changed_by_others_ = true;
  }
  header_.image = now.image;
  header_.record_count = now.record_count;
  header_.change_stamp = now.change_stamp;
  header_.user_number = now.user_number;
  header_.flags = now.flags;
}

void XBO_dBaseDBF::WriteHeader(bool forced) {
  if (!ReadWrite() || !header_dirty_ || (table_locked_ && !forced)) return;
  const LocalTime now = Now();
  header_.change_stamp = dbf::ChangeStamp(now);
  header_.user_number = user_number_;
  const auto image = dbf::EncodeHeader(header_, now);
  DiskWrite(image.data(), dbf::kHeaderSize, 0);
  header_.image = image;
  header_dirty_ = false;
}

void XBO_dBaseDBF::WriteStamp() {
  if (!ReadWrite()) return;
  const LocalTime now = Now();
  header_.change_stamp = dbf::ChangeStamp(now);
  header_.user_number = user_number_;
  PutLE32(header_.image.data() + dbf::kOffChangeStamp, header_.change_stamp);
  PutLE32(header_.image.data() + dbf::kOffUserNumber, header_.user_number);
  DiskWrite(header_.image.data() + dbf::kOffChangeStamp, 8, dbf::kOffChangeStamp);
  const uint8_t date[3] = {static_cast<uint8_t>(now.year % 100), static_cast<uint8_t>(now.month),
                           static_cast<uint8_t>(now.day)};
  if (std::memcmp(header_.image.data() + dbf::kOffDate, date, 3) != 0) {
    std::memcpy(header_.image.data() + dbf::kOffDate, date, 3);
    DiskWrite(header_.image.data(), 4, 0);
  }
  // Only stamp, user and date changed; the record count on disk stays the one
  // other writers keep current, so nothing is left for a full header write.
  header_dirty_ = false;
}

void XBO_dBaseDBF::DropAppendedRecords(int64_t, int64_t) {}

void XBO_dBaseDBF::FileReopened() {}

void XBO_dBaseDBF::LockForBatch() { LockHeader(); }

void XBO_dBaseDBF::UnlockForBatch() { UnlockHeader(); }

void XBO_dBaseDBF::FollowReplacedFile(bool rewriting) {
  if (!Shared() || !Replaced()) return;
  if (table_locked_ || LockCount() > 0 || header_lock_count_ != 1) {
    RaiseError(msg::kFileReplaced, {FileName()});
  }
  for (int tries = 1;; ++tries) {
    UnlockHeader();  // it belonged to the old file
    ReopenSameTable();
    LockHeader();
    if (!Replaced()) break;
    if (tries >= kReopenTries) RaiseError(msg::kFileReplaced, {FileName()});
  }
  if (rewriting) RaiseError(msg::kFileReplaced, {FileName()});
}

void XBO_dBaseDBF::ReopenSameTable() {
  DiskReopen();
  FileReopened();
  uint8_t raw[dbf::kHeaderSize];
  std::string area(descriptor_area_.size(), '\0');
  const bool same =
      DiskRead(raw, sizeof raw, 0) == static_cast<int64_t>(sizeof raw) &&
      raw[dbf::kOffVersion] == header_.version &&
      GetLE16(raw + dbf::kOffHeaderLength) == header_.header_length &&
      GetLE16(raw + dbf::kOffRecordLength) == header_.record_length &&
      DiskRead(area.data(), static_cast<int64_t>(area.size()), dbf::kHeaderSize) ==
          static_cast<int64_t>(area.size()) &&
      area == descriptor_area_;
  if (!same) {
    DiskClose();
    RaiseError(msg::kFileReplaced, {FileName()});
  }
  RefreshHeader();
}

// Outside a write batch every append re-reads the header under the header
// lock (other users' appends count), writes the header and flushes; inside
// one the lock has been held since the batch began, so the count is still
// current, and the header write and the flush wait for the batch's end.
void XBO_dBaseDBF::AppendRecord() {
  const bool batched = InWriteBatch();
  XBO_HeaderLockScope header_lock(*this);
  if (!batched) FollowReplacedFile(false);
  NotifyStatus(kStatusBeforeWrite, 0);
  record_changed_ = true;
  if (!batched) RefreshHeader();
  buffer_[0] = dbf::kActiveFlag;
  buffer_[header_.record_length] = static_cast<char>(dbf::kEndOfFile);
  const uint32_t count = header_.record_count;
  const int64_t r = static_cast<int64_t>(count) + 1;
  // A write that fails half way (a full disk) must not leave a torn record
  // in place of the end-of-file byte: the file goes back as it was.
  const FileEnd end = SaveEnd(RecordPosition(r), header_.record_length + 1);
  try {
    DiskWrite(buffer_, header_.record_length + 1, RecordPosition(r));
    header_.record_count = static_cast<uint32_t>(r);
    header_dirty_ = true;
    if (!batched) WriteHeader();
  } catch (...) {
    header_.record_count = count;
    try {
      RestoreEnd(end);
    } catch (...) {
      // The write's own error is the one to report.
    }
    throw;
  }
  current_record_ = r;
  NotifyStatus(kStatusAfterWrite, 0);
  if (batched) {
    batch_written_ = true;
  } else {
    DiskFlush();
  }
  header_lock.Unlock();
  eof_ = bof_ = false;
  record_changed_ = false;
  original_.assign(buffer_, header_.record_length);
  original_number_ = current_record_;
}

void XBO_dBaseDBF::WriteRecord(int64_t record) {
  if (record > header_.record_count) RefreshHeader();
  if (record < 1 || record > header_.record_count) {
    RaiseError(msg::kRecordNotInTable, {Num(record), FileName()});
  }
  const bool batched = InWriteBatch();
  XBO_HeaderLockScope header_lock(*this);
  if (!batched) FollowReplacedFile(true);
  NotifyStatus(kStatusBeforeWrite, record);
  if (original_number_ != record) {
    // Index upkeep needs the record's old contents.
    original_.assign(header_.record_length, ' ');
    if (DiskRead(original_.data(), header_.record_length, RecordPosition(record)) <
        header_.record_length) {
      RaiseError(msg::kErrorOnRead, {FileName()});
    }
    original_number_ = record;
  }
  header_dirty_ = true;
  DiskWrite(buffer_, header_.record_length, RecordPosition(record));
  // In a batch the stamp goes out with the full header at its end.
  if (batched) {
    batch_written_ = batch_rewritten_ = true;
  } else {
    WriteStamp();
  }
  NotifyStatus(kStatusAfterWrite, record);
  if (auto_flush_ && !batched) DiskFlush();
  header_lock.Unlock();
  record_changed_ = false;
  original_.assign(buffer_, header_.record_length);
  original_number_ = record;
}

// Tries for up to the lock wait (5 s) to take the header byte. Waiting
// writers announce themselves on the wait byte, and a writer coming back for
// the header byte yields to them; tries are a few milliseconds apart so that a
// hand-over costs little when writers take turns.
void XBO_dBaseDBF::LockHeader() {
  if (Shared() && !table_locked_ && header_lock_count_ == 0) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kLockWaitMs);
    bool waiting = false;
    while (true) {
      if (waiting || !OsRangeTakenByOthers(WaitLockOffset(), 1)) {
        if (OsLockRange(header_lock_offset_, 1)) break;
        if (!waiting) waiting = OsLockRange(WaitLockOffset(), 1);
      }
      if (std::chrono::steady_clock::now() >= deadline) {
        if (waiting) OsUnlockRange(WaitLockOffset(), 1);
        RaiseError(msg::kCanNotLock, {FileName()});
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(kHeaderPollMs));
    }
    if (waiting) OsUnlockRange(WaitLockOffset(), 1);
    header_os_locked_ = true;
  }
  ++header_lock_count_;
}

void XBO_dBaseDBF::UnlockHeader() {
  if (header_lock_count_ <= 0) return;
  if (--header_lock_count_ == 0 && header_os_locked_) {
    header_os_locked_ = false;
    OsUnlockRange(header_lock_offset_, 1);
  }
}

bool XBO_dBaseDBF::LockTable() {
  if (!DiskLock(0, kFullLockLength)) return false;
  table_lock_offset_ = 0;
  table_lock_length_ = kFullLockLength;
  table_locked_ = true;
  RefreshHeader();
  return true;
}

bool XBO_dBaseDBF::LockRecordArea() {
  if (!DiskLock(area_start_, area_length_)) return false;
  table_lock_offset_ = area_start_;
  table_lock_length_ = area_length_;
  table_locked_ = true;
  RefreshHeader();
  return true;
}

void XBO_dBaseDBF::UnlockTable() {
  if (!table_locked_) return;
  if (LockCount() <= 1) WriteHeader(true);
  DiskUnlock();
  table_locked_ = LockCount() > 0;
}

bool XBO_dBaseDBF::LockRecord() {
  if (lock_protocol_ > static_cast<int>(TxbLokProtocol::FoxLock)) return false;
  if (table_locked_) return DiskLock(table_lock_offset_, table_lock_length_);
  return DiskLock(RecordLockOffset(current_record_), 1);
}

void XBO_dBaseDBF::UnlockRecord() {
  DiskUnlock();
  if (LockCount() == 0) table_locked_ = false;
}

int64_t XBO_dBaseDBF::RecordLockOffset(int64_t record) const {
  return RecordLockByte(lock_protocol_, record, header_.header_length, header_.record_length,
                        UsesIndexLockOffsets());
}

void XBO_dBaseDBF::SetLockProtocol(int protocol) {
  lock_protocol_ = protocol;
  const TxbLockOffsets *offsets = LockOffsetsOf(protocol);
  if (offsets == nullptr) return;  // offsets unchanged; LockRecord fails
  area_start_ = offsets->area_start;
  area_length_ = offsets->area_length;
  header_lock_offset_ = offsets->header;
  index_lock_offset_ = offsets->index_offset;
  index_lock_length_ = offsets->index_length;
}

bool XBO_dBaseDBF::UsesIndexLockOffsets() const { return false; }

XBO_HeaderLockScope::~XBO_HeaderLockScope() {
  if (!table_) return;
  try {
    table_->UnlockHeader();
  } catch (...) {
    // Only an error leaves a scope without Unlock(); that one is reported.
  }
}

void XBO_HeaderLockScope::Unlock() {
  XBO_dBaseDBF *table = table_;
  table_ = nullptr;
  if (table) table->UnlockHeader();
}

}  // namespace xb
