// Rows of a dataset for the data grid, read on demand; see db_grid_model.h.
#include "ui/db_grid_model.h"

#include <algorithm>

#include "ui/codepage.h"

namespace ui {
namespace {

constexpr std::size_t kCacheLimit = 1024;  // rows kept before the cache is dropped
constexpr int kWalkChunk = 256;            // rows walked per fetch
constexpr int kMaxStepMove = 100;          // farther moves jump instead of stepping

}  // namespace

TDBGridModel::TDBGridModel(QObject *parent) : QAbstractTableModel(parent), link_(*this) {
  link_.ReadOnly = true;
}

TDBGridModel::~TDBGridModel() { link_.SetDataSource(nullptr); }

void TDBGridModel::SetDataSource(xb::TDataSource *source) {
  link_.SetDataSource(source);
  Rebuild();
}

void TDBGridModel::SetColumns(const std::vector<TGridColumn> &columns) {
  columns_ = columns;
  Rebuild();
}

xb::TField *TDBGridModel::ColumnField(int column) const {
  if (column < 0 || column >= static_cast<int>(fields_.size())) return nullptr;
  // A dataset closed while its views were disabled has dropped its fields
  // before the link heard of it.
  xb::TDataSet *ds = link_.DataSet();
  if (!ds || !ds->Active()) return nullptr;
  return fields_[column];
}

const TGridColumn &TDBGridModel::Column(int column) const { return shown_.at(column); }

bool TDBGridModel::Sequenced() const {
  xb::TDataSet *ds = link_.DataSet();
  return ds && link_.Active() && ds->IsSequenced();
}

bool TDBGridModel::Inserting() const {
  return link_.Active() && link_.DataSet()->State() == xb::TDataSetState::dsInsert;
}

int TDBGridModel::CountRows() const {
  if (!link_.Active()) return 0;
  const int extra = Inserting() ? 1 : 0;
  if (sequenced_) return std::max(0, link_.DataSet()->RecordCount()) + extra;
  return static_cast<int>(walked_.size()) + extra;
}

// Builds the shown columns and their fields and starts over with the rows.
void TDBGridModel::Rebuild() {
  beginResetModel();
  shown_.clear();
  fields_.clear();
  cache_.clear();
  walked_.clear();
  walkIndex_.clear();
  walkStarted_ = walkDone_ = false;
  xb::TDataSet *ds = link_.Active() ? link_.DataSet() : nullptr;
  if (!columns_.empty()) {
    for (const TGridColumn &c : columns_) {
      if (!c.visible) continue;
      shown_.push_back(c);
      fields_.push_back(ds ? ds->FindField(codepage::ToCp1251(c.fieldName)) : nullptr);
    }
  } else if (ds) {
    for (int i = 0; i < ds->FieldCount(); ++i) {
      xb::TField &f = ds->Field(i);
      if (!f.Visible) continue;
      TGridColumn c;
      c.fieldName = codepage::FromCp1251(f.FieldName());
      shown_.push_back(c);
      fields_.push_back(&f);
    }
  }
  sequenced_ = Sequenced();
  rowCount_ = CountRows();
  endResetModel();
  if (!sequenced_ && ds) FetchWalk(kWalkChunk);
  FollowDataSet();
}

// The visible records changed: keep the view's scroll position where the
// row count allows, read every row again.
void TDBGridModel::Refresh() {
  if (!link_.Active() || Sequenced() != sequenced_ || !sequenced_) {
    Rebuild();
    return;
  }
  cache_.clear();
  const int count = CountRows();
  if (count > rowCount_) {
    beginInsertRows({}, rowCount_, count - 1);
    rowCount_ = count;
    endInsertRows();
  } else if (count < rowCount_) {
    beginRemoveRows({}, count, rowCount_ - 1);
    rowCount_ = count;
    endRemoveRows();
  }
  if (rowCount_ > 0 && !shown_.empty())
    emit dataChanged(index(0, 0), index(rowCount_ - 1, static_cast<int>(shown_.size()) - 1));
  FollowDataSet();
}

void TDBGridModel::FollowDataSet() {
  const int old = currentRow_;
  currentRow_ = LocateActiveRow();
  for (int row : {old, currentRow_}) {
    if (row < 0 || row >= rowCount_) continue;
    cache_.erase(row);
    if (!shown_.empty())
      emit dataChanged(index(row, 0), index(row, static_cast<int>(shown_.size()) - 1));
    emit headerDataChanged(Qt::Vertical, row, row);
  }
  if (OnCurrentRowChanged && !moving_) OnCurrentRowChanged(currentRow_);
}

void TDBGridModel::ActiveRowChanged() {
  if (currentRow_ < 0 || currentRow_ >= rowCount_ || shown_.empty()) return;
  cache_.erase(currentRow_);
  emit dataChanged(index(currentRow_, 0), index(currentRow_, static_cast<int>(shown_.size()) - 1));
}

int TDBGridModel::LocateActiveRow() {
  xb::TDataSet *ds = link_.Active() ? link_.DataSet() : nullptr;
  if (!ds || ds->IsEmpty()) return -1;
  if (Inserting()) return rowCount_ - 1;
  if (sequenced_) return std::clamp(ds->RecNo() - 1, -1, rowCount_ - 1);
  const xb::TBookmark mark = ds->GetBookmark();
  for (;;) {
    const auto it = walkIndex_.find(mark);
    if (it != walkIndex_.end()) return it->second;
    if (walkDone_) return -1;
    FetchWalk(static_cast<int>(walked_.size()) + kWalkChunk);
  }
}

void TDBGridModel::FetchWalk(int upToRow) {
  xb::TDataSet *ds = link_.Active() ? link_.DataSet() : nullptr;
  if (!ds || walkDone_) return;
  std::vector<xb::TRecordBuffer> fresh;
  while (static_cast<int>(walked_.size() + fresh.size()) < upToRow) {
    xb::TRecordBuffer buffer;
    bool ok;
    if (!walkStarted_) {
      ok = ds->ReadViewFirst(buffer);
      walkStarted_ = true;
    } else {
      ok = ds->ReadViewStep(fresh.empty() ? walkTail_ : fresh.back(), xb::TGetMode::gmNext, buffer);
    }
    if (!ok) {
      walkDone_ = true;
      break;
    }
    fresh.push_back(std::move(buffer));
  }
  if (fresh.empty()) return;
  const int first = static_cast<int>(walked_.size());
  beginInsertRows({}, first, first + static_cast<int>(fresh.size()) - 1);
  for (auto &buffer : fresh) {
    const int row = static_cast<int>(walked_.size());
    walked_.push_back(ds->BookmarkOf(buffer));
    walkIndex_[walked_.back()] = row;
    if (cache_.size() < kCacheLimit) cache_[row] = buffer;
  }
  walkTail_ = std::move(fresh.back());
  rowCount_ = CountRows();
  endInsertRows();
}

const xb::TRecordBuffer *TDBGridModel::Row(int row) const {
  xb::TDataSet *ds = link_.Active() ? link_.DataSet() : nullptr;
  if (!ds || !ds->Active() || row < 0 || row >= rowCount_) return nullptr;
  if (row == currentRow_ && !ds->IsEmpty()) return &ds->ActiveRecord();
  const auto it = cache_.find(row);
  if (it != cache_.end()) return &it->second;
  if (cache_.size() >= kCacheLimit) cache_.clear();
  xb::TRecordBuffer buffer;
  bool ok = false;
  try {
    if (sequenced_)
      ok = ds->ReadViewRecordAt(row + 1, buffer);
    else if (row < static_cast<int>(walked_.size()))
      ok = ds->ReadViewBookmark(walked_[row], buffer);
  } catch (const std::exception &) {
    ok = false;  // a row that cannot be read shows blank; the dataset itself reports the error
  }
  if (!ok) return nullptr;
  return &(cache_[row] = std::move(buffer));
}

QString TDBGridModel::CellText(int row, int column) const {
  xb::TField *field = ColumnField(column);
  const xb::TRecordBuffer *buffer = Row(row);
  if (!field || !buffer) return {};
  return codepage::FromCp1251(field->TextOf(link_.DataSet()->ViewValue(*field, *buffer)));
}

void TDBGridModel::MoveToRow(int row) {
  xb::TDataSet *ds = link_.Active() ? link_.DataSet() : nullptr;
  if (!ds || row < 0 || row >= rowCount_ || row == currentRow_ || moving_) return;
  moving_ = true;
  try {
    const int delta = row - currentRow_;
    if (currentRow_ >= 0 && std::abs(delta) <= kMaxStepMove)
      ds->MoveBy(delta);
    else if (sequenced_)
      ds->SetRecNo(row + 1);
    else if (row < static_cast<int>(walked_.size()))
      ds->GotoBookmark(walked_[row]);
  } catch (...) {
    moving_ = false;
    FollowDataSet();
    throw;
  }
  moving_ = false;
  FollowDataSet();
}

int TDBGridModel::rowCount(const QModelIndex &parent) const {
  return parent.isValid() ? 0 : rowCount_;
}

int TDBGridModel::columnCount(const QModelIndex &parent) const {
  return parent.isValid() ? 0 : static_cast<int>(shown_.size());
}

QVariant TDBGridModel::data(const QModelIndex &index, int role) const {
  if (!index.isValid()) return {};
  switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
      return CellText(index.row(), index.column());
    case Qt::TextAlignmentRole: {
      const TGridColumn &c = shown_.at(index.column());
      if (c.alignment) return QVariant::fromValue(c.alignment | Qt::AlignVCenter);
      const xb::TField *f = ColumnField(index.column());
      const bool right = f && f->Alignment() == xb::TAlignment::taRightJustify;
      return QVariant::fromValue((right ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
    }
    default:
      return {};
  }
}

QVariant TDBGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role == Qt::TextAlignmentRole && orientation == Qt::Horizontal && section >= 0 &&
      section < static_cast<int>(shown_.size()) && shown_[section].titleAlignment) {
    return QVariant::fromValue(shown_[section].titleAlignment | Qt::AlignVCenter);
  }
  if (role != Qt::DisplayRole) return {};
  if (orientation == Qt::Vertical)
    return section == currentRow_ ? QStringLiteral("\u25B6") : QString();
  if (section < 0 || section >= static_cast<int>(shown_.size())) return {};
  QString title = shown_[section].title;
  if (title.isEmpty()) {
    const xb::TField *f = ColumnField(section);
    title = f ? codepage::FromCp1251(f->LabelOrName()) : shown_[section].fieldName;
  }
  return title.replace(QLatin1Char('|'), QLatin1Char('\n'));
}

Qt::ItemFlags TDBGridModel::flags(const QModelIndex &index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  Qt::ItemFlags f = Qt::ItemIsSelectable | Qt::ItemIsEnabled;
  const xb::TField *field = ColumnField(index.column());
  xb::TDataSet *ds = link_.DataSet();
  if (field && ds && !shown_[index.column()].readOnly && !field->ReadOnly && ds->CanModify())
    f |= Qt::ItemIsEditable;
  return f;
}

bool TDBGridModel::setData(const QModelIndex &index, const QVariant &value, int role) {
  if (role != Qt::EditRole || !(flags(index) & Qt::ItemIsEditable)) return false;
  xb::TDataSet *ds = link_.DataSet();
  xb::TField *field = ColumnField(index.column());
  MoveToRow(index.row());
  const bool started = !link_.Editing();
  try {
    if (started) ds->Edit();
    field->SetAsString(codepage::ToCp1251(value.toString()));
    if (started) ds->Post();
  } catch (...) {
    if (started && link_.Editing()) ds->Cancel();
    throw;
  }
  return true;
}

bool TDBGridModel::canFetchMore(const QModelIndex &parent) const {
  return !parent.isValid() && link_.Active() && !sequenced_ && !walkDone_;
}

void TDBGridModel::fetchMore(const QModelIndex &parent) {
  if (parent.isValid()) return;
  FetchWalk(static_cast<int>(walked_.size()) + kWalkChunk);
}

}  // namespace ui
