// The NTX tag and file: header, keys, build, open and change detection.
#include "xbase/index/ntx_tag.h"

#include "xbase/file/byte_helpers.h"
#include "xbase/index/ntx_key.h"
#include "xbase/index/sort_ntx.h"
#include "xbase/table/dbase_fld.h"
#include "xbase/xbase_error.h"
#include "xbase/xbase_messages.h"

namespace xb {

std::string NtxTagNameOf(const std::string &path) {
  std::string base = IndexBaseName(path);
  const size_t dot = base.find_last_of('.');
  if (dot != std::string::npos && dot > 0) base.resize(dot);
  return base.substr(0, XBobjNTXTag::kMaxTagName);
}

XBobjNTXTag::XBobjNTXTag(XBobjIndexFile &file, std::string name)
    : XBobjIndexTag(file, std::move(name)), tree_(file, {}, file.Name()) {
  tree_.OnRootChanged([this](int64_t root) {
    header_.root = static_cast<uint32_t>(root);
    WriteTagHeader();
  });
}

std::string XBobjNTXTag::NormalizeKey(const ExpValue &value, bool trim) const {
  CheckKeyValue(value);
  switch (key_type_) {
    case IndexKeyType::kCharacter:
      if (value.type == ExpType::kBoolean) return value.logic ? "T" : "F";
      return NtxCharacterKey(value.text, trim, file_.General(), key_length_);
    case IndexKeyType::kNumeric:
      return NtxNumericKey(value.number, key_length_, key_decimals_);
    case IndexKeyType::kDate:
      return NtxDateKey(value.number);
  }
  return std::string();
}

void XBobjNTXTag::InsertKey(const std::string &key, uint32_t record) { tree_.Insert(key, record); }

void XBobjNTXTag::ApplyHeader() {
  key_length_ = header_.key_length;
  key_decimals_ = header_.key_decimals;
  unique_ = header_.unique;
  descending_ = header_.descending;
  tree_.SetLayout({header_.key_length, header_.max_entries, header_.descending});
  tree_.SetRoot(header_.root);
}

void XBobjNTXTag::ReadTagHeader() {
  const std::string bytes = file_.ReadPage(kHeaderPosition, kNtxPageSize);
  header_ = DecodeNtxHeader(bytes, file_.Name());
  ApplyHeader();
}

void XBobjNTXTag::ReadRoot() { ReadTagHeader(); }

void XBobjNTXTag::WriteTagHeader() {
  header_.update_counter = file_.UpdateCounter();
  header_.root = static_cast<uint32_t>(tree_.root());
  file_.WritePage(kHeaderPosition, EncodeNtxHeader(header_));
}

void XBobjNTXTag::Define(const std::string &key_expression, const std::string &for_expression,
                         bool unique, bool descending) {
  CompileKeyExpr(key_expression);
  CompileForExpr(for_expression);
  LearnKeyLayout(EvaluateKey());
  if (key_length_ > TxbSort::kMaxKeyLength) {
    RaiseError(kSortKeyLength,
               {std::to_string(TxbSort::kMaxKeyLength + 1), std::to_string(key_length_ + 1)});
  }
  header_ = NtxHeader();
  header_.key_length = key_length_;
  header_.key_decimals = key_decimals_;
  header_.max_entries = NtxMaxEntries(key_length_);
  header_.key_expression = key_expression;
  header_.for_expression = for_expression;
  header_.unique = unique;
  header_.descending = descending;
  unique_ = unique;
  descending_ = descending;
  tree_.SetLayout({key_length_, header_.max_entries, descending});
}

void XBobjNTXTag::Build() {
  XBO_dBaseFld &table = file_.Table();
  const int64_t saved = table.RecordNumber();
  XBobjSortNTX sort(key_length_, descending_);
  sort.Reserve(static_cast<size_t>(table.RecordCount()));
  CollectKeys([&sort](const std::string &key, uint32_t record) { sort.Add(key, record); });
  file_.WritePage(kHeaderPosition, std::string(kNtxPageSize, '\0'));
  const int64_t root = sort.WriteTree(
      file_, header_.max_entries, unique_,
      [&table](int code, int value, int total) { table.DiskProgress(code, value, total); });
  tree_.SetRoot(root);
  WriteTagHeader();
  if (saved > 0 && saved <= table.RecordCount()) table.GoToRecord(saved);
}

void XBobjNTXFile::Create(XBO_dBaseFld &table, const std::string &path,
                          const std::string &key_expression, const std::string &for_expression,
                          bool unique, bool descending, bool general) {
  XBobjNTXFile file(table, path);
  file.SetGeneral(general);
  auto tag = std::make_unique<XBobjNTXTag>(file, NtxTagNameOf(path));
  tag->Define(key_expression, for_expression, unique, descending);
  file.tags_.push_back(std::move(tag));
  file.Rebuild(false, [&file] {
    file.update_counter_ = 1;
    file.Tag().Build();
  });
  file.disk_.DiskClose();
}

void XBobjNTXFile::Open() {
  disk_.DiskOpen(table_.Shared(), table_.ReadWrite());
  tags_.clear();
  tags_.push_back(std::make_unique<XBobjNTXTag>(*this, NtxTagNameOf(disk_.FileName())));
  ReloadTags();
}

void XBobjNTXFile::ReloadTags() {
  XBobjNTXTag &tag = Tag();
  tag.DropPages();
  tag.ReadTagHeader();
  update_counter_ = tag.Header().update_counter;
  tag.CompileKeyExpr(tag.Header().key_expression);
  tag.CompileForExpr(tag.Header().for_expression);
  tag.InitTag();
}

void XBobjNTXFile::MarkReplaced(XBO_DiskFile &old) {
  uint8_t head[kNtxOffUpdateCounter + 2];
  if (old.DiskRead(head, sizeof head, 0) < static_cast<int64_t>(sizeof head)) return;
  uint8_t *counter = head + kNtxOffUpdateCounter;
  PutLE16(counter, NextCounter(GetLE16(counter)));
  old.DiskWrite(counter, 2, kNtxOffUpdateCounter);
}

void XBobjNTXFile::ReindexFile() {
  if (!disk_.ReadWrite()) RaiseError(msg::kRequiresFullAccess, {"Reindex", Path()});
  Rebuild(false, [this] {
    update_counter_ = NextCounter(update_counter_);
    Tag().DropPages();
    Tag().Build();
  });
}

uint32_t XBobjNTXFile::StoredCounter() {
  const std::string bytes = ReadPage(XBobjNTXTag::kHeaderPosition, kNtxOffUpdateCounter + 2);
  if (bytes.size() < kNtxOffUpdateCounter + 2) RaiseError(msg::kIndexCorrupted, {name_});
  return GetLE16(bytes.data() + kNtxOffUpdateCounter);
}

void XBobjNTXFile::ReloadHeaders(uint32_t counter) {
  update_counter_ = static_cast<uint16_t>(counter);
  for (auto &tag : tags_) tag->ReadTagHeader();
}

}  // namespace xb
