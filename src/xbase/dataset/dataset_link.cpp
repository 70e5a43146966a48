// Data sources and data links; see dataset_link.h.
#include "xbase/dataset/dataset_link.h"

#include <algorithm>

#include "xbase/dataset/dataset.h"

namespace xb {

TDataSource::~TDataSource() {
  SetDataSet(nullptr);
  for (TDataLink *link : std::vector<TDataLink *>(links_)) link->SetDataSource(nullptr);
}

void TDataSource::SetDataSet(TDataSet *dataset) {
  if (dataset == dataset_) return;
  if (dataset_) dataset_->RemoveDataSource(this);
  dataset_ = dataset;
  if (dataset_) dataset_->AddDataSource(this);
  for (TDataLink *link : std::vector<TDataLink *>(links_)) link->UpdateFlags(true);
}

TDataSetState TDataSource::State() const {
  return dataset_ && enabled_ ? dataset_->State() : TDataSetState::dsInactive;
}

void TDataSource::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  for (TDataLink *link : std::vector<TDataLink *>(links_)) link->UpdateFlags(true);
}

void TDataSource::AddLink(TDataLink *link) { links_.push_back(link); }

void TDataSource::RemoveLink(TDataLink *link) { std::erase(links_, link); }

void TDataSource::Notify(TDataEvent event, std::intptr_t info) {
  if (!enabled_) return;
  // A link may detach itself while handling an event: walk a copy.
  for (TDataLink *link : std::vector<TDataLink *>(links_))
    if (std::find(links_.begin(), links_.end(), link) != links_.end()) link->Event(event, info);
  switch (event) {
    case TDataEvent::deUpdateState:
      if (OnStateChange) OnStateChange(*this);
      break;
    case TDataEvent::deFieldChange:
      if (OnDataChange) OnDataChange(*this, reinterpret_cast<TField *>(info));
      break;
    case TDataEvent::deRecordChange:
    case TDataEvent::deDataSetChange:
    case TDataEvent::deDataSetScroll:
    case TDataEvent::deLayoutChange:
      if (OnDataChange) OnDataChange(*this, nullptr);
      break;
    case TDataEvent::deUpdateRecord:
      if (OnUpdateData) OnUpdateData(*this);
      break;
    default:
      break;
  }
}

TDataLink::~TDataLink() {
  if (source_) source_->RemoveLink(this);
}

void TDataLink::SetDataSource(TDataSource *source) {
  if (source == source_) return;
  if (source_) source_->RemoveLink(this);
  source_ = source;
  if (source_) source_->AddLink(this);
  UpdateFlags(true);
}

TDataSet *TDataLink::DataSet() const { return source_ ? source_->DataSet() : nullptr; }

void TDataLink::UpdateFlags(bool notify) {
  const TDataSetState state = source_ ? source_->State() : TDataSetState::dsInactive;
  const bool active = state != TDataSetState::dsInactive;
  const bool editing = state == TDataSetState::dsEdit || state == TDataSetState::dsInsert;
  const bool activeChanged = active != active_;
  const bool editingChanged = editing != editing_;
  active_ = active;
  editing_ = editing;
  if (!notify) return;
  if (activeChanged) ActiveChanged();
  if (editingChanged) EditingChanged();
}

void TDataLink::Event(TDataEvent event, std::intptr_t info) {
  switch (event) {
    case TDataEvent::deUpdateState:
      UpdateFlags(true);
      break;
    case TDataEvent::deFieldChange:
      if (active_) RecordChanged(reinterpret_cast<TField *>(info));
      break;
    case TDataEvent::deRecordChange:
      if (active_) RecordChanged(nullptr);
      break;
    case TDataEvent::deDataSetChange:
      if (active_) DataSetChanged();
      break;
    case TDataEvent::deDataSetScroll:
      if (active_) DataSetScrolled(static_cast<int>(info));
      break;
    case TDataEvent::deLayoutChange:
      if (active_) LayoutChanged();
      break;
    case TDataEvent::deUpdateRecord:
      if (active_) UpdateData();
      break;
    case TDataEvent::deCheckBrowseMode:
      if (active_) CheckBrowseMode();
      break;
  }
}

}  // namespace xb
