// Data sources and data links: how views (grids, navigators, edit controls)
// follow a dataset. A view owns a TDataLink subclass, points it at a
// TDataSource, and the source forwards every data event of its dataset.
#pragma once

#include <functional>
#include <vector>

#include "xbase/dataset/dataset_types.h"

namespace xb {

class TDataSet;
class TDataLink;
class TField;

// What happened to a dataset, as told to its data links.
enum class TDataEvent {
  deFieldChange,      // a field of the active record changed (info: the field)
  deRecordChange,     // the active record changed as a whole (edit begun, values reset)
  deDataSetChange,    // the visible records changed (open, first, last, post, delete...)
  deDataSetScroll,    // the active record moved (info: distance)
  deLayoutChange,     // fields or their presentation changed
  deUpdateRecord,     // about to post: views write their pending values
  deUpdateState,      // state or enabling changed
  deCheckBrowseMode,  // about to leave edit or insert
};

// Connects any number of data links to at most one dataset.
class TDataSource {
 public:
  TDataSource() = default;
  explicit TDataSource(TDataSet *dataset) { SetDataSet(dataset); }
  ~TDataSource();
  TDataSource(const TDataSource &) = delete;
  TDataSource &operator=(const TDataSource &) = delete;

  TDataSet *DataSet() const { return dataset_; }
  void SetDataSet(TDataSet *dataset);
  TDataSetState State() const;

  // False makes every link behave as if the dataset were closed.
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);

  // A view may start editing on its own (e.g. a grid on a typed key).
  bool AutoEdit = true;

  std::function<void(TDataSource &, TField *)> OnDataChange;
  std::function<void(TDataSource &)> OnStateChange;
  std::function<void(TDataSource &)> OnUpdateData;

 private:
  friend class TDataSet;
  friend class TDataLink;
  void Notify(TDataEvent event, std::intptr_t info);
  void AddLink(TDataLink *link);
  void RemoveLink(TDataLink *link);

  TDataSet *dataset_ = nullptr;
  bool enabled_ = true;
  std::vector<TDataLink *> links_;
};

// A view's connection to a data source; override the notifications needed.
class TDataLink {
 public:
  TDataLink() = default;
  virtual ~TDataLink();
  TDataLink(const TDataLink &) = delete;
  TDataLink &operator=(const TDataLink &) = delete;

  TDataSource *DataSource() const { return source_; }
  void SetDataSource(TDataSource *source);
  TDataSet *DataSet() const;
  // The source is enabled and its dataset open.
  bool Active() const { return active_; }
  // The dataset is in edit or insert state.
  bool Editing() const { return editing_; }
  // Set by views that only show data; such links never start an edit.
  bool ReadOnly = false;

 protected:
  virtual void ActiveChanged() {}
  virtual void EditingChanged() {}
  virtual void DataSetChanged() {}
  virtual void DataSetScrolled(int /*distance*/) {}
  virtual void RecordChanged(TField * /*field*/) {}
  virtual void LayoutChanged() {}
  virtual void UpdateData() {}
  virtual void CheckBrowseMode() {}

 private:
  friend class TDataSource;
  void Event(TDataEvent event, std::intptr_t info);
  void UpdateFlags(bool notify);

  TDataSource *source_ = nullptr;
  bool active_ = false;
  bool editing_ = false;
};

}  // namespace xb
