// The table model behind the data grid: rows of a dataset read on demand
// (never the whole table), the active record always shown as the dataset
// holds it (edits included), and the current row kept in step with the
// dataset through a data link.
//
// A sequenced dataset (RecNo runs 1..RecordCount) maps row r to RecNo r + 1
// and reads only the rows the view asks for. Any other dataset (a filter or
// an index order) is walked forward from its first record in chunks, as the
// view scrolls, remembering a bookmark per row.
#pragma once

#include <QAbstractTableModel>
#include <QString>
#include <functional>
#include <unordered_map>
#include <vector>

#include "xbase/dataset/dataset.h"

namespace ui {

// One column of the grid. An empty title shows the field's label; '|' in a
// title separates its lines.
struct TGridColumn {
  QString fieldName;
  QString title;
  int width = 0;                 // pixels; 0 takes the field's display width
  Qt::Alignment alignment = {};  // 0 takes the field's alignment
  // Of the title's lines; 0 takes the header's (centred).
  Qt::Alignment titleAlignment = {};
  bool readOnly = false;
  bool visible = true;
};

class TDBGridModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  explicit TDBGridModel(QObject *parent = nullptr);
  ~TDBGridModel() override;

  xb::TDataSource *DataSource() const { return link_.DataSource(); }
  void SetDataSource(xb::TDataSource *source);
  // Columns of the grid; empty shows every visible field of the dataset.
  void SetColumns(const std::vector<TGridColumn> &columns);
  const std::vector<TGridColumn> &Columns() const { return columns_; }
  // The columns shown (configured or made from the fields), and the field of
  // each (nullptr while closed or when missing).
  const TGridColumn &Column(int column) const;
  xb::TField *ColumnField(int column) const;
  // The row of the dataset's active record (-1 when none).
  int CurrentRow() const { return currentRow_; }
  // Moves the dataset to the record shown in a row.
  void MoveToRow(int row);
  // Called with the row the dataset moved to (for the view to follow).
  std::function<void(int row)> OnCurrentRowChanged;

  int rowCount(const QModelIndex &parent = {}) const override;
  int columnCount(const QModelIndex &parent = {}) const override;
  QVariant data(const QModelIndex &index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  Qt::ItemFlags flags(const QModelIndex &index) const override;
  bool setData(const QModelIndex &index, const QVariant &value, int role) override;
  bool canFetchMore(const QModelIndex &parent) const override;
  void fetchMore(const QModelIndex &parent) override;

 private:
  class Link : public xb::TDataLink {
   public:
    explicit Link(TDBGridModel &owner) : owner_(owner) {}

   protected:
    void ActiveChanged() override { owner_.Rebuild(); }
    void LayoutChanged() override { owner_.Rebuild(); }
    void DataSetChanged() override { owner_.Refresh(); }
    void EditingChanged() override { owner_.Refresh(); }
    void DataSetScrolled(int) override { owner_.FollowDataSet(); }
    void RecordChanged(xb::TField *) override { owner_.ActiveRowChanged(); }

   private:
    TDBGridModel &owner_;
  };

  bool Sequenced() const;
  bool Inserting() const;
  int CountRows() const;
  void Rebuild();
  void Refresh();
  void FollowDataSet();
  void ActiveRowChanged();
  int LocateActiveRow();
  void FetchWalk(int upToRow);
  // The record of a row, read when not cached; nullptr when it cannot be read.
  const xb::TRecordBuffer *Row(int row) const;
  QString CellText(int row, int column) const;

  Link link_;
  std::vector<TGridColumn> columns_;  // as configured
  std::vector<TGridColumn> shown_;    // the visible columns
  std::vector<xb::TField *> fields_;  // per shown column, while active
  bool sequenced_ = false;
  int rowCount_ = 0;
  int currentRow_ = -1;
  bool moving_ = false;
  // Row cache; dropped when it grows past a few pages.
  mutable std::unordered_map<int, xb::TRecordBuffer> cache_;
  // The walk of a dataset that is not sequenced: a bookmark per row.
  std::vector<xb::TBookmark> walked_;
  std::unordered_map<xb::TBookmark, int> walkIndex_;
  xb::TRecordBuffer walkTail_;
  bool walkStarted_ = false;
  bool walkDone_ = false;
};

}  // namespace ui
