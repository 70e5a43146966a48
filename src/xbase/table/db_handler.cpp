// Visible-record navigation, counting, locating and the read-ahead window of
// the table; see db_handler.h. Packing and copying are in
// db_handler_maintenance.cpp, the index-file hooks in db_handler_index.cpp.
#include "xbase/table/db_handler.h"

#include <algorithm>
#include <cstring>
#include <filesystem>

#include "xbase/file/byte_helpers.h"
#include "xbase/file/fs_path.h"
#include "xbase/file/text_case.h"
#include "xbase/index/index_file.h"
#include "xbase/xbase_error.h"
#include "xbase/xbase_messages.h"

namespace xb {

XBO_dBHandler::XBO_dBHandler(const std::string &file_name, bool shared, bool read_write,
                             const std::string &password)
    : XBO_dBaseFld(file_name, shared, read_write, password) {
  RemoveLeftoverTemporaries();
}

void XBO_dBHandler::RemoveLeftoverTemporaries() {
  const std::filesystem::path path = FsPath(FileName());
  const std::string own = UpperCp1251(PathText(path.filename()));
  const std::string stem = UpperCp1251(PathText(path.stem()));
  XBO_DiskFile::RemoveStaleTemporaries(
      PathText(path.parent_path()), [&](const std::string &kind, const std::string &target) {
        if (kind == kPackTemporary) return UpperCp1251(target) == own;
        return kind == kIndexTemporary && UpperCp1251(PathText(FsPath(target).stem())) == stem;
      });
}

XBO_dBHandler::~XBO_dBHandler() {
  try {
    CloseIndexes();
  } catch (...) {
    // Destruction cannot report; the table file is closed by the base.
  }
}

// --- read-ahead window -----------------------------------------------------

bool XBO_dBHandler::SetReadBuffer(bool on) {
  const bool was = read_buffer_on_;
  read_buffer_on_ = on;
  window_valid_ = 0;
  if (on) {
    const int64_t rl = RecordLength();
    window_.resize(static_cast<size_t>(std::max(rl, kReadBufferSize / rl * rl)));
  } else {
    window_.clear();
    window_.shrink_to_fit();
  }
  return was;
}

int64_t XBO_dBHandler::DiskRead(void *buffer, int64_t count, int64_t offset) {
  const int64_t cap = static_cast<int64_t>(window_.size());
  const int64_t hl = HeaderLength();
  if (!read_buffer_on_ || offset < hl || count > cap) {
    return XBO_dBaseFld::DiskRead(buffer, count, offset);
  }
  // A read a little ahead of the last one (a walk in natural order, also
  // one that passes over hidden records) refills the window from there; one
  // that jumps elsewhere (a walk in index order, a search) reads just its
  // own bytes and leaves the window be.
  const bool onward = window_valid_ == 0 || (offset >= read_end_ && offset - read_end_ < cap);
  read_end_ = offset + count;
  if (offset < window_start_ || offset + count > window_start_ + window_valid_) {
    if (!onward) return XBO_dBaseFld::DiskRead(buffer, count, offset);
    const int64_t rl = RecordLength();
    window_start_ = hl + (offset - hl) / rl * rl;
    if (offset + count > window_start_ + cap) window_start_ = offset;
    window_valid_ = XBO_dBaseFld::DiskRead(window_.data(), cap, window_start_);
  }
  const int64_t n = std::clamp<int64_t>(window_start_ + window_valid_ - offset, 0, count);
  std::memcpy(buffer, window_.data() + (offset - window_start_), static_cast<size_t>(n));
  return n;
}

void XBO_dBHandler::DiskWrite(const void *buffer, int64_t count, int64_t offset) {
  XBO_dBaseFld::DiskWrite(buffer, count, offset);
  if (!read_buffer_on_ || window_valid_ == 0) return;
  const int64_t from = std::max(offset, window_start_);
  const int64_t to = std::min(offset + count, window_start_ + window_valid_);
  if (from < to) {
    std::memcpy(window_.data() + (from - window_start_),
                static_cast<const char *>(buffer) + (from - offset),
                static_cast<size_t>(to - from));
  }
}

// --- writes ----------------------------------------------------------------

void XBO_dBHandler::AppendRecord() {
  IndexLocks locks(*this);
  XBO_dBaseFld::AppendRecord();
  locks.Unlock();
}

void XBO_dBHandler::WriteRecord(int64_t record) {
  IndexLocks locks(*this);
  XBO_dBaseFld::WriteRecord(record);
  locks.Unlock();
}

void XBO_dBHandler::LockForBatch() {
  IndexLocks locks(*this);
  XBO_dBaseFld::LockForBatch();
  locks.Keep();  // released by UnlockForBatch
}

void XBO_dBHandler::UnlockForBatch() {
  XBO_dBaseFld::UnlockForBatch();
  UnlockIndexes();
}

void XBO_dBHandler::DiskRename(const std::string &new_name) {
  const std::string old_name = FileName();
  XBO_dBaseFld::DiskRename(new_name);
  RenameIndexes(old_name, FileName());
}

void XBO_dBHandler::NotifyStatus(int code, int64_t value) {
  NotifyIndexes(code, value);
  if (code == kStatusAfterWrite && filter_.active)
    UpdateFilterBit(value > 0 ? value : current_record_);
}

void XBO_dBHandler::SetLockProtocol(int protocol) {
  XBO_dBaseFld::SetLockProtocol(protocol);
  PassLockProtocolToIndexes(protocol);
}

void XBO_dBHandler::FileReopened() { window_valid_ = 0; }

bool XBO_dBHandler::UsesIndexLockOffsets() const { return indexes_[1] != nullptr; }

void XBO_dBHandler::SetPassword(const std::string &, const std::string &) {
  RaiseEncryption(msg::kCipherNotSupported, {FileName()});
}

// --- visibility and navigation ---------------------------------------------

bool XBO_dBHandler::RecordVisible() {
  return !filter_.active || filter_.passing.Contains(current_record_);
}

bool XBO_dBHandler::Visible() {
  return (use_deleted_ || buffer_[0] != dbf::kDeletedFlag) && RecordVisible();
}

int64_t XBO_dBHandler::NextCandidate(int64_t r, int step) {
  if (!filter_.active) return r + step;
  if (step < 0) return filter_.passing.Prior(r);
  const int64_t next = filter_.passing.Next(r);
  return next > 0 ? next : static_cast<int64_t>(header_.record_count) + 1;
}

bool XBO_dBHandler::WalkVisible(int64_t start, int step) {
  int64_t r = start;
  if (filter_.active && !filter_.passing.Contains(r)) r = NextCandidate(r, step);
  while (true) {
    if (r <= 0) return false;
    if (r > static_cast<int64_t>(header_.record_count)) {
      RefreshHeader();
      if (r > static_cast<int64_t>(header_.record_count)) {
        SetEof();
        return false;
      }
    }
    XBO_dBaseFld::GoToRecord(r);
    if (Visible()) return true;
    r = NextCandidate(r, step);
  }
}

void XBO_dBHandler::GoToRecord(int64_t code) {
  if (table_state_ == kStateIndexing) {
    XBO_dBaseFld::GoToRecord(code);
    return;
  }
  ClipIndexLock lock(*this);
  if (code >= 0) {
    XBO_dBaseFld::GoToRecord(code);
    return;
  }
  // With a current tag the candidates come from the tag's order.
  if (current_tag_ != nullptr && code >= kGoCurrent) {
    GoToRecordInTag(code);
    return;
  }
  const auto none_visible = [this] {
    SetEof();
    bof_ = true;
  };
  switch (code) {
    case kGoFirst:
      if (!WalkVisible(1, +1)) none_visible();
      break;
    case kGoLast:
      RefreshHeader();
      if (!WalkVisible(header_.record_count, -1)) none_visible();
      break;
    case kGoCurrent:
      if (current_record_ >= 1 && current_record_ <= static_cast<int64_t>(header_.record_count)) {
        WalkVisible(current_record_, +1);
      } else {
        XBO_dBaseFld::GoToRecord(kGoCurrent);
      }
      break;
    case kGoNext:
      WalkVisible(NextCandidate(current_record_, +1), +1);
      break;
    case kGoPrior:
      if (!WalkVisible(NextCandidate(current_record_, -1), -1)) {
        // Ran off the start: stay on the first visible record with BOF set.
        if (WalkVisible(1, +1)) {
          bof_ = true;
        } else {
          none_visible();
        }
      }
      break;
    default:
      XBO_dBaseFld::GoToRecord(code);  // raises "Record number %d is not in table %s"
  }
}

void XBO_dBHandler::Skip(int64_t n) {
  ClipIndexLock lock(*this);
  if (n == 0) {
    GoToRecord(kGoCurrent);
    return;
  }
  if (filter_.active || !use_deleted_ || current_tag_ != nullptr) {
    for (int64_t i = 0; i < std::abs(n); ++i) {
      GoToRecord(n > 0 ? kGoNext : kGoPrior);
      if (n > 0 ? eof_ : bof_) break;
    }
    return;
  }
  int64_t target = current_record_ + n;
  if (target > static_cast<int64_t>(header_.record_count)) RefreshHeader();
  const int64_t count = header_.record_count;
  if (count == 0) {
    GoToRecord(kGoFirst);
  } else if (target > count) {
    XBO_dBaseFld::GoToRecord(count);
    eof_ = true;
  } else if (target < 1) {
    XBO_dBaseFld::GoToRecord(1);
    bof_ = true;
  } else {
    XBO_dBaseFld::GoToRecord(target);
  }
}

// --- counting and locating -------------------------------------------------

namespace {

// Puts a table back on the record (and flags) it stood on.
class PositionKeeper {
 public:
  explicit PositionKeeper(XBO_dBHandler &t)
      : t_(t), record_(t.RecordNumber()), eof_(t.Eof()), bof_(t.Bof()) {}
  void Restore(bool &eof, bool &bof) {
    if (record_ >= 1 && record_ <= t_.RecordCount()) {
      t_.XBO_dBaseFld::GoToRecord(record_);
    } else {
      t_.XBO_dBaseFld::GoToRecord(0);
    }
    eof = eof_;
    bof = bof_;
  }

 private:
  XBO_dBHandler &t_;
  int64_t record_;
  bool eof_, bof_;
};

std::vector<std::string> SplitNames(const std::string &names) {
  std::vector<std::string> out;
  size_t start = 0;
  while (start <= names.size()) {
    size_t end = names.find(';', start);
    if (end == std::string::npos) end = names.size();
    const std::string_view part = TrimBlanks(std::string_view(names).substr(start, end - start));
    if (!part.empty()) out.emplace_back(part);
    start = end + 1;
  }
  return out;
}

}  // namespace

int64_t XBO_dBHandler::RecordCount(bool exact) {
  RefreshHeader();
  if (!exact || (use_deleted_ && !filter_.active && current_tag_ == nullptr)) {
    return header_.record_count;
  }
  ClipIndexLock lock(*this);
  PositionKeeper keep(*this);
  int64_t n = 0;
  {
    XBO_ReadAheadScope read_ahead(*this);
    for (GoToRecord(kGoFirst); !eof_; GoToRecord(kGoNext)) ++n;
  }
  keep.Restore(eof_, bof_);
  return n;
}

bool XBO_dBHandler::LocateRecord(const std::string &field_names,
                                 const std::vector<std::string> &values, int64_t start_record,
                                 bool partial, bool case_insensitive) {
  const std::vector<std::string> names = SplitNames(field_names);
  std::vector<int> fields;
  std::string field_list;
  for (const std::string &name : names) {
    fields.push_back(FieldByName(name));
    field_list += UpperCp1251(name) + ";";
  }
  ClipIndexLock lock(*this);
  // A seek serves only a whole-value, case-sensitive search from the start;
  // the records it visits are still checked like the scan checks them.
  XBobjIndexTag *const tag =
      start_record == 0 && !partial && !case_insensitive ? LocateTag(field_list) : nullptr;
  std::string seek_key;
  PositionKeeper keep(*this);
  GoToRecord(kGoFirst);
  if (eof_ || fields.empty()) {
    keep.Restore(eof_, bof_);
    return false;
  }

  // The searched texts, made by storing each value in a blank scratch record
  // and reading it back, so they compare as the stored fields do.
  std::vector<std::string> wanted;
  {
    std::string scratch(RecordLength() + 1, ' ');
    const std::vector<bool> changed = changed_fields_;
    const bool record_changed = record_changed_;
    {
      XBO_RecordBufferScope scope(*this, scratch.data());
      BlankRecord();
      for (size_t i = 0; i < fields.size(); ++i) {
        StringPut(fields[i], i < values.size() ? values[i] : std::string());
        const std::string text = StringGet(fields[i]);
        wanted.push_back(case_insensitive ? UpperCp1251(text) : text);
      }
      if (tag) seek_key = tag->NormalizeKey(tag->EvaluateKey(), false);
    }
    changed_fields_ = changed;
    record_changed_ = record_changed;
  }
  const auto matches = [&] {
    for (size_t i = 0; i < fields.size(); ++i) {
      std::string text = StringGet(fields[i]);
      if (case_insensitive) text = UpperCp1251(text);
      if (partial && i + 1 == fields.size()) {
        if (text.compare(0, wanted[i].size(), wanted[i]) != 0) return false;
      } else if (text != wanted[i]) {
        return false;
      }
    }
    return true;
  };
  bool found = false;
  {
    XBO_ReadAheadScope read_ahead(*this);
    if (tag) {
      found = SeekMatching(*tag, seek_key, matches);
    } else {
      for (bool ok = WalkVisible(start_record > 0 ? start_record + 1 : 1, +1); ok;
           ok = WalkVisible(NextCandidate(current_record_, +1), +1)) {
        if (matches()) {
          found = true;
          break;
        }
      }
    }
  }
  if (!found) keep.Restore(eof_, bof_);
  return found;
}

}  // namespace xb
