// The CDX tag and file: keys, headers, the directory, open, upkeep and change
// detection.
#include "xbase/index/cdx_tag.h"

#include <algorithm>

#include "xbase/file/byte_helpers.h"
#include "xbase/file/text_case.h"
#include "xbase/index/cdx_build.h"
#include "xbase/index/cdx_key.h"
#include "xbase/table/dbase_fld.h"
#include "xbase/xbase_error.h"
#include "xbase/xbase_messages.h"

namespace xb {

namespace {

// Files of at most this many bytes hold no directory yet.
constexpr int64_t kNewFileSize = 512;

}  // namespace

// --- tag -------------------------------------------------------------------

XBobjCDXTag::XBobjCDXTag(XBobjCDXFile &file, std::string name, int64_t header_position)
    : XBobjIndexTag(file, std::move(name)),
      header_position_(header_position),
      tree_(file, file.Name(), [this, &file]() -> uint64_t {
        if (header_.directory) return static_cast<uint64_t>(file.EndOfFilePos());
        return static_cast<uint64_t>(std::max<int64_t>(file.Table().RecordCount(), 0));
      }) {
  tree_.OnRootChanged([this](int64_t root) {
    header_.root = static_cast<uint32_t>(root);
    WriteTagHeader();
  });
}

std::string XBobjCDXTag::NormalizeKey(const ExpValue &value, bool trim) const {
  CheckKeyValue(value);
  switch (key_type_) {
    case IndexKeyType::kCharacter:
      if (value.type == ExpType::kBoolean) return value.logic ? "T" : "F";
      return General() ? CdxGeneralKey(value.text, trim, key_length_)
                       : CdxMachineKey(value.text, trim, key_length_);
    case IndexKeyType::kNumeric:
      return CdxNumberKey(value.number);
    case IndexKeyType::kDate:
      return CdxDateKey(
          value.number > 0 && value.number < 2147483647.0 ? static_cast<int32_t>(value.number) : 0);
  }
  return std::string();
}

bool XBobjCDXTag::MatchesSearch(const std::string &stored, const std::string &search,
                                bool exact) const {
  if (!General()) return KeyMatches(stored, search, exact);
  return KeyMatches(std::string_view(stored).substr(0, header_.key_length / 2), search, exact);
}

void XBobjCDXTag::InitTag() {
  XBobjIndexTag::InitTag();
  ApplyLayout();
}

void XBobjCDXTag::ApplyHeader(const CdxTagHeader &header) {
  header_ = header;
  key_length_ = header.key_length;
  key_decimals_ = 0;
  unique_ = header.unique;
  descending_ = header.descending;
  ApplyLayout();
  tree_.SetRoot(header.root);
}

void XBobjCDXTag::ApplyLayout() {
  CdxTree::Layout layout;
  layout.form.key_length = header_.key_length;
  layout.form.pad = key_type_ == IndexKeyType::kCharacter ? ' ' : '\0';
  layout.form.general = General();
  layout.descending = header_.descending;
  layout.match_length = General() ? static_cast<uint16_t>(header_.key_length / 2) : 0;
  tree_.SetLayout(layout);
}

void XBobjCDXTag::ReadTagHeader() {
  const std::string bytes = file_.ReadPage(header_position_, kCdxTagHeaderSize);
  ApplyHeader(DecodeCdxTagHeader(bytes, static_cast<uint64_t>(file_.EndOfFilePos()), file_.Name()));
}

void XBobjCDXTag::ReadRoot() { ReadTagHeader(); }

void XBobjCDXTag::WriteTagHeader() {
  header_.root = static_cast<uint32_t>(tree_.root());
  header_.update_counter = static_cast<XBobjCDXFile &>(file_).Counter();
  file_.WritePage(header_position_, EncodeCdxTagHeader(header_));
}

// --- file ------------------------------------------------------------------

XBobjCDXFile::XBobjCDXFile(XBO_dBaseFld &table, const std::string &path)
    : XBobjIndexFile(table, path), directory_(std::make_unique<XBobjCDXTag>(*this, "", 0)) {}

XBobjCDXFile::~XBobjCDXFile() = default;

int64_t XBobjCDXFile::AllocPage(size_t size) {
  if (next_free_ < 0) {
    next_free_ = (disk_.DiskSize() + kCdxNodeSize - 1) / kCdxNodeSize * kCdxNodeSize;
  }
  return XBobjIndexFile::AllocPage(size);
}

void XBobjCDXFile::MakeDirectory() {
  next_free_ = kCdxTagHeaderSize;
  counter_ = 0;
  const int64_t root = AllocPage(kCdxNodeSize);
  directory_->ApplyHeader(NewCdxDirectoryHeader(static_cast<uint32_t>(root)));
  if (!disk_.ReadWrite()) return;
  if (disk_.HasFullAccess()) {
    disk_.DiskTruncate(0);
    ForgetFileEnd();
  }
  directory_->WriteTagHeader();
  directory_->Tree().WriteEmptyRoot(root);
}

void XBobjCDXFile::Open(bool for_writing) {
  disk_.DiskOpen(table_.Shared(), table_.ReadWrite() || for_writing);
  Load();
}

void XBobjCDXFile::Load() {
  tags_.clear();
  if (disk_.DiskSize() <= kNewFileSize) {
    MakeDirectory();
    return;
  }
  for (const auto &[name, position] : ReadDirectory()) LoadTag(name, position);
}

std::vector<std::pair<std::string, int64_t>> XBobjCDXFile::ReadDirectory() {
  directory_->DropPages();
  directory_->ReadTagHeader();
  if (!directory_->Header().directory) RaiseError(msg::kIndexCorrupted, {name_});
  counter_ = directory_->Header().update_counter;
  // A directory can list no more tags than the file has headers.
  const int64_t size = disk_.DiskSize();
  const int64_t most = size / kCdxTagHeaderSize;
  std::vector<std::pair<std::string, int64_t>> entries;
  for (uint32_t r = directory_->StepFirst(); r != 0; r = directory_->StepNext()) {
    if (static_cast<int64_t>(entries.size()) >= most || r % kCdxNodeSize != 0 ||
        r + int64_t{kCdxTagHeaderSize} > size) {
      RaiseError(msg::kIndexCorrupted, {name_});
    }
    entries.emplace_back(UpperCp1251(directory_->CurrentEntry()->key), r);
  }
  directory_->DropPages();
  return entries;
}

void XBobjCDXFile::ReadTag(XBobjCDXTag &tag) {
  tag.DropPages();
  tag.ReadTagHeader();
  if (tag.Header().directory) RaiseError(msg::kIndexCorrupted, {name_});
  tag.CompileKeyExpr(tag.Header().key_expression);
  tag.CompileForExpr(tag.Header().for_expression);
  tag.InitTag();
}

XBobjCDXTag &XBobjCDXFile::LoadTag(const std::string &name, int64_t header_position) {
  auto tag = std::make_unique<XBobjCDXTag>(*this, UpperCp1251(name), header_position);
  ReadTag(*tag);
  XBobjCDXTag &added = *tag;
  const auto same = std::find_if(tags_.begin(), tags_.end(), [&](const auto &t) {
    return UpperCp1251(t->Name()) == added.Name();
  });
  if (same != tags_.end()) {
    *same = std::move(tag);
  } else {
    tags_.push_back(std::move(tag));
  }
  return added;
}

void XBobjCDXFile::ReloadTags() {
  std::vector<std::pair<std::string, int64_t>> entries;
  if (disk_.DiskSize() > kNewFileSize) entries = ReadDirectory();
  // The tag objects stay, moved to where the new file keeps them; tags the
  // new file added join them.
  for (auto &base : tags_) {
    auto &tag = static_cast<XBobjCDXTag &>(*base);
    const auto entry = std::find_if(entries.begin(), entries.end(),
                                    [&](const auto &e) { return e.first == tag.Name(); });
    if (entry == entries.end()) RaiseError(msg::kCannotFindTag, {tag.Name()});
    tag.SetHeaderPosition(entry->second);
    ReadTag(tag);
    entries.erase(entry);
  }
  for (const auto &[name, position] : entries) LoadTag(name, position);
}

void XBobjCDXFile::MarkReplaced(XBO_DiskFile &old) {
  uint8_t head[kCdxOffUpdateCounter + 4];
  if (old.DiskRead(head, sizeof head, 0) < static_cast<int64_t>(sizeof head)) return;
  uint8_t *counter = head + kCdxOffUpdateCounter;
  PutBE32(counter, GetBE32(counter) + 1);
  old.DiskWrite(counter, 4, kCdxOffUpdateCounter);
}

XBobjCDXTag &XBobjCDXFile::AddTagAt(const std::string &name, int64_t header_position) {
  const std::string key = UpperCp1251(name).substr(0, kCdxDirectoryKeyLength);
  // Another tag of that name leaves the directory first.
  for (uint32_t r = directory_->StepFirst(); r != 0; r = directory_->StepNext()) {
    if (CompareKeys(directory_->CurrentEntry()->key, key) == 0) {
      directory_->RemoveKey(key, r);
      break;
    }
  }
  directory_->InsertKey(key, static_cast<uint32_t>(header_position));
  directory_->DropPages();
  XBobjCDXTag &tag = LoadTag(key, header_position);
  CountUpdate();
  return tag;
}

void XBobjCDXFile::CountUpdate() {
  ++counter_;
  directory_->WriteTagHeader();
}

void XBobjCDXFile::UpdateKeys(int64_t record, bool appended) {
  ChangedByOthers();
  const bool changed = table_.RecordChanged();
  for (auto &tag : tags_) {
    if (changed || tag->HasFor()) tag->UpdateRecord(static_cast<uint32_t>(record), appended);
  }
  CountUpdate();
}

void XBobjCDXFile::RemoveRecordKeys(int64_t record) {
  ChangedByOthers();
  for (auto &tag : tags_) tag->RemoveRecord(static_cast<uint32_t>(record));
  CountUpdate();
}

void XBobjCDXFile::ReindexFile() {
  // Every tag gets a new tree, sorted and written bottom-up at the end of
  // the file; the old nodes stay unused.
  if (!disk_.ReadWrite()) RaiseError(msg::kRequiresFullAccess, {"Reindex", Path()});
  ChangedByOthers();
  Rebuild(true, [this] {
    XBO_dBaseFld &table = table_;
    table.RefreshHeader();
    const int64_t count = table.RecordCount();
    const int64_t saved = table.RecordNumber();
    std::vector<std::unique_ptr<XBobjSortCDX>> sorts;
    for (auto &base : tags_) {
      auto &tag = static_cast<XBobjCDXTag &>(*base);
      sorts.push_back(std::make_unique<XBobjSortCDX>(tag.Tree().layout().form, tag.Descending()));
    }
    {
      XBO_TableStateScope indexing(table, kStateIndexing);
      for (int64_t r = 1; r <= count; ++r) {
        table.GoToRecord(r);
        for (size_t i = 0; i < tags_.size(); ++i) {
          if (tags_[i]->EvaluateFor()) {
            sorts[i]->AddKey(tags_[i]->CurrentRecordKey(), static_cast<uint32_t>(r));
          }
        }
      }
    }
    for (size_t i = 0; i < tags_.size(); ++i) {
      auto &tag = static_cast<XBobjCDXTag &>(*tags_[i]);
      tag.Tree().SetRoot(sorts[i]->WriteTree(*this, static_cast<uint64_t>(count), tag.Unique()));
      tag.WriteTagHeader();
    }
    CountUpdate();
    if (saved > 0 && saved <= table.RecordCount()) table.GoToRecord(saved);
  });
}

uint32_t XBobjCDXFile::StoredCounter() {
  const std::string bytes = ReadPage(kCdxOffUpdateCounter, 4);
  if (bytes.size() < 4) RaiseError(msg::kIndexCorrupted, {name_});
  return GetBE32(bytes.data());
}

void XBobjCDXFile::ReloadHeaders(uint32_t counter) {
  counter_ = counter;
  directory_->DropPages();
  directory_->ReadTagHeader();
  for (auto &tag : tags_) tag->ReadTagHeader();
}

}  // namespace xb
