// The index paths of the indexed table level: building and opening index
// files, selecting tags, searching, navigating in tag order, and the places
// where open index files take part in the table's work (locks around writes,
// new and changed keys, the lock protocol, renames, rebuilding after a pack).
#include <algorithm>
#include <filesystem>

#include "xbase/file/byte_helpers.h"
#include "xbase/file/fs_path.h"
#include "xbase/file/text_case.h"
#include "xbase/index/cdx_build.h"
#include "xbase/index/cdx_tag.h"
#include "xbase/index/index_file.h"
#include "xbase/index/ntx_tag.h"
#include "xbase/table/db_handler.h"
#include "xbase/table/dbf_format.h"
#include "xbase/xbase_error.h"
#include "xbase/xbase_messages.h"

namespace xb {

namespace {

std::string Extension(const std::string &path) {
  const std::string base = IndexBaseName(path);
  const size_t dot = base.find_last_of('.');
  return dot == std::string::npos ? std::string() : UpperCp1251(base.substr(dot));
}

std::string WithoutExtension(const std::string &path) {
  const size_t dot = path.find_last_of('.');
  const size_t slash = path.find_last_of("/\\");
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return path;
  return path.substr(0, dot);
}

// The full name of an index file: ".ndx" when it has no extension, the
// table's directory when it has none. NTX and CDX files are read and written.
std::string IndexPath(const std::string &table_path, const std::string &file_name) {
  std::string name(TrimBlanks(file_name));
  if (IndexBaseName(name).find('.') == std::string::npos) name += ".ndx";
  if (name.find_first_of("/\\") == std::string::npos) {
    const size_t slash = table_path.find_last_of("/\\");
    if (slash != std::string::npos) name = table_path.substr(0, slash + 1) + name;
  }
  const std::string extension = Extension(name);
  if (extension != ".NTX" && extension != ".CDX") RaiseError(msg::kIndexFormatNotSupported, {name});
  return name;
}

// Removes the temporaries that builds of the index file `path` left when
// they died.
void RemoveLeftoverBuilds(const std::string &path) {
  const std::filesystem::path file = FsPath(path);
  const std::string name = UpperCp1251(PathText(file.filename()));
  XBO_DiskFile::RemoveStaleTemporaries(
      PathText(file.parent_path()), [&](const std::string &kind, const std::string &target) {
        return kind == kIndexTemporary && UpperCp1251(target) == name;
      });
}

// The last navigation direction of a code: forward for first, next and
// current, backward for last and prior.
int64_t ContinueCode(int64_t code) {
  return code == kGoLast || code == kGoPrior ? kGoPrior : kGoNext;
}

}  // namespace

// --- index management --------------------------------------------------------

void XBO_dBHandler::IndexOn(const std::string &file_name, const std::string &tag_name,
                            const std::string &key_expression, const std::string &for_expression,
                            int unique, int order) {
  // A compound file takes the tag by its name; an NTX tag is always named
  // after its file.
  const std::string path = IndexPath(FileName(), file_name);
  const bool compound = Extension(path) == ".CDX";
  CloseIndexes();
  RemoveLeftoverBuilds(path);
  XBO_ReadAheadScope read_ahead(*this);
  if (compound) {
    CdxIndexOn(*this, path, tag_name, key_expression, for_expression, unique == 0,
               order == 1 || order == 8, order == 7 || order == 8);
  } else {
    XBobjNTXFile::Create(*this, path, key_expression, for_expression, unique == 0,
                         order == 1 || order == 8, order == 7 || order == 8);
  }
}

void XBO_dBHandler::IndexOpen(const std::string &file_list, const std::string &tag_name) {
  std::vector<std::string> names;
  for (size_t start = 0; start <= file_list.size();) {
    const size_t end = std::min(file_list.find(';', start), file_list.size());
    names.push_back(file_list.substr(start, end - start));
    start = end + 1;
  }
  IndexOpen(names, tag_name);
}

void XBO_dBHandler::IndexOpen(const std::vector<std::string> &files, const std::string &tag_name) {
  std::vector<std::string> paths;
  for (const std::string &file : files) {
    const std::string name(TrimBlanks(file));
    if (!name.empty()) paths.push_back(IndexPath(FileName(), name));
  }
  current_tag_ = nullptr;
  // Files of the list that are open already stay; the others close.
  std::vector<std::shared_ptr<XBobjIndexFile>> open;
  for (const std::string &path : paths) {
    if (open.size() >= kIndexSlots) break;
    const std::string full = XBO_DiskFile(path).FileName();
    auto same = std::find_if(indexes_.begin(), indexes_.end(),
                             [&](const auto &slot) { return slot && slot->Path() == full; });
    if (same != indexes_.end()) {
      open.push_back(std::move(*same));
      continue;
    }
    RemoveLeftoverBuilds(full);
    if (Extension(path) == ".CDX") {
      auto file = std::make_shared<XBobjCDXFile>(*this, path);
      file->Open();
      MarkStructuralIndex(file->Path());
      open.push_back(std::move(file));
    } else {
      auto file = std::make_shared<XBobjNTXFile>(*this, path);
      file->Open();
      open.push_back(std::move(file));
    }
  }
  CloseIndexes();
  for (size_t i = 0; i < open.size(); ++i) indexes_[i + 1] = std::move(open[i]);
  SetTag(tag_name);
}

void XBO_dBHandler::MarkStructuralIndex(const std::string &cdx_path) {
  // The structural index is the CDX file named like the table.
  const std::string table = FileName();
  const std::string own = WithoutExtension(cdx_path) + table.substr(WithoutExtension(table).size());
  if (!ReadWrite() || UpperCp1251(own) != UpperCp1251(table)) return;
  if ((header_.flags & dbf::kFlagStructuralIndex) != 0) return;
  header_.flags |= dbf::kFlagStructuralIndex;
  header_.image[dbf::kOffFlags] = header_.flags;
  // Only the flag byte: the record count on disk stays the one other
  // writers keep current.
  XBO_DiskFile::DiskWrite(&header_.image[dbf::kOffFlags], 1, dbf::kOffFlags);
}

XBobjIndexTag *XBO_dBHandler::FindTag(const std::string &tag_name) const {
  for (const auto &file : indexes_) {
    if (!file) continue;
    if (XBobjIndexTag *tag = file->FindTag(tag_name)) return tag;
  }
  return nullptr;
}

void XBO_dBHandler::SetTag(const std::string &tag_name) {
  if (current_tag_) current_tag_->ReleaseCursor();
  current_tag_ = nullptr;
  if (TrimBlanks(tag_name).empty()) return;
  XBobjIndexTag *tag = FindTag(tag_name);
  if (!tag) RaiseError(msg::kCannotFindTag, {tag_name});
  current_tag_ = tag;
}

bool XBO_dBHandler::CurrentRecordInTag() {
  if (!current_tag_) return true;
  if (current_record_ <= 0 || eof_) return false;
  ClipIndexLock lock(*this);
  current_tag_->File().ChangedByOthers();
  const std::string key = StoredRecordKey(*current_tag_, current_record_);
  return current_tag_->SyncTo(key, static_cast<uint32_t>(current_record_)) &&
         current_tag_->InRange(current_tag_->CurrentEntry()->key);
}

void XBO_dBHandler::Reindex() { ReindexAll(); }

void XBO_dBHandler::SetRange(const std::string &low, const std::string &high, int options) {
  if (!current_tag_) return;
  ClipIndexLock lock(*this);
  current_tag_->File().ChangedByOthers();
  const uint32_t first = current_tag_->SetRange(low, high, options);
  if (first == 0) {
    XBO_dBaseFld::GoToRecord(0);
    return;
  }
  XBO_dBaseFld::GoToRecord(first);
  if (!Visible()) GoToRecordInTag(kGoNext);
}

// --- searching ---------------------------------------------------------------

int64_t XBO_dBHandler::FindInTag(const std::string &tag_name, const std::string &key) {
  XBobjIndexTag *tag = FindTag(tag_name);
  if (!tag) RaiseError(msg::kCannotFindTag, {tag_name});
  ClipIndexLock lock(*this);
  tag->File().ChangedByOthers();
  const XBobjIndexKeyData *entry = tag->CurrentEntry();
  const bool had_position = entry != nullptr;
  const std::string saved_key = had_position ? entry->key : std::string();
  const uint32_t saved_record = had_position ? entry->record : 0;
  uint32_t found = tag->Search(key, true);
  if (!use_deleted_ && found != 0) {
    // A deleted row stays in the index until a pack, and a pack that could
    // not run leaves it there: it must not count as found.
    const std::string search = tag->SearchKey(key);
    while (found != 0 && RecordMarkedDeleted(found)) {
      found = tag->StepNext();
      if (found != 0 && (!KeyMatches(tag->CurrentEntry()->key, search, true) ||
                         !tag->InRange(tag->CurrentEntry()->key))) {
        found = 0;
      }
    }
  }
  if (had_position) {
    tag->SyncTo(saved_key, saved_record);
  } else {
    tag->ReleaseCursor();
  }
  return found;
}

bool XBO_dBHandler::Find(const std::string &key) {
  if (!current_tag_) return false;
  ClipIndexLock lock(*this);
  current_tag_->File().ChangedByOthers();
  const uint32_t record = current_tag_->Search(key, exact_);
  if (record != 0) {
    XBO_dBaseFld::GoToRecord(record);
    if (!Visible()) GoToRecordInTag(kGoNext);
    if (!eof_ && current_record_ > 0) {
      const std::string search = current_tag_->SearchKey(key);
      if (current_tag_->MatchesSearch(current_tag_->CurrentRecordKey(), search, exact_)) {
        return true;
      }
    }
  }
  // Not found (soft seek off): on the blank record behind the last, EOF.
  RefreshHeader();
  if (header_.record_count > 0) XBO_dBaseFld::GoToRecord(header_.record_count);
  XBO_dBaseFld::GoToRecord(0);
  return false;
}

XBobjIndexTag *XBO_dBHandler::LocateTag(const std::string &fields) const {
  const auto fits = [&](XBobjIndexTag *tag) {
    return tag && !tag->HasFor() && !tag->Unique() && !tag->HasRange() &&
           tag->KeyFieldList() == fields;
  };
  if (fits(current_tag_)) return current_tag_;
  for (const auto &file : indexes_) {
    if (!file) continue;
    for (const auto &tag : file->Tags()) {
      if (fits(tag.get())) return tag.get();
    }
  }
  return nullptr;
}

bool XBO_dBHandler::SeekMatching(XBobjIndexTag &tag, const std::string &key,
                                 const std::function<bool()> &matches) {
  tag.File().ChangedByOthers();
  uint32_t record = tag.SeekKey(key, true) ? tag.CurrentEntry()->record : 0;
  while (record != 0) {
    if (record > static_cast<uint32_t>(header_.record_count)) RefreshHeader();
    if (record <= static_cast<uint32_t>(header_.record_count)) {
      XBO_dBaseFld::GoToRecord(record);
      if (Visible() && matches()) return true;
    }
    record = tag.StepNext();
    if (record != 0 && CompareKeys(tag.CurrentEntry()->key, key) != 0) record = 0;
  }
  return false;
}

std::string XBO_dBHandler::StoredRecordKey(XBobjIndexTag &tag, int64_t record) {
  // The buffer may be an owner's fresh one, or hold changes not yet written.
  std::string stored(RecordLength() + 1, ' ');
  stored.back() = static_cast<char>(dbf::kEndOfFile);
  if (DiskRead(stored.data(), RecordLength(), RecordPosition(record)) < RecordLength()) {
    return tag.CurrentRecordKey();
  }
  XBO_RecordBufferScope scope(*this, stored.data());
  return tag.CurrentRecordKey();
}

bool XBO_dBHandler::RecordMarkedDeleted(int64_t record) {
  if (record > static_cast<int64_t>(header_.record_count)) RefreshHeader();
  if (record < 1 || record > static_cast<int64_t>(header_.record_count)) return false;
  char flag = ' ';
  if (DiskRead(&flag, 1, RecordPosition(record)) < 1) return false;
  return flag == dbf::kDeletedFlag;
}

// --- navigation in tag order -----------------------------------------------

bool XBO_dBHandler::StepInsideLeaf(XBobjIndexTag &tag, int64_t code) const {
  if (!read_buffer_on_ || (code != kGoNext && code != kGoPrior)) return false;
  if (current_record_ <= 0 || eof_ || tag.File().OthersWereWriting()) return false;
  const XBobjIndexKeyData *entry = tag.CurrentEntry();
  return entry && entry->record == static_cast<uint32_t>(current_record_) &&
         tag.StepStaysInLeaf(code == kGoNext);
}

void XBO_dBHandler::GoToRecordInTag(int64_t code) {
  XBobjIndexTag &tag = *current_tag_;
  const bool looked = !StepInsideLeaf(tag, code);
  if (looked) tag.File().ChangedByOthers();
  // The tag continues from the table's current record.
  if (code == kGoNext || code == kGoPrior || code == kGoCurrent) {
    const XBobjIndexKeyData *entry = tag.CurrentEntry();
    const bool on_record = entry && entry->record == static_cast<uint32_t>(current_record_);
    if (current_record_ <= 0 || eof_) {
      if (code != kGoPrior) {
        XBO_dBaseFld::GoToRecord(0);
        return;
      }
      code = kGoLast;
    } else if (!on_record) {
      std::string key = StoredRecordKey(tag, current_record_);
      if (!tag.SyncTo(key, static_cast<uint32_t>(current_record_))) {
        // No entry for this record (FOR condition false): go on from where
        // its key stands.
        key.resize(tag.KeyLength(), ' ');
        tag.SeekKey(key, false);
        if (code == kGoNext) code = kGoCurrent;
      }
    }
  }
  const int64_t step = ContinueCode(code);
  uint32_t record = tag.Navigate(static_cast<int>(code));
  while (record != 0) {
    if (record > static_cast<uint32_t>(header_.record_count)) RefreshHeader();
    if (record <= static_cast<uint32_t>(header_.record_count)) {
      XBO_dBaseFld::GoToRecord(record);
      if (Visible()) return;
    }
    // A step that skipped the look for changes goes no further than its
    // leaf without one: the step starts again from the hidden record, and
    // that start looks.
    if (!looked && !tag.StepStaysInLeaf(step == kGoNext)) {
      GoToRecordInTag(code);
      return;
    }
    record = tag.Navigate(static_cast<int>(step));
  }
  // Ran off an end of the tag.
  if (step == kGoPrior && code != kGoLast) {
    // Stay on the first visible record with BOF set.
    uint32_t first = tag.Navigate(kGoFirst);
    while (first != 0) {
      XBO_dBaseFld::GoToRecord(first);
      if (Visible()) {
        bof_ = true;
        return;
      }
      first = tag.Navigate(kGoNext);
    }
  }
  XBO_dBaseFld::GoToRecord(0);
  bof_ = bof_ || step == kGoPrior || code == kGoFirst;
}

// --- hooks ---------------------------------------------------------------------

XBO_dBHandler::ClipIndexLock::ClipIndexLock(XBO_dBHandler &table) {
  if (table.LockProtocol() == static_cast<int>(TxbLokProtocol::ClipLock)) locks_.emplace(table);
}

XBO_dBHandler::IndexLocks::IndexLocks(XBO_dBHandler &table) {
  table.LockIndexes();
  table_ = &table;
}

XBO_dBHandler::IndexLocks::~IndexLocks() {
  if (!table_) return;
  try {
    table_->UnlockIndexes();
  } catch (...) {
    // A release the system refuses ends with the descriptor at the latest;
    // an error leaving the scope is the one to report.
  }
}

void XBO_dBHandler::IndexLocks::Unlock() {
  XBO_dBHandler *table = table_;
  table_ = nullptr;
  if (table) table->UnlockIndexes();
}

void XBO_dBHandler::LockIndexes() {
  for (int i = 1; i <= kIndexSlots; ++i) {
    if (!indexes_[i] || !indexes_[i]->Disk().Shared()) continue;
    try {
      indexes_[i]->LockIndex();
    } catch (...) {
      for (int j = 1; j < i; ++j) {
        if (indexes_[j] && indexes_[j]->Disk().Shared()) indexes_[j]->UnlockIndex();
      }
      throw;
    }
  }
}

void XBO_dBHandler::UnlockIndexes() {
  for (auto &file : indexes_) {
    if (file && file->Disk().Shared() && file->Disk().LockCount() > 0) file->UnlockIndex();
  }
}

void XBO_dBHandler::NotifyIndexes(int code, int64_t value) {
  if (table_state_ == kStateIndexing) return;
  if (code == kStatusAfterWrite) {
    const bool appended = value == 0;
    const int64_t record = appended ? current_record_ : value;
    for (auto &file : indexes_) {
      if (file) file->UpdateKeys(record, appended);
    }
  } else if (code == kStatusAfterFlush) {
    for (auto &file : indexes_) {
      if (!file) continue;
      for (auto &tag : file->Tags()) tag->ReleaseCursor();
    }
  }
}

void XBO_dBHandler::DropAppendedRecords(int64_t first, int64_t last) {
  if (filter_.active) {
    for (int64_t r = first; r <= last; ++r) filter_.passing.Exclude(r);
  }
  if (std::none_of(indexes_.begin(), indexes_.end(), [](const auto &file) { return !!file; })) {
    return;
  }
  IndexLocks locks(*this);
  {
    // Each record's keys are made from its bytes in the file.
    std::string stored(RecordLength() + 1, ' ');
    stored.back() = static_cast<char>(dbf::kEndOfFile);
    XBO_RecordBufferScope scope(*this, stored.data());
    for (int64_t r = last; r >= first; --r) {
      if (DiskRead(stored.data(), RecordLength(), RecordPosition(r)) < RecordLength()) continue;
      for (auto &file : indexes_) {
        if (file) file->RemoveRecordKeys(r);
      }
    }
  }
  locks.Unlock();
}

void XBO_dBHandler::PassLockProtocolToIndexes(int protocol) {
  for (auto &file : indexes_) {
    if (file) file->SetIndexLockProtocol(protocol);
  }
}

void XBO_dBHandler::RenameIndexes(const std::string &old_table, const std::string &new_table) {
  // Index files named like the table follow it.
  const std::string old_base = UpperCp1251(WithoutExtension(old_table));
  for (auto &file : indexes_) {
    if (!file) continue;
    const std::string path = file->Path();
    if (UpperCp1251(WithoutExtension(path)) != old_base) continue;
    file->Disk().DiskRename(WithoutExtension(new_table) +
                            path.substr(WithoutExtension(path).size()));
  }
}

void XBO_dBHandler::ReindexAll() {
  for (auto &file : indexes_) {
    if (file) file->ReindexFile();
  }
}

void XBO_dBHandler::CloseIndexes() {
  current_tag_ = nullptr;
  for (auto &slot : indexes_) slot.reset();
}

}  // namespace xb
