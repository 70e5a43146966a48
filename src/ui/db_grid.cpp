// The data grid view; see db_grid.h.
#include "ui/db_grid.h"

#include <QHeaderView>
#include <QPainter>
#include <QStyledItemDelegate>

namespace ui {
namespace {

// Hands each cell to the grid's drawing hook before the default drawing.
class CellDelegate : public QStyledItemDelegate {
 public:
  explicit CellDelegate(TDBGrid *grid) : QStyledItemDelegate(grid), grid_(grid) {}
  void paint(QPainter *painter, const QStyleOptionViewItem &option,
             const QModelIndex &index) const override {
    if (grid_->OnDrawColumnCell) {
      painter->save();
      const bool drawn = grid_->OnDrawColumnCell(*painter, option, index.row(), index.column(),
                                                 grid_->Model().ColumnField(index.column()));
      painter->restore();
      if (drawn) return;
    }
    QStyledItemDelegate::paint(painter, option, index);
  }

 private:
  TDBGrid *grid_;
};

}  // namespace

TDBGrid::TDBGrid(QWidget *parent) : QTableView(parent) {
  setModel(&model_);
  setItemDelegate(new CellDelegate(this));
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed);
  setWordWrap(false);
  // Uniform rows: the view never measures rows, so a large table costs
  // nothing until its rows are shown.
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
  verticalHeader()->setFixedWidth(16);
  horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
  horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
  model_.OnCurrentRowChanged = [this](int row) { FollowRow(row); };
  connect(&model_, &QAbstractItemModel::modelReset, this, [this] { ApplyColumnWidths(); });
}

void TDBGrid::SetDataSource(xb::TDataSource *source) {
  model_.SetDataSource(source);
  ApplyColumnWidths();
}

void TDBGrid::SetColumns(const std::vector<TGridColumn> &columns) {
  model_.SetColumns(columns);
  ApplyColumnWidths();
}

void TDBGrid::ApplyColumnWidths() {
  const int charWidth = fontMetrics().averageCharWidth();
  for (int c = 0; c < model_.columnCount(); ++c) {
    int width = model_.Column(c).width;
    if (width <= 0) {
      const xb::TField *f = model_.ColumnField(c);
      width = (f ? f->EffectiveDisplayWidth() : 10) * charWidth + 8;
    }
    setColumnWidth(c, width);
  }
}

void TDBGrid::FollowRow(int row) {
  following_ = true;
  if (row < 0) {
    selectionModel()->clearCurrentIndex();
  } else {
    const int column = std::max(0, currentIndex().column());
    const QModelIndex index = model_.index(row, column);
    selectionModel()->setCurrentIndex(
        index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    scrollTo(index);
  }
  following_ = false;
}

void TDBGrid::currentChanged(const QModelIndex &current, const QModelIndex &previous) {
  QTableView::currentChanged(current, previous);
  if (following_ || !current.isValid() || current.row() == model_.CurrentRow()) return;
  model_.MoveToRow(current.row());
}

}  // namespace ui
