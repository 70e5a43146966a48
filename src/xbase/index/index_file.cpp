// Index file base: page access on the disk file, the index lock and the
// update counter.
#include "xbase/index/index_file.h"

#include <chrono>
#include <thread>

#include "xbase/file/text_case.h"
#include "xbase/table/dbase_dbf.h"
#include "xbase/table/dbase_fld.h"
#include "xbase/table/lock_protocols.h"
#include "xbase/xbase_error.h"
#include "xbase/xbase_messages.h"

namespace xb {

namespace {

constexpr int64_t kCopyChunk = 1 << 20;

// Copies every byte of `from` into `to`.
void CopyWhole(XBO_DiskFile &from, XBO_DiskFile &to) {
  std::string chunk(kCopyChunk, '\0');
  for (int64_t at = 0;;) {
    const int64_t got = from.DiskRead(chunk.data(), kCopyChunk, at);
    if (got <= 0) break;
    to.DiskWrite(chunk.data(), got, at);
    at += got;
  }
}

// Names compare without letter case, trailing blanks ignored.
std::string NameKey(const std::string &name) {
  return UpperCp1251(name.substr(0, name.find_last_not_of(' ') + 1));
}

}  // namespace

std::string IndexBaseName(const std::string &path) {
  const size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

XBobjIndexFile::XBobjIndexFile(XBO_dBaseFld &table, const std::string &path)
    : table_(table), disk_(path), name_(IndexBaseName(path)) {
  SetIndexLockProtocol(table.LockProtocol());
}

TxbExpUserLink *XBobjIndexFile::Link() { return &table_.ExpressionLink(); }

XBobjIndexFile::~XBobjIndexFile() = default;

int64_t XBobjIndexFile::AllocPage(size_t size) {
  if (next_free_ < 0) next_free_ = FreshEndOfFilePos();
  const int64_t position = next_free_;
  next_free_ += static_cast<int64_t>(size);
  return position;
}

int64_t XBobjIndexFile::EndOfFilePos() {
  if (known_end_ < 0) known_end_ = disk_.DiskSize();
  return next_free_ > known_end_ ? next_free_ : known_end_;
}

int64_t XBobjIndexFile::FreshEndOfFilePos() {
  known_end_ = -1;
  return EndOfFilePos();
}

std::string XBobjIndexFile::ReadPage(int64_t position, size_t size) {
  std::string bytes(size, '\0');
  const int64_t got = disk_.DiskRead(bytes.data(), static_cast<int64_t>(size), position);
  bytes.resize(got > 0 ? static_cast<size_t>(got) : 0);
  return bytes;
}

void XBobjIndexFile::WritePage(int64_t position, std::string_view bytes) {
  disk_.DiskWrite(bytes.data(), static_cast<int64_t>(bytes.size()), position);
  const int64_t end = position + static_cast<int64_t>(bytes.size());
  if (known_end_ >= 0 && end > known_end_) known_end_ = end;
}

bool XBobjIndexFile::ChangedByOthers() {
  if (!disk_.Shared()) return false;
  if (checked_under_lock_ && disk_.LockCount() > 0) return false;
  const bool changed = LookForChanges();
  checked_under_lock_ = disk_.LockCount() > 0;
  return changed;
}

bool XBobjIndexFile::LookForChanges() {
  const uint32_t stored = StoredCounter();
  if (stored == KnownCounter() && !others_were_writing_) return false;
  if (ReopenIfReplaced()) {
    others_were_writing_ = false;
    return true;
  }
  // An unchanged counter needs nothing more: a writer at work raises it
  // before it is done (NTX first, CDX last), and the next check sees that.
  // A writer holds the index lock from before it raises the counter until
  // its pages are written, so a new counter seen while another holds the
  // lock may come with pages still being written: what is read now is read
  // again at the next check as well, until the lock is found free.
  const bool others_writing =
      disk_.LockCount() == 0 && disk_.LockedByOthers(lock_offset_, lock_length_);
  others_were_writing_ = others_writing;
  TakeChangedFile(stored);
  return true;
}

void XBobjIndexFile::TakeChangedFile(uint32_t counter) {
  next_free_ = -1;
  known_end_ = -1;
  for (auto &tag : tags_) tag->DropPages();
  ReloadHeaders(counter);
}

uint16_t XBobjIndexFile::NextCounter(uint16_t counter) {
  return counter >= 0x7FFF ? 1 : static_cast<uint16_t>(counter + 1);
}

void XBobjIndexFile::UpdateKeys(int64_t record, bool appended) {
  ChangedByOthers();
  const bool changed = table_.RecordChanged();
  update_counter_ = NextCounter(update_counter_);
  for (auto &tag : tags_) tag->WriteTagHeader();
  for (auto &tag : tags_) {
    if (changed || tag->HasFor()) tag->UpdateRecord(static_cast<uint32_t>(record), appended);
  }
}

void XBobjIndexFile::RemoveRecordKeys(int64_t record) {
  ChangedByOthers();
  update_counter_ = NextCounter(update_counter_);
  for (auto &tag : tags_) tag->WriteTagHeader();
  for (auto &tag : tags_) tag->RemoveRecord(static_cast<uint32_t>(record));
}

void XBobjIndexFile::SetIndexLockProtocol(int protocol) {
  const TxbLockOffsets *offsets = LockOffsetsOf(protocol);
  if (offsets == nullptr) return;  // unknown protocols keep the offsets
  lock_offset_ = offsets->index_offset;
  lock_length_ = offsets->index_length;
}

void XBobjIndexFile::LockIndex() {
  if (disk_.LockCount() == 0) checked_under_lock_ = false;
  LockWaiting(disk_);
}

void XBobjIndexFile::LockWaiting(XBO_DiskFile &file) {
  const int tries = XBO_DiskFile::kLockWaitMs / XBO_DiskFile::kRetryPauseMs;
  for (int i = 0; i < tries; ++i) {
    if (file.DiskLock(lock_offset_, lock_length_)) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(XBO_DiskFile::kRetryPauseMs));
  }
  RaiseError(msg::kCanNotLock, {name_});
}

bool XBobjIndexFile::ReopenIfReplaced() {
  if (!disk_.Replaced()) return false;
  const int held = disk_.LockCount();
  disk_.DiskReopen();  // the old file's lock went with it
  next_free_ = -1;
  known_end_ = -1;
  for (int i = 0; i < held; ++i) LockIndex();
  ReloadTags();
  return true;
}

void XBobjIndexFile::Rebuild(bool copy_old, const std::function<void()> &build) {
  checked_under_lock_ = false;
  const bool was_open = !disk_.Closed();
  XBO_DiskFile old(disk_.FileName());
  if (was_open) {
    old.TakeOver(disk_);
  } else if (old.Exists()) {
    old.DiskOpen(table_.Shared(), true);
  }
  const bool locked = !old.Closed() && old.Shared();
  if (locked) LockWaiting(old);
  try {
    disk_.DiskCreateTemporary(kIndexTemporary);
    if (copy_old && !old.Closed()) CopyWhole(old, disk_);
    next_free_ = -1;
    known_end_ = -1;
    build();
    disk_.DiskReplaceTarget(was_open && table_.Shared(), &old);
  } catch (...) {
    try {
      disk_.DiskClose();  // removes the temporary
      if (locked) old.DiskUnlock();
      if (was_open) {
        disk_.TakeOver(old);
        next_free_ = -1;
        known_end_ = -1;
        ReloadTags();
      }
    } catch (...) {
      // The build's own error is the one to report.
    }
    throw;
  }
  if (!old.Closed()) {
    try {
      MarkReplaced(old);
    } catch (...) {
      // The new file is in place; a holder of the old one that is not told
      // sees the old index until it opens the file again.
    }
  }
}

void XBobjIndexFile::UnlockIndex() {
  if (disk_.LockCount() <= 1) checked_under_lock_ = false;
  disk_.DiskUnlock();
}

XBobjIndexTag *XBobjIndexFile::FindTag(const std::string &name) {
  const std::string wanted = NameKey(name);
  for (auto &tag : tags_) {
    if (NameKey(tag->Name()) == wanted) return tag.get();
  }
  return nullptr;
}

}  // namespace xb
