// The dataset framework: a cursor over records that views and windows bind to,
// with states (browse, edit, insert...), one active record buffer, bookmarks,
// navigation, editing with post and cancel, filtering by event, search by
// field values, before/after events and data links (dataset_link.h).
//
// An adapter (the DBF adapter, or a test's in-memory table) derives from
// TDataSet and implements the protected Internal* and record hooks; the
// framework keeps the order of events and the state rules.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "xbase/dataset/dataset_field.h"
#include "xbase/dataset/dataset_link.h"
#include "xbase/dataset/dataset_types.h"

namespace xb {

class TDataSet {
 public:
  using TDataSetNotifyEvent = std::function<void(TDataSet &)>;
  using TFilterRecordEvent = std::function<void(TDataSet &, bool &accept)>;

  TDataSet();
  // A derived class must call Close() in its own destructor: closing calls
  // its hooks.
  virtual ~TDataSet();
  TDataSet(const TDataSet &) = delete;
  TDataSet &operator=(const TDataSet &) = delete;

  // ---- Opening and closing -------------------------------------------------
  void Open();
  void Close();
  bool Active() const { return state_ != TDataSetState::dsInactive; }
  void SetActive(bool active) { active ? Open() : Close(); }
  TDataSetState State() const { return state_; }

  // ---- Fields ----------------------------------------------------------------
  // Definitions of the data fields, made by the adapter on open.
  const std::vector<TFieldDef> &FieldDefs() const { return fieldDefs_; }
  int FieldCount() const { return static_cast<int>(fields_.size()); }
  TField &Field(int index) const { return *fields_.at(index); }
  // Case-insensitive; nullptr / "Field '%s' not found".
  TField *FindField(const std::string &name) const;
  TField &FieldByName(const std::string &name) const;
  // Adds a calculated field (values set in OnCalcFields); only while closed.
  TField &AddCalculatedField(const TFieldDef &def);
  bool AutoCalcFields = true;

  // ---- Navigation --------------------------------------------------------------
  void First();
  void Last();
  void Next() { MoveBy(1); }
  void Prior() { MoveBy(-1); }
  // Moves up to |distance| visible records; returns the signed number moved.
  int MoveBy(int distance);
  bool Bof() const { return bof_; }
  bool Eof() const { return eof_; }
  bool IsEmpty() const { return !hasRecord_; }
  // Position of the active record as the adapter counts it (the DBF adapter:
  // the record number); setting it goes there.
  int RecNo() const;
  void SetRecNo(int value);
  int RecordCount() const;
  TBookmark GetBookmark() const;
  void GotoBookmark(const TBookmark &bookmark);
  // Re-reads the active record (and the filter set, where the adapter keeps
  // one).
  void Refresh();

  // ---- Editing --------------------------------------------------------------
  void Edit();
  void Insert();
  void Append();
  void Post();
  void Cancel();
  void Delete();
  // Ends a pending edit: posts when something changed, else cancels.
  void CheckBrowseMode();
  // Lets views write their pending values into the record.
  void UpdateRecord();
  // Enters the set-key state (a key record to search by); Post or Cancel
  // returns to browse.
  void SetKey();
  bool Modified() const { return modified_; }
  bool ReadOnly = false;
  virtual bool CanModify() const { return !ReadOnly; }

  // ---- Search -----------------------------------------------------------------
  // keyFields: field names separated by ';', one value per field, as text.
  // On success the dataset moves to the record found (scroll events), else it
  // stays where it was.
  bool Locate(const std::string &keyFields, const std::vector<std::string> &values,
              TLocateOptions options = 0);
  // Finds a record like Locate and returns the values of resultFields (names
  // separated by ';'), without moving; std::nullopt when nothing matched.
  std::optional<std::vector<TFieldData>> Lookup(const std::string &keyFields,
                                                const std::vector<std::string> &values,
                                                const std::string &resultFields);

  // ---- Filter ------------------------------------------------------------------
  const std::string &Filter() const { return filterText_; }
  void SetFilter(const std::string &text);
  bool Filtered() const { return filtered_; }
  void SetFiltered(bool filtered);
  TFilterOptions FilterOptions() const { return filterOptions_; }
  void SetFilterOptions(TFilterOptions options);
  // Consulted for every record while Filtered is set.
  TFilterRecordEvent OnFilterRecord;

  // ---- Views ------------------------------------------------------------------
  void DisableControls();
  void EnableControls();
  bool ControlsDisabled() const { return disableCount_ > 0; }

  // Sequenced: RecNo runs 1..RecordCount without gaps, so a view can map row
  // r to RecNo r + 1 and read it directly with ReadViewRecordAt.
  virtual bool IsSequenced() const { return false; }
  // Reads records for a view without moving the active record. Each returns
  // false at the end of the data.
  bool ReadViewRecordAt(int recNo, TRecordBuffer &out);
  bool ReadViewFirst(TRecordBuffer &out);
  bool ReadViewLast(TRecordBuffer &out);
  bool ReadViewStep(const TRecordBuffer &from, TGetMode mode, TRecordBuffer &out);
  bool ReadViewBookmark(const TBookmark &bookmark, TRecordBuffer &out);
  TBookmark BookmarkOf(const TRecordBuffer &buffer) const { return GetBookmarkData(buffer); }
  // A field's value in a buffer read for a view (translated like Value()).
  TFieldData ViewValue(const TField &field, const TRecordBuffer &buffer);
  const TRecordBuffer &ActiveRecord() const { return active_; }

  // ---- Events -------------------------------------------------------------------
  TDataSetNotifyEvent BeforeOpen, AfterOpen, BeforeClose, AfterClose;
  TDataSetNotifyEvent BeforeInsert, AfterInsert, BeforeEdit, AfterEdit;
  TDataSetNotifyEvent BeforePost, AfterPost, BeforeCancel, AfterCancel;
  TDataSetNotifyEvent BeforeDelete, AfterDelete, BeforeScroll, AfterScroll;
  TDataSetNotifyEvent BeforeRefresh, AfterRefresh, OnNewRecord, OnCalcFields;

 protected:
  // ---- Hooks an adapter implements ------------------------------------------------
  // Opens the source and fills FieldDefs (through SetFieldDefs).
  virtual void InternalOpen() = 0;
  virtual void InternalClose() = 0;
  // Called after the fields exist: position before the first record.
  virtual void InternalAfterFieldsCreated() {}
  // Size of TRecordBuffer::data.
  virtual std::size_t RecordDataSize() const = 0;
  // Reads the current, next or prior record into buffer; when doCheck is set
  // a failure other than BOF/EOF raises.
  virtual TGetResult GetRecord(TRecordBuffer &buffer, TGetMode mode, bool doCheck) = 0;
  virtual void InternalFirst() = 0;
  virtual void InternalLast() = 0;
  // Blanks a new record.
  virtual void InternalInitRecord(TRecordBuffer &buffer) = 0;
  virtual void InternalEdit() {}
  virtual void InternalInsert() {}
  // Writes the active record: state dsEdit rewrites, dsInsert adds.
  virtual void InternalPost() = 0;
  virtual void InternalCancel() {}
  virtual void InternalDelete() = 0;
  virtual void InternalRefresh() {}
  virtual TBookmark GetBookmarkData(const TRecordBuffer &buffer) const = 0;
  virtual void InternalGotoBookmark(const TBookmark &bookmark) = 0;
  void InternalSetToRecord(const TRecordBuffer &buffer) {
    InternalGotoBookmark(GetBookmarkData(buffer));
  }
  // Value of a data field in a buffer (std::nullopt for null), untranslated.
  virtual TFieldData GetFieldData(const TField &field, const TRecordBuffer &buffer) = 0;
  // Stores a value; the framework has checked the state already.
  virtual void SetFieldData(const TField &field, TRecordBuffer &buffer,
                            const TFieldData &value) = 0;
  virtual int GetRecNo() const { return -1; }
  virtual void InternalSetRecNo(int /*value*/) {}
  virtual int GetRecordCount() const { return -1; }
  // Text conversion for string fields: toOem when writing a value.
  virtual std::string Translate(const std::string &text, bool /*toOem*/) const { return text; }
  // The filter changed (text, options or on/off); the adapter rebuilds.
  virtual void FilterChanged() {}
  // Finds the record; on success the adapter's cursor stands on it.
  virtual bool LocateRecord(const std::string &keyFields, const std::vector<std::string> &values,
                            TLocateOptions options);
  // Checks that a field may be written in the current state; throws.
  virtual void CheckFieldWritable(const TField &field);
  // Sets up a field after creation (e.g. read-only fields).
  virtual void InitField(TField & /*field*/) {}

  // ---- Services for adapters --------------------------------------------------------
  void SetFieldDefs(std::vector<TFieldDef> defs) { fieldDefs_ = std::move(defs); }
  TRecordBuffer &ActiveBuffer() { return active_; }
  // The buffer that field reads and writes use in the current state.
  TRecordBuffer *StateBuffer();
  // Fills the calculated fields of a buffer (OnCalcFields).
  void GetCalcFields(TRecordBuffer &buffer);
  // The OnFilterRecord verdict for a buffer (true when not filtered).
  bool FilterAccepts(TRecordBuffer &buffer);
  void DataEvent(TDataEvent event, std::intptr_t info = 0);
  void SetState(TDataSetState state);
  // A direct write changed the active record: it now counts as modified and
  // the views show it again.
  void MarkModified();
  // The cursor no longer stands on the active record (after a view read).
  void CursorPosChanged() { cursorValid_ = false; }
  // Raises "Cannot perform this operation on a closed dataset".
  void CheckActive() const;
  // Raises "Dataset not in edit or insert mode" unless editing.
  void CheckEditing() const;
  // Re-reads the active record after the cursor changed underneath it; falls
  // back to the next, then the prior record (then EOF is set).
  void Resync();
  // Brings the adapter's cursor back to the active record when a view read
  // moved it.
  void UpdateCursorPos();
  TFieldData ReadField(const TField &field);
  void WriteField(TField &field, const TFieldData &value);

 private:
  friend class TField;
  friend class TDataSource;
  void CreateFields();
  void BeginInsert(bool append);
  void ClearBuffers();
  void ResetBuffer(TRecordBuffer &buffer) const;
  void Fire(const TDataSetNotifyEvent &event) {
    if (event) event(*this);
  }
  void AddDataSource(TDataSource *source);
  void RemoveDataSource(TDataSource *source);
  std::vector<TField *> FieldList(const std::string &names) const;

  TDataSetState state_ = TDataSetState::dsInactive;
  std::vector<TFieldDef> fieldDefs_;
  std::vector<std::unique_ptr<TField>> dataFields_;  // made on open, dropped on close
  std::vector<std::unique_ptr<TField>> calcFields_;  // kept from AddCalculatedField on
  std::vector<TField *> fields_;                     // data fields, then calculated ones
  TRecordBuffer active_;
  TRecordBuffer saved_;  // the record that was active before an insert
  bool savedValid_ = false;
  TRecordBuffer *stateBufferOverride_ = nullptr;
  bool hasRecord_ = false;
  bool bof_ = true;
  bool eof_ = true;
  bool modified_ = false;
  bool cursorValid_ = true;
  std::string filterText_;
  bool filtered_ = false;
  TFilterOptions filterOptions_ = 0;
  int disableCount_ = 0;
  bool stateChangedWhileDisabled_ = false;
  bool fieldsChangedWhileDisabled_ = false;
  std::vector<TDataSource *> sources_;
};

// Suspends the views of a dataset for the life of the object
// (DisableControls ... EnableControls, also when an error leaves the scope).
class TViewsSuspended {
 public:
  explicit TViewsSuspended(TDataSet &dataset) : dataset_(dataset) { dataset_.DisableControls(); }
  ~TViewsSuspended() { dataset_.EnableControls(); }
  TViewsSuspended(const TViewsSuspended &) = delete;
  TViewsSuspended &operator=(const TViewsSuspended &) = delete;

 private:
  TDataSet &dataset_;
};

}  // namespace xb
