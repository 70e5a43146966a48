// The dataset framework's state machine, navigation, editing and events; see
// dataset.h.
#include "xbase/dataset/dataset.h"

#include <algorithm>

#include "xbase/dataset_messages.h"
#include "xbase/file/text_case.h"
#include "xbase/xbase_error.h"

namespace xb {
namespace {

bool IsWriteState(TDataSetState s) {
  switch (s) {
    case TDataSetState::dsEdit:
    case TDataSetState::dsInsert:
    case TDataSetState::dsSetKey:
    case TDataSetState::dsCalcFields:
    case TDataSetState::dsFilter:
    case TDataSetState::dsNewValue:
      return true;
    default:
      return false;
  }
}

bool IsEditState(TDataSetState s) {
  return s == TDataSetState::dsEdit || s == TDataSetState::dsInsert;
}

std::string UpperText(const std::string &s) { return UpperCp1251(s); }

bool SameName(const std::string &a, const std::string &b) {
  auto strip = [](const std::string &s) {
    return UpperText(s.substr(0, s.find_last_not_of(' ') + 1));
  };
  return strip(a) == strip(b);
}

}  // namespace

// Switches the dataset into a passing state (calculating fields, filtering)
// with its own buffer, without telling the views.
class TempState {
 public:
  TempState(TDataSetState &state, TRecordBuffer *&override, TDataSetState temp,
            TRecordBuffer *buffer)
      : state_(state), override_(override), savedState_(state), savedOverride_(override) {
    state_ = temp;
    override_ = buffer;
  }
  ~TempState() {
    state_ = savedState_;
    override_ = savedOverride_;
  }

 private:
  TDataSetState &state_;
  TRecordBuffer *&override_;
  TDataSetState savedState_;
  TRecordBuffer *savedOverride_;
};

TDataSet::TDataSet() = default;

TDataSet::~TDataSet() {
  for (TDataSource *source : std::vector<TDataSource *>(sources_)) source->SetDataSet(nullptr);
}

// ---- Opening and closing ------------------------------------------------------

void TDataSet::Open() {
  if (Active()) return;
  Fire(BeforeOpen);
  InternalOpen();
  try {
    CreateFields();
    InternalAfterFieldsCreated();
    state_ = TDataSetState::dsBrowse;
    modified_ = false;
    ResetBuffer(active_);
    InternalFirst();
    if (GetRecord(active_, TGetMode::gmNext, true) == TGetResult::grOK) {
      hasRecord_ = true;
      bof_ = true;
      eof_ = false;
    } else {
      ClearBuffers();
    }
    cursorValid_ = hasRecord_;
  } catch (...) {
    state_ = TDataSetState::dsInactive;
    fieldDefs_.clear();
    CreateFields();
    InternalClose();
    throw;
  }
  DataEvent(TDataEvent::deUpdateState);
  DataEvent(TDataEvent::deDataSetChange);
  Fire(AfterOpen);
  if (hasRecord_) Fire(AfterScroll);
}

void TDataSet::Close() {
  if (!Active()) return;
  Fire(BeforeClose);
  if (IsEditState(state_)) InternalCancel();  // a pending edit is dropped, its lock released
  state_ = TDataSetState::dsInactive;
  DataEvent(TDataEvent::deUpdateState);
  // The fields go; views that were not told (disabled) must take the new
  // ones when they are enabled again.
  if (disableCount_ > 0) fieldsChangedWhileDisabled_ = true;
  InternalClose();
  fieldDefs_.clear();
  CreateFields();
  ClearBuffers();
  savedValid_ = false;
  modified_ = false;
  Fire(AfterClose);
}

void TDataSet::CheckActive() const {
  if (!Active()) throw EDatabaseError(dsmsg::kClosed);
}

void TDataSet::CheckEditing() const {
  if (!IsWriteState(state_)) throw EDatabaseError(dsmsg::kNotEditing);
}

// ---- Fields ---------------------------------------------------------------------

void TDataSet::CreateFields() {
  dataFields_.clear();
  fields_.clear();
  for (const TFieldDef &def : fieldDefs_) {
    dataFields_.push_back(std::make_unique<TField>(*this, def, TFieldKind::fkData, FieldCount()));
    fields_.push_back(dataFields_.back().get());
    InitField(*fields_.back());
  }
  for (auto &field : calcFields_) {
    field->index_ = FieldCount();
    fields_.push_back(field.get());
  }
}

TField *TDataSet::FindField(const std::string &name) const {
  for (TField *field : fields_)
    if (SameName(field->FieldName(), name)) return field;
  return nullptr;
}

TField &TDataSet::FieldByName(const std::string &name) const {
  TField *field = FindField(name);
  if (!field) throw EDatabaseError(FormatMessage(dsmsg::kFieldNotFound, {name}));
  return *field;
}

TField &TDataSet::AddCalculatedField(const TFieldDef &def) {
  if (Active()) throw EDatabaseError(dsmsg::kOpen);
  calcFields_.push_back(
      std::make_unique<TField>(*this, def, TFieldKind::fkCalculated, FieldCount()));
  TField &field = *calcFields_.back();
  field.calcIndex_ = static_cast<int>(calcFields_.size()) - 1;
  fields_.push_back(&field);
  return field;
}

std::vector<TField *> TDataSet::FieldList(const std::string &names) const {
  std::vector<TField *> out;
  std::size_t start = 0;
  while (start <= names.size()) {
    std::size_t end = names.find(';', start);
    if (end == std::string::npos) end = names.size();
    std::string name = names.substr(start, end - start);
    const auto b = name.find_first_not_of(' ');
    name = b == std::string::npos ? "" : name.substr(b);
    if (!name.empty()) out.push_back(&FieldByName(name));
    start = end + 1;
  }
  return out;
}

TRecordBuffer *TDataSet::StateBuffer() {
  if (stateBufferOverride_) return stateBufferOverride_;
  if (!Active()) return nullptr;
  if (!hasRecord_) return nullptr;
  return &active_;
}

TFieldData TDataSet::ReadField(const TField &field) {
  TRecordBuffer *buffer = StateBuffer();
  if (!buffer) return std::nullopt;
  if (field.FieldKind() == TFieldKind::fkCalculated) {
    if (field.CalcIndex() < 0 || field.CalcIndex() >= static_cast<int>(buffer->calc.size()))
      return std::nullopt;
    return buffer->calc[field.CalcIndex()];
  }
  TFieldData value = GetFieldData(field, *buffer);
  if (value && field.DataType() == TFieldType::ftString)
    value = Translate(std::get<std::string>(*value), false);
  return value;
}

void TDataSet::CheckFieldWritable(const TField &field) {
  if (!IsWriteState(state_)) throw EDatabaseError(dsmsg::kNotEditing);
  if (field.ReadOnly && state_ != TDataSetState::dsSetKey && state_ != TDataSetState::dsFilter &&
      field.FieldKind() == TFieldKind::fkData)
    throw EDatabaseError(FormatMessage(dsmsg::kFieldReadOnly, {field.FieldName()}));
}

void TDataSet::WriteField(TField &field, const TFieldData &value) {
  CheckFieldWritable(field);
  if (field.OnValidate) field.OnValidate(field);
  TRecordBuffer *buffer = StateBuffer();
  if (!buffer) throw EDatabaseError(dsmsg::kNotEditing);
  if (field.FieldKind() == TFieldKind::fkCalculated) {
    if (field.CalcIndex() >= static_cast<int>(buffer->calc.size()))
      buffer->calc.resize(field.CalcIndex() + 1);
    buffer->calc[field.CalcIndex()] = value;
  } else if (value && field.DataType() == TFieldType::ftString) {
    SetFieldData(field, *buffer, Translate(std::get<std::string>(*value), true));
  } else {
    SetFieldData(field, *buffer, value);
  }
  switch (state_) {
    case TDataSetState::dsSetKey:
    case TDataSetState::dsCalcFields:
    case TDataSetState::dsFilter:
    case TDataSetState::dsNewValue:
      return;
    default:
      break;
  }
  modified_ = true;
  if (field.FieldKind() == TFieldKind::fkData) GetCalcFields(active_);
  DataEvent(TDataEvent::deFieldChange, reinterpret_cast<std::intptr_t>(&field));
  if (field.OnChange) field.OnChange(field);
}

void TDataSet::MarkModified() {
  modified_ = true;
  DataEvent(TDataEvent::deRecordChange);
}

void TDataSet::GetCalcFields(TRecordBuffer &buffer) {
  if (calcFields_.empty()) return;
  buffer.calc.assign(calcFields_.size(), std::nullopt);
  if (!OnCalcFields || !AutoCalcFields) return;
  TempState scope(state_, stateBufferOverride_, TDataSetState::dsCalcFields, &buffer);
  OnCalcFields(*this);
}

bool TDataSet::FilterAccepts(TRecordBuffer &buffer) {
  if (!filtered_ || !OnFilterRecord) return true;
  TempState scope(state_, stateBufferOverride_, TDataSetState::dsFilter, &buffer);
  bool accept = true;
  OnFilterRecord(*this, accept);
  return accept;
}

// ---- Buffers and positions ---------------------------------------------------------

void TDataSet::ResetBuffer(TRecordBuffer &buffer) const {
  buffer.data.assign(RecordDataSize(), '\0');
  buffer.calc.assign(calcFields_.size(), std::nullopt);
  buffer.flag = TBookmarkFlag::bfCurrent;
}

void TDataSet::ClearBuffers() {
  hasRecord_ = false;
  bof_ = true;
  eof_ = true;
  if (Active()) ResetBuffer(active_);
}

void TDataSet::UpdateCursorPos() {
  if (cursorValid_) return;
  if (hasRecord_ && active_.flag == TBookmarkFlag::bfCurrent) InternalSetToRecord(active_);
  cursorValid_ = true;
}

void TDataSet::Resync() {
  TRecordBuffer buffer;
  ResetBuffer(buffer);
  const bool hadRecord = hasRecord_ && active_.flag == TBookmarkFlag::bfCurrent;
  bool ok = GetRecord(buffer, TGetMode::gmCurrent, false) == TGetResult::grOK;
  if (!ok) {
    // The record is gone (deleted, filtered out): take the next one, else the
    // prior one, which is then the last.
    if (hadRecord) InternalSetToRecord(active_);
    ResetBuffer(buffer);
    ok = GetRecord(buffer, TGetMode::gmNext, false) == TGetResult::grOK;
    if (!ok) {
      if (hadRecord) InternalSetToRecord(active_);
      ResetBuffer(buffer);
      ok = GetRecord(buffer, TGetMode::gmPrior, false) == TGetResult::grOK;
      if (ok) eof_ = true;
    }
  }
  if (ok) {
    active_ = std::move(buffer);
    if (!hasRecord_) bof_ = eof_ = false;
    hasRecord_ = true;
    cursorValid_ = true;
  } else {
    ClearBuffers();
    cursorValid_ = true;
  }
  DataEvent(TDataEvent::deDataSetChange);
}

// ---- Navigation -----------------------------------------------------------------

void TDataSet::First() {
  CheckBrowseMode();
  Fire(BeforeScroll);
  TRecordBuffer buffer;
  ResetBuffer(buffer);
  InternalFirst();
  if (GetRecord(buffer, TGetMode::gmNext, true) == TGetResult::grOK) {
    active_ = std::move(buffer);
    hasRecord_ = true;
    bof_ = true;
    eof_ = false;
  } else {
    ClearBuffers();
  }
  cursorValid_ = true;
  DataEvent(TDataEvent::deDataSetChange);
  Fire(AfterScroll);
}

void TDataSet::Last() {
  CheckBrowseMode();
  Fire(BeforeScroll);
  TRecordBuffer buffer;
  ResetBuffer(buffer);
  InternalLast();
  if (GetRecord(buffer, TGetMode::gmPrior, true) == TGetResult::grOK) {
    active_ = std::move(buffer);
    hasRecord_ = true;
    bof_ = false;
    eof_ = true;
  } else {
    ClearBuffers();
  }
  cursorValid_ = true;
  DataEvent(TDataEvent::deDataSetChange);
  Fire(AfterScroll);
}

int TDataSet::MoveBy(int distance) {
  CheckBrowseMode();
  if (distance == 0 || (distance > 0 && eof_) || (distance < 0 && bof_)) return 0;
  Fire(BeforeScroll);
  bof_ = eof_ = false;
  UpdateCursorPos();
  const int step = distance > 0 ? 1 : -1;
  int moved = 0;
  TRecordBuffer buffer;
  while (moved != distance) {
    ResetBuffer(buffer);
    if (GetRecord(buffer, step > 0 ? TGetMode::gmNext : TGetMode::gmPrior, true) !=
        TGetResult::grOK) {
      (step > 0 ? eof_ : bof_) = true;
      cursorValid_ = false;
      break;
    }
    std::swap(active_, buffer);
    moved += step;
  }
  if (bof_ || eof_)
    DataEvent(TDataEvent::deDataSetChange);
  else
    DataEvent(TDataEvent::deDataSetScroll, moved);
  Fire(AfterScroll);
  return moved;
}

int TDataSet::RecNo() const {
  CheckActive();
  if (!hasRecord_ || state_ == TDataSetState::dsInsert)
    return state_ == TDataSetState::dsInsert ? -1 : 0;
  return GetRecNo();
}

void TDataSet::SetRecNo(int value) {
  CheckBrowseMode();
  Fire(BeforeScroll);
  InternalSetRecNo(value);
  Resync();
  bof_ = eof_ = false;
  Fire(AfterScroll);
}

int TDataSet::RecordCount() const {
  CheckActive();
  return GetRecordCount();
}

TBookmark TDataSet::GetBookmark() const {
  if (!Active() || !hasRecord_ || active_.flag != TBookmarkFlag::bfCurrent) return {};
  return GetBookmarkData(active_);
}

void TDataSet::GotoBookmark(const TBookmark &bookmark) {
  CheckBrowseMode();
  Fire(BeforeScroll);
  InternalGotoBookmark(bookmark);
  cursorValid_ = true;
  Resync();
  bof_ = eof_ = false;
  Fire(AfterScroll);
}

void TDataSet::Refresh() {
  CheckBrowseMode();
  UpdateCursorPos();
  Fire(BeforeRefresh);
  InternalRefresh();
  Resync();
  Fire(AfterRefresh);
}

// ---- Editing ------------------------------------------------------------------------

void TDataSet::Edit() {
  if (IsEditState(state_)) return;
  CheckActive();
  if (!hasRecord_) {
    Insert();
    return;
  }
  CheckBrowseMode();
  if (!CanModify()) throw EDatabaseError(dsmsg::kReadOnly);
  Fire(BeforeEdit);
  UpdateCursorPos();
  InternalEdit();
  GetCalcFields(active_);
  SetState(TDataSetState::dsEdit);
  modified_ = false;
  DataEvent(TDataEvent::deRecordChange);
  Fire(AfterEdit);
}

void TDataSet::Insert() { BeginInsert(false); }

void TDataSet::Append() { BeginInsert(true); }

void TDataSet::BeginInsert(bool append) {
  CheckActive();
  CheckBrowseMode();
  if (!CanModify()) throw EDatabaseError(dsmsg::kReadOnly);
  Fire(BeforeInsert);
  Fire(BeforeScroll);
  UpdateCursorPos();
  saved_ = active_;
  savedValid_ = hasRecord_;
  if (append) {
    InternalLast();  // the new record goes after the last one
    cursorValid_ = false;
  }
  InternalInsert();
  ResetBuffer(active_);
  InternalInitRecord(active_);
  active_.flag = append ? TBookmarkFlag::bfEOF : TBookmarkFlag::bfInserted;
  GetCalcFields(active_);
  hasRecord_ = true;
  bof_ = eof_ = false;
  SetState(TDataSetState::dsInsert);
  Fire(OnNewRecord);
  modified_ = false;
  DataEvent(TDataEvent::deDataSetChange);
  Fire(AfterInsert);
  Fire(AfterScroll);
}

void TDataSet::UpdateRecord() {
  if (!IsWriteState(state_)) throw EDatabaseError(dsmsg::kNotEditing);
  DataEvent(TDataEvent::deUpdateRecord);
}

void TDataSet::Post() {
  UpdateRecord();
  if (state_ == TDataSetState::dsSetKey) {
    InternalPost();
    active_ = saved_;
    SetState(TDataSetState::dsBrowse);
    DataEvent(TDataEvent::deDataSetChange);
    return;
  }
  if (!IsEditState(state_)) throw EDatabaseError(dsmsg::kNotEditing);
  DataEvent(TDataEvent::deCheckBrowseMode);
  Fire(BeforePost);
  InternalPost();
  // The adapter has stamped the active buffer with the record it wrote.
  active_.flag = TBookmarkFlag::bfCurrent;
  savedValid_ = false;
  modified_ = false;
  SetState(TDataSetState::dsBrowse);
  cursorValid_ = false;
  UpdateCursorPos();
  Resync();
  Fire(AfterPost);
}

void TDataSet::Cancel() {
  if (state_ == TDataSetState::dsSetKey) {
    active_ = saved_;
    SetState(TDataSetState::dsBrowse);
    DataEvent(TDataEvent::deDataSetChange);
    return;
  }
  if (!IsEditState(state_)) return;
  DataEvent(TDataEvent::deCheckBrowseMode);
  Fire(BeforeCancel);
  const bool inserting = state_ == TDataSetState::dsInsert;
  InternalCancel();
  modified_ = false;
  SetState(TDataSetState::dsBrowse);
  if (inserting) {
    active_ = saved_;
    hasRecord_ = savedValid_;
    savedValid_ = false;
  }
  cursorValid_ = false;
  if (hasRecord_) {
    UpdateCursorPos();
    Resync();
  } else {
    ClearBuffers();
    DataEvent(TDataEvent::deDataSetChange);
  }
  Fire(AfterCancel);
}

void TDataSet::Delete() {
  CheckActive();
  if (state_ == TDataSetState::dsInsert || state_ == TDataSetState::dsSetKey) {
    Cancel();
    return;
  }
  if (!hasRecord_) throw EDatabaseError(dsmsg::kEmpty);
  if (!CanModify()) throw EDatabaseError(dsmsg::kReadOnly);
  DataEvent(TDataEvent::deCheckBrowseMode);
  Fire(BeforeDelete);
  Fire(BeforeScroll);
  if (state_ == TDataSetState::dsEdit) InternalCancel();
  UpdateCursorPos();
  InternalDelete();
  modified_ = false;
  SetState(TDataSetState::dsBrowse);
  Resync();
  Fire(AfterDelete);
  Fire(AfterScroll);
}

void TDataSet::CheckBrowseMode() {
  CheckActive();
  DataEvent(TDataEvent::deCheckBrowseMode);
  switch (state_) {
    case TDataSetState::dsEdit:
    case TDataSetState::dsInsert:
      UpdateRecord();
      if (modified_)
        Post();
      else
        Cancel();
      break;
    case TDataSetState::dsSetKey:
      Post();
      break;
    default:
      break;
  }
}

void TDataSet::SetKey() {
  CheckBrowseMode();
  saved_ = active_;
  ResetBuffer(active_);
  InternalInitRecord(active_);
  SetState(TDataSetState::dsSetKey);
  DataEvent(TDataEvent::deDataSetChange);
}

// ---- Search -------------------------------------------------------------------------

bool TDataSet::LocateRecord(const std::string &keyFields, const std::vector<std::string> &values,
                            TLocateOptions options) {
  const std::vector<TField *> fields = FieldList(keyFields);
  if (fields.empty() || fields.size() != values.size()) return false;
  const bool caseless = options & static_cast<unsigned>(TLocateOption::loCaseInsensitive);
  const bool partial = options & static_cast<unsigned>(TLocateOption::loPartialKey);
  TRecordBuffer buffer;
  InternalFirst();
  for (;;) {
    ResetBuffer(buffer);
    if (GetRecord(buffer, TGetMode::gmNext, false) != TGetResult::grOK) return false;
    bool match = true;
    for (std::size_t i = 0; i < fields.size() && match; ++i) {
      std::string have = fields[i]->TextOf(ViewValue(*fields[i], buffer));
      std::string want = values[i];
      if (caseless) {
        have = UpperText(have);
        want = UpperText(want);
      }
      match = partial ? have.compare(0, want.size(), want) == 0 : have == want;
    }
    if (match) return true;
  }
}

bool TDataSet::Locate(const std::string &keyFields, const std::vector<std::string> &values,
                      TLocateOptions options) {
  CheckBrowseMode();
  cursorValid_ = false;
  if (!LocateRecord(keyFields, values, options)) {
    UpdateCursorPos();
    return false;
  }
  Fire(BeforeScroll);
  TRecordBuffer buffer;
  ResetBuffer(buffer);
  if (GetRecord(buffer, TGetMode::gmCurrent, false) == TGetResult::grOK) {
    active_ = std::move(buffer);
    hasRecord_ = true;
    bof_ = eof_ = false;
  }
  cursorValid_ = true;
  DataEvent(TDataEvent::deDataSetChange);
  Fire(AfterScroll);
  return true;
}

std::optional<std::vector<TFieldData>> TDataSet::Lookup(const std::string &keyFields,
                                                        const std::vector<std::string> &values,
                                                        const std::string &resultFields) {
  CheckBrowseMode();
  const std::vector<TField *> results = FieldList(resultFields);
  cursorValid_ = false;
  std::optional<std::vector<TFieldData>> out;
  if (LocateRecord(keyFields, values, 0)) {
    TRecordBuffer buffer;
    ResetBuffer(buffer);
    if (GetRecord(buffer, TGetMode::gmCurrent, false) == TGetResult::grOK) {
      out.emplace();
      for (TField *field : results) out->push_back(ViewValue(*field, buffer));
    }
  }
  UpdateCursorPos();
  return out;
}

// ---- Filter --------------------------------------------------------------------------

void TDataSet::SetFilter(const std::string &text) {
  if (text == filterText_) return;
  filterText_ = text;
  if (Active() && filtered_) {
    CheckBrowseMode();
    FilterChanged();
    First();
  }
}

void TDataSet::SetFiltered(bool filtered) {
  if (filtered == filtered_) return;
  if (Active()) CheckBrowseMode();
  filtered_ = filtered;
  if (Active()) {
    FilterChanged();
    First();
  }
}

void TDataSet::SetFilterOptions(TFilterOptions options) {
  if (options == filterOptions_) return;
  if (Active()) CheckBrowseMode();
  filterOptions_ = options;
  if (Active() && filtered_) {
    FilterChanged();
    First();
  }
}

// ---- Views ------------------------------------------------------------------------------

void TDataSet::DisableControls() { ++disableCount_; }

void TDataSet::EnableControls() {
  if (disableCount_ == 0 || --disableCount_ > 0) return;
  if (stateChangedWhileDisabled_) {
    stateChangedWhileDisabled_ = false;
    DataEvent(TDataEvent::deUpdateState);
  }
  if (fieldsChangedWhileDisabled_) {
    fieldsChangedWhileDisabled_ = false;
    if (Active()) DataEvent(TDataEvent::deLayoutChange);
  }
  if (Active()) DataEvent(TDataEvent::deDataSetChange);
}

bool TDataSet::ReadViewRecordAt(int recNo, TRecordBuffer &out) {
  CheckActive();
  ResetBuffer(out);
  cursorValid_ = false;
  InternalSetRecNo(recNo);
  return GetRecord(out, TGetMode::gmCurrent, false) == TGetResult::grOK;
}

bool TDataSet::ReadViewFirst(TRecordBuffer &out) {
  CheckActive();
  ResetBuffer(out);
  cursorValid_ = false;
  InternalFirst();
  return GetRecord(out, TGetMode::gmNext, false) == TGetResult::grOK;
}

bool TDataSet::ReadViewLast(TRecordBuffer &out) {
  CheckActive();
  ResetBuffer(out);
  cursorValid_ = false;
  InternalLast();
  return GetRecord(out, TGetMode::gmPrior, false) == TGetResult::grOK;
}

bool TDataSet::ReadViewStep(const TRecordBuffer &from, TGetMode mode, TRecordBuffer &out) {
  CheckActive();
  ResetBuffer(out);
  cursorValid_ = false;
  InternalSetToRecord(from);
  return GetRecord(out, mode, false) == TGetResult::grOK;
}

bool TDataSet::ReadViewBookmark(const TBookmark &bookmark, TRecordBuffer &out) {
  CheckActive();
  ResetBuffer(out);
  cursorValid_ = false;
  InternalGotoBookmark(bookmark);
  return GetRecord(out, TGetMode::gmCurrent, false) == TGetResult::grOK;
}

TFieldData TDataSet::ViewValue(const TField &field, const TRecordBuffer &buffer) {
  // The fields read `buffer` until the read ends, also when it fails.
  struct Override {
    TRecordBuffer *&slot;
    TRecordBuffer *saved;
    ~Override() { slot = saved; }
  } restore{stateBufferOverride_, stateBufferOverride_};
  stateBufferOverride_ = const_cast<TRecordBuffer *>(&buffer);
  return ReadField(field);
}

// ---- Events --------------------------------------------------------------------------------

void TDataSet::SetState(TDataSetState state) {
  if (state == state_) return;
  state_ = state;
  DataEvent(TDataEvent::deUpdateState);
}

void TDataSet::DataEvent(TDataEvent event, std::intptr_t info) {
  if (disableCount_ > 0) {
    if (event == TDataEvent::deUpdateState) stateChangedWhileDisabled_ = true;
    return;
  }
  for (TDataSource *source : std::vector<TDataSource *>(sources_))
    if (std::find(sources_.begin(), sources_.end(), source) != sources_.end())
      source->Notify(event, info);
}

void TDataSet::AddDataSource(TDataSource *source) { sources_.push_back(source); }

void TDataSet::RemoveDataSource(TDataSource *source) { std::erase(sources_, source); }

}  // namespace xb
