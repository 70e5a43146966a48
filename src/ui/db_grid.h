// TDBGrid: the data grid, a table view bound to a dataset through a data
// source (rows read on demand by TDBGridModel). Columns carry titles of one
// or more lines ('|' separates them), a width, an alignment and a read-only
// flag; a hook may draw any cell itself; the grid's hint is its tooltip. The
// current row follows the dataset and the dataset follows the current row.
//
//   TDBGrid grid(window);
//   grid.SetDataSource(&source);
//   grid.SetColumns({{"F04", "Идентификатор|на лицето", 110}, ...});
//   grid.OnDrawColumnCell = [](QPainter &p, const QStyleOptionViewItem &o,
//                              int row, int column, xb::TField *f) { return false; };
#pragma once

#include <QTableView>
#include <functional>

#include "ui/db_grid_model.h"

namespace ui {

class TDBGrid : public QTableView {
  Q_OBJECT
 public:
  // Draws one cell; returns true when it drew the cell (the default drawing
  // is then skipped).
  using DrawCellHook = std::function<bool(QPainter &, const QStyleOptionViewItem &, int row,
                                          int column, xb::TField *field)>;

  explicit TDBGrid(QWidget *parent = nullptr);

  xb::TDataSource *DataSource() const { return model_.DataSource(); }
  void SetDataSource(xb::TDataSource *source);
  void SetColumns(const std::vector<TGridColumn> &columns);
  TDBGridModel &Model() { return model_; }
  void SetHint(const QString &hint) { setToolTip(hint); }
  QString Hint() const { return toolTip(); }
  DrawCellHook OnDrawColumnCell;

 protected:
  void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;

 private:
  void ApplyColumnWidths();
  void FollowRow(int row);

  TDBGridModel model_;
  bool following_ = false;
};

}  // namespace ui
