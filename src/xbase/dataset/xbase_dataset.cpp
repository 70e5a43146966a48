// The DBF dataset adapter; see xbase_dataset.h.
#include "xbase/dataset/xbase_dataset.h"
#include "xbase/file/fs_path.h"

#include <cmath>
#include <cstring>
#include <filesystem>

#include "xbase/dataset_messages.h"
#include "xbase/file/byte_helpers.h"
#include "xbase/file/oem_codepage.h"
#include "xbase/file/text_case.h"
#include "xbase/index/index_file.h"
#include "xbase/xbase_error.h"
#include "xbase/xbase_messages.h"

namespace xb {
namespace {

// Julian day number of 1 January of year 1, so that day numbers of the
// framework (day 1 = that date) and of the engine meet.
constexpr int64_t kJulianOfDayOne = 1721426;
constexpr double kMsPerDay = 86400000.0;

constexpr std::size_t kInfoSize = 9;

bool HasDirectory(const std::string &name) {
  return name.find('/') != std::string::npos || name.find('\\') != std::string::npos;
}

}  // namespace

std::vector<std::string> SplitIndexList(const std::string &list) {
  std::vector<std::string> names;
  std::string current;
  bool quoted = false;
  bool skipping = true;  // at the start and after a separator
  auto finish = [&] {
    const std::string name(TrimBlanks(current));
    if (!name.empty()) names.push_back(name);
    current.clear();
  };
  for (char c : list) {
    if (c == '"') {
      quoted = !quoted;
      skipping = false;
      continue;
    }
    if (!quoted && (c == ',' || c == ';')) {
      if (!skipping) finish();
      skipping = true;
      continue;
    }
    if (skipping && c == ' ') continue;
    skipping = false;
    current += c;
  }
  finish();
  return names;
}

TXbaseDataSet::TXbaseDataSet() = default;

TXbaseDataSet::~TXbaseDataSet() { Close(); }

DBFObject &TXbaseDataSet::Tab() const {
  if (!table_) throw EDatabaseError(dsmsg::kClosed);
  return *table_;
}

// ---- Properties -----------------------------------------------------------------

void TXbaseDataSet::SetDatabaseName(const std::string &name) {
  if (Active()) throw EDatabaseError(dsmsg::kOpen);
  databaseName_ = NormalizeDatabaseName(name);
}

void TXbaseDataSet::SetTableName(const std::string &name) {
  if (Active()) throw EDatabaseError(dsmsg::kOpen);
  if (name != tableName_) indexFiles_.clear();
  tableName_ = name;
}

void TXbaseDataSet::SetEncryptionKey(const std::string &key) {
  if (Active()) throw EDatabaseError(dsmsg::kOpen);
  encryptionKey_ = key;
}

std::string TXbaseDataSet::TablePath() const {
  std::string name = tableName_;
  if (!FsPath(name).has_extension()) name += ".DBF";
  return name[0] == '/' || FsPath(name).is_absolute() ? name : Directory() + name;
}

bool TXbaseDataSet::CanModify() const { return !ReadOnly && (!table_ || table_->ReadWrite()); }

bool TXbaseDataSet::IsSequenced() const {
  return Active() && table_ && table_->CurrentTag() == nullptr && !table_->Filter().active &&
         !Filtered();
}

std::vector<std::string> TXbaseDataSet::ResolveIndexFiles(
    const std::vector<std::string> &files) const {
  std::vector<std::string> resolved;
  for (const std::string &file : files) {
    std::string name = file;
    if (!FsPath(name).has_extension()) name += ".ndx";
    if (!HasDirectory(name)) name = Directory() + name;
    for (const std::string &earlier : resolved)
      if (UpperCp1251(earlier) == UpperCp1251(name))
        throw EDatabaseError(FormatMessage(dsmsg::kIndexAlreadyOpen, {name}));
    if (!std::filesystem::exists(FsPath(name)))
      throw EDatabaseError(FormatMessage(dsmsg::kCannotFindFile, {name}));
    resolved.push_back(name);
  }
  return resolved;
}

void TXbaseDataSet::SetIndexFiles(const std::vector<std::string> &files) {
  if (!Active()) {
    indexFiles_ = files;
    return;
  }
  CheckBrowseMode();
  OpenIndexes(files, indexName_);
}

void TXbaseDataSet::SetIndexName(const std::string &tag) {
  if (!Active()) {
    indexName_ = tag;
    return;
  }
  CheckBrowseMode();
  SelectTag(tag);
}

void TXbaseDataSet::IndexOpen(const std::string &fileList, const std::string &tagName) {
  CheckActive();
  CheckBrowseMode();
  OpenIndexes(SplitIndexList(fileList), tagName);
}

void TXbaseDataSet::OpenIndexes(const std::vector<std::string> &files, const std::string &tag) {
  const std::vector<std::string> resolved = ResolveIndexFiles(files);
  DBFObject &t = Tab();
  t.IndexOpen(resolved, "");
  indexFiles_ = files;
  indexName_.clear();
  SelectTag(tag);
}

void TXbaseDataSet::SelectTag(const std::string &tag) {
  DBFObject &t = Tab();
  const std::string former = t.CurrentTag() ? t.CurrentTag()->Name() : std::string();
  try {
    t.SetTag(tag);
  } catch (...) {
    t.SetTag(former);
    throw;
  }
  indexName_ = tag;
  // Stay on the record when the new order has it, else start at the top.
  bool keep = !Bof() && !Eof() && !IsEmpty();
  if (keep) {
    t.GoToRecord(RecordOf(ActiveBuffer()));
    keep = t.CurrentRecordInTag();
  }
  if (keep) {
    beforeFirst_ = afterLast_ = false;
    Resync();
  } else {
    First();
  }
}

std::vector<XBobjIndexTag *> TXbaseDataSet::OpenTags() const {
  std::vector<XBobjIndexTag *> tags;
  if (!table_) return tags;
  for (const auto &file : table_->IndexSlots()) {
    if (!file) continue;
    for (const auto &tag : file->Tags()) tags.push_back(tag.get());
  }
  return tags;
}

std::vector<TXbaseIndexDef> TXbaseDataSet::IndexDefs() const {
  std::vector<TXbaseIndexDef> defs;
  for (XBobjIndexTag *tag : OpenTags()) {
    defs.push_back({tag->Name(), tag->KeyExpression(), tag->KeyFieldList(), tag->ForExpression(),
                    tag->Unique(), tag->Descending()});
  }
  return defs;
}

int TXbaseDataSet::TagCount() const { return static_cast<int>(OpenTags().size()); }

std::string TXbaseDataSet::TagName(int ordinal) const {
  const std::vector<XBobjIndexTag *> tags = OpenTags();
  return ordinal >= 0 && ordinal < static_cast<int>(tags.size()) ? tags[ordinal]->Name()
                                                                 : std::string();
}

std::string TXbaseDataSet::TagExpression(int ordinal) const {
  const std::vector<XBobjIndexTag *> tags = OpenTags();
  return ordinal >= 0 && ordinal < static_cast<int>(tags.size()) ? tags[ordinal]->KeyExpression()
                                                                 : std::string();
}

void TXbaseDataSet::SetRange(const std::string &low, const std::string &high, int options) {
  CheckDirect();
  CheckBrowseMode();
  DBFObject &t = Tab();
  if (!t.CurrentTag()) return;
  t.SetRange(Translate(low, true), Translate(high, true), options);
  First();
}

void TXbaseDataSet::CheckFieldWritable(const TField &field) {
  TDataSet::CheckFieldWritable(field);
  if (State() != TDataSetState::dsSetKey || field.FieldKind() != TFieldKind::fkData) return;
  const XBobjIndexTag *tag = table_ ? table_->CurrentTag() : nullptr;
  const std::string fields = tag ? ";" + tag->KeyFieldList() : std::string();
  if (fields.find(";" + UpperCp1251(TrimBlanks(field.FieldName())) + ";") == std::string::npos)
    throw EDatabaseError(FormatMessage(dsmsg::kFieldNotIndexed, {field.FieldName()}));
}

std::string TXbaseDataSet::Translate(const std::string &text, bool toOem) const {
  if (!TranslateASCII) return text;
  // The text ends at its first zero byte, as the system conversion reads it.
  const std::string source = text.substr(0, text.find('\0'));
  return toOem ? AnsiToOem(source) : OemToAnsi(source);
}

// ---- Opening and closing ------------------------------------------------------------

void TXbaseDataSet::InternalOpen() {
  if (TrimBlanks(tableName_).empty()) throw EDatabaseError(dsmsg::kTableNameMissing);
  const std::string path = TablePath();
  if (!std::filesystem::exists(FsPath(path)))
    throw EDatabaseError(FormatMessage(dsmsg::kCannotFindFile, {path}));
  auto table = std::make_unique<DBFObject>(path, !Exclusive, !ReadOnly, encryptionKey_);
  table->SetAutoFlush(AutoFlush);
  table->SetUseDeleted(UseDeleted);
  table->SetLockProtocol(static_cast<int>(LockProtocol));
  table->SetUserNumber(UserID);
  table->OnStatus = [this](int64_t a, int64_t b, int64_t c) {
    if (OnStatus) OnStatus(a, b, c);
  };
  table->OnRecordVisible = [this] {
    if (!Filtered() || !OnFilterRecord) return true;
    // The framework's filter event reads the candidate in the table's buffer.
    TRecordBuffer candidate;
    candidate.data.assign(RecordDataSize(), '\0');
    std::memcpy(candidate.data.data(), table_->RecordBuffer(), table_->RecordLength() + 1);
    Stamp(candidate, static_cast<int32_t>(table_->RecordNumber()), TBookmarkFlag::bfCurrent);
    return FilterAccepts(candidate);
  };
  table_ = std::move(table);
  try {
    SetFieldDefs(MakeFieldDefs());
    if (Filtered() && !Filter().empty()) FilterChanged();
    table_->IndexOpen(ResolveIndexFiles(indexFiles_), indexName_);
    beforeFirst_ = true;
    afterLast_ = false;
  } catch (...) {
    table_.reset();
    throw;
  }
}

void TXbaseDataSet::InternalClose() {
  table_.reset();
  beforeFirst_ = afterLast_ = false;
}

std::vector<TFieldDef> TXbaseDataSet::MakeFieldDefs() const {
  std::vector<TFieldDef> defs;
  for (const dbf::FieldDef &f : table_->Fields()) {
    TFieldDef def;
    def.name = f.name;
    def.fieldNo = f.number;
    switch (f.type) {
      case 'C':
        def.type = TFieldType::ftString;
        def.size = static_cast<int>(f.width);
        break;
      case 'D':
        def.type = TFieldType::ftDate;
        break;
      case 'N':
      case 'F':
        if (f.decimals > 0) {
          def.type = TFieldType::ftFloat;
          def.precision = f.decimals;
        } else if (f.width < 5) {
          def.type = TFieldType::ftSmallint;
        } else if (f.width < 10) {
          def.type = TFieldType::ftInteger;
        } else {
          def.type = LargeIntegerAs == TxbIntFields::asLargeInt ? TFieldType::ftLargeint
                     : LargeIntegerAs == TxbIntFields::asFloat  ? TFieldType::ftFloat
                                                                : TFieldType::ftInteger;
        }
        break;
      case 'I':
        def.type = TFieldType::ftInteger;
        break;
      case 'L':
        def.type = TFieldType::ftBoolean;
        break;
      case 'M':
        def.type = TFieldType::ftMemo;
        break;
      case 'B':
      case 'G':
        def.type = TFieldType::ftBlob;
        break;
      case 'T':
        def.type = TFieldType::ftDateTime;
        break;
      case 'Y':
        def.type = TFieldType::ftCurrency;
        break;
      default:
        continue;  // no field
    }
    defs.push_back(def);
  }
  return defs;
}

// ---- Buffers and positions --------------------------------------------------------------

std::size_t TXbaseDataSet::RecordDataSize() const {
  return table_ ? table_->RecordLength() + 1 + kInfoSize : kInfoSize;
}

int32_t TXbaseDataSet::RecordOf(const TRecordBuffer &buffer) const {
  if (!table_ || buffer.data.size() < RecordDataSize()) return 0;
  int32_t record;
  std::memcpy(&record, buffer.data.data() + table_->RecordLength() + 1, 4);
  return record;
}

void TXbaseDataSet::Stamp(TRecordBuffer &buffer, int32_t record, TBookmarkFlag flag) const {
  const std::size_t at = table_->RecordLength() + 1;
  std::memcpy(buffer.data.data() + at, &record, 4);
  buffer.data[at + 4] = static_cast<char>(flag);
  std::memcpy(buffer.data.data() + at + 5, &record, 4);
  buffer.flag = flag;
}

TGetResult TXbaseDataSet::GetRecord(TRecordBuffer &buffer, TGetMode mode, bool doCheck) {
  DBFObject &t = Tab();
  {
    XBO_RecordBufferScope scope(t, buffer.data.data());
    switch (mode) {
      case TGetMode::gmCurrent:
        if (beforeFirst_) return TGetResult::grBOF;
        if (afterLast_) return TGetResult::grEOF;
        t.GoToRecord(kGoCurrent);
        break;
      case TGetMode::gmNext:
        if (afterLast_) return TGetResult::grEOF;
        if (beforeFirst_) {
          t.GoToRecord(kGoFirst);
          beforeFirst_ = false;
        } else {
          t.GoToRecord(kGoNext);
        }
        break;
      case TGetMode::gmPrior:
        if (beforeFirst_) return TGetResult::grBOF;
        if (afterLast_) {
          t.GoToRecord(kGoLast);
          afterLast_ = false;
        } else {
          t.GoToRecord(kGoPrior);
        }
        break;
    }
  }
  TGetResult result = TGetResult::grOK;
  if (t.Eof())
    result = TGetResult::grEOF;
  else if (t.Bof() && mode == TGetMode::gmPrior)
    result = TGetResult::grBOF;
  else if (t.RecordNumber() <= 0)
    result = TGetResult::grError;
  if (result == TGetResult::grOK) {
    Stamp(buffer, static_cast<int32_t>(t.RecordNumber()), TBookmarkFlag::bfCurrent);
    GetCalcFields(buffer);
  } else if (result == TGetResult::grError && doCheck) {
    throw EDatabaseError(dsmsg::kBeyondRange);
  }
  return result;
}

void TXbaseDataSet::InternalFirst() {
  beforeFirst_ = true;
  afterLast_ = false;
}

void TXbaseDataSet::InternalLast() {
  beforeFirst_ = false;
  afterLast_ = true;
}

TBookmark TXbaseDataSet::GetBookmarkData(const TRecordBuffer &buffer) const {
  if (!table_) return {};
  return buffer.data.substr(table_->RecordLength() + 1 + 5, 4);
}

void TXbaseDataSet::InternalGotoBookmark(const TBookmark &bookmark) {
  DBFObject &t = Tab();
  int32_t record = 0;
  if (bookmark.size() == 4) std::memcpy(&record, bookmark.data(), 4);
  if (record <= 0 || record > t.RecordCount())
    throw EDatabaseError(dsmsg::kBookmarkInvalid + tableName_);
  beforeFirst_ = afterLast_ = false;
  t.GoToRecord(record);
}

int TXbaseDataSet::GetRecNo() const { return RecordOf(ActiveRecord()); }

void TXbaseDataSet::InternalSetRecNo(int value) {
  beforeFirst_ = afterLast_ = false;
  Tab().GoToRecord(value);
}

int TXbaseDataSet::GetRecordCount() const {
  return static_cast<int>(Tab().RecordCount(ExactCount));
}

// ---- Editing ---------------------------------------------------------------------------

void TXbaseDataSet::InternalInitRecord(TRecordBuffer &buffer) {
  XBO_RecordBufferScope scope(Tab(), buffer.data.data());
  table_->BlankRecord();
  Stamp(buffer, 0, TBookmarkFlag::bfInserted);
}

void TXbaseDataSet::InternalEdit() {
  DBFObject &t = Tab();
  TRecordBuffer &active = ActiveBuffer();
  const int32_t record = RecordOf(active);
  XBO_RecordBufferScope scope(t, active.data.data());
  t.GoToRecord(record);  // the record as it is now on disk
  if (!t.LockRecord()) throw EDatabaseError(dsmsg::kRecordLocked);
}

void TXbaseDataSet::InternalCancel() {
  if (State() == TDataSetState::dsEdit && table_) table_->UnlockRecord();
}

void TXbaseDataSet::InternalPost() {
  DBFObject &t = Tab();
  TRecordBuffer &active = ActiveBuffer();
  if (State() == TDataSetState::dsSetKey) return;
  XBO_RecordBufferScope scope(t, active.data.data());
  if (State() == TDataSetState::dsEdit) {
    t.WriteRecord(RecordOf(active));
    t.UnlockRecord();
  } else {
    t.AppendRecord();
    Stamp(active, static_cast<int32_t>(t.RecordNumber()), TBookmarkFlag::bfCurrent);
  }
  beforeFirst_ = afterLast_ = false;
}

void TXbaseDataSet::InternalDelete() {
  DBFObject &t = Tab();
  const int32_t record = RecordOf(ActiveBuffer());
  {
    XBO_UseDeletedScope show_deleted(t, true);  // the record stays reachable while it is marked
    t.GoToRecord(record);
    t.DeleteRecord();
  }
  if (!t.IsDeleted()) throw EDatabaseError(dsmsg::kCannotDelete);
  beforeFirst_ = afterLast_ = false;
}

void TXbaseDataSet::Undelete() {
  CheckActive();
  CheckBrowseMode();
  if (IsEmpty()) throw EDatabaseError(dsmsg::kCannotRecall);
  DBFObject &t = Tab();
  t.GoToRecord(RecordOf(ActiveBuffer()));
  t.UndeleteRecord();
  if (t.IsDeleted()) throw EDatabaseError(dsmsg::kCannotRecall);
  Resync();
}

void TXbaseDataSet::InternalRefresh() {
  if (Filtered() && !Filter().empty()) FilterChanged();  // the set of passing records again
}

void TXbaseDataSet::FilterChanged() {
  // The OnFilterRecord event is consulted through the table's visibility
  // test on every move; the filter text becomes the table's filter set.
  const TFilterOptions options = FilterOptions();
  Tab().SetFilter(Filtered() ? Translate(Filter(), true) : std::string(),
                  options & static_cast<unsigned>(TFilterOption::foCaseInsensitive),
                  !(options & static_cast<unsigned>(TFilterOption::foNoPartialCompare)));
}

bool TXbaseDataSet::LocateRecord(const std::string &keyFields,
                                 const std::vector<std::string> &values, TLocateOptions options) {
  std::vector<std::string> keys;
  for (const std::string &v : values) keys.push_back(Translate(v, true));
  beforeFirst_ = afterLast_ = false;
  return Tab().LocateRecord(keyFields, keys, 0,
                            options & static_cast<unsigned>(TLocateOption::loPartialKey),
                            options & static_cast<unsigned>(TLocateOption::loCaseInsensitive));
}

// ---- Field data ------------------------------------------------------------------------

TFieldData TXbaseDataSet::GetFieldData(const TField &field, const TRecordBuffer &buffer) {
  DBFObject &t = Tab();
  XBO_RecordBufferScope scope(t, const_cast<char *>(buffer.data.data()));
  const int n = field.FieldNo();
  switch (field.DataType()) {
    case TFieldType::ftString: {
      std::string text = t.StringGet(n);
      if (text.empty()) return std::nullopt;
      return text;
    }
    case TFieldType::ftSmallint:
    case TFieldType::ftInteger:
    case TFieldType::ftLargeint:
      return static_cast<std::int64_t>(std::llround(static_cast<double>(t.NumberGet(n))));
    case TFieldType::ftFloat:
    case TFieldType::ftCurrency:
      return static_cast<double>(t.NumberGet(n));
    case TFieldType::ftBoolean:
      return t.LogicGet(n);
    case TFieldType::ftDate: {
      const std::string raw = t.FieldGet(n);
      if (raw.size() != 8 || raw == "00000000") return std::nullopt;
      if (auto date = ParseYmd(raw)) return *date;
      return std::nullopt;
    }
    case TFieldType::ftDateTime: {
      const std::string raw = t.FieldGet(n);
      if (raw.size() < 8) return std::nullopt;
      const int32_t julian = static_cast<int32_t>(GetLE32(raw.data()));
      const int32_t ms = static_cast<int32_t>(GetLE32(raw.data() + 4));
      if (julian == 0 && ms == 0) return std::nullopt;
      return TDateTimeValue{static_cast<double>(julian - kJulianOfDayOne + 1) * kMsPerDay + ms};
    }
    case TFieldType::ftMemo:
    case TFieldType::ftBlob: {
      const std::string block(TrimBlanks(t.FieldGet(n)));
      if (block.empty() || block == "0") return std::nullopt;
      return t.StringGet(n);
    }
    default:
      return std::nullopt;
  }
}

void TXbaseDataSet::SetFieldData(const TField &field, TRecordBuffer &buffer,
                                 const TFieldData &value) {
  DBFObject &t = Tab();
  XBO_RecordBufferScope scope(t, buffer.data.data());
  const int n = field.FieldNo();
  switch (field.DataType()) {
    case TFieldType::ftString:
    case TFieldType::ftMemo:
      t.StringPut(n, value ? std::get<std::string>(*value) : std::string());
      break;
    case TFieldType::ftSmallint:
    case TFieldType::ftInteger:
    case TFieldType::ftLargeint:
    case TFieldType::ftFloat:
    case TFieldType::ftCurrency:
    case TFieldType::ftDateTime: {
      if (!value) {
        t.FieldPut(n, std::string());
        break;
      }
      long double number = 0;
      if (auto i = std::get_if<std::int64_t>(&*value))
        number = static_cast<long double>(*i);
      else if (auto d = std::get_if<double>(&*value))
        number = *d;
      else if (auto ts = std::get_if<TDateTimeValue>(&*value))
        number = ts->ms;
      t.NumberPut(n, number);
      break;
    }
    case TFieldType::ftBoolean:
      t.LogicPut(n, value && std::holds_alternative<bool>(*value) && std::get<bool>(*value));
      break;
    case TFieldType::ftDate: {
      std::string text(8, ' ');
      if (value) {
        if (auto d = std::get_if<TDateValue>(&*value); d && IsValidDate(*d)) {
          char buf[16];
          std::snprintf(buf, sizeof buf, "%04d%02d%02d", d->year, d->month, d->day);
          text = buf;
        }
      }
      t.FieldPut(n, text);
      break;
    }
    default:
      break;
  }
}

// ---- Direct operations -----------------------------------------------------------------

void TXbaseDataSet::CheckDirect() const {
  if (!Active() || !table_) throw EDatabaseError(dsmsg::kClosed);
  if (table_->TableState() == kStateIndexing) throw EDatabaseError(dsmsg::kBusyIndexing);
}

char *TXbaseDataSet::DirectBuffer() {
  TRecordBuffer *buffer = StateBuffer();
  return buffer ? buffer->data.data() : nullptr;
}

std::string TXbaseDataSet::StringGet(const std::string &fieldName) {
  CheckDirect();
  XBO_RecordBufferScope scope(*table_, DirectBuffer());
  return table_->StringGet(fieldName);
}

void TXbaseDataSet::StringPut(const std::string &fieldName, const std::string &text) {
  CheckDirect();
  const TDataSetState s = State();
  if (s != TDataSetState::dsEdit && s != TDataSetState::dsInsert && s != TDataSetState::dsSetKey)
    throw EDatabaseError(dsmsg::kNotEditing);
  {
    XBO_RecordBufferScope scope(*table_, DirectBuffer());
    table_->StringPut(fieldName, text);
  }
  MarkModified();
}

std::string TXbaseDataSet::FieldGet(const std::string &fieldName) {
  CheckDirect();
  XBO_RecordBufferScope scope(*table_, DirectBuffer());
  return table_->FieldGet(fieldName);
}

void TXbaseDataSet::FieldPut(const std::string &fieldName, const std::string &text) {
  CheckDirect();
  {
    XBO_RecordBufferScope scope(*table_, DirectBuffer());
    table_->FieldPut(fieldName, text);
  }
  const TDataSetState s = State();
  if (s == TDataSetState::dsEdit || s == TDataSetState::dsInsert) MarkModified();
}

}  // namespace xb
