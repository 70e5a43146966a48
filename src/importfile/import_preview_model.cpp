// The import preview's rows (see import_preview_model.h).
#include "importfile/import_preview_model.h"

#include <QBrush>
#include <QColor>

namespace importfile {

namespace {

// Line, verdict, the nine columns, reasons.
constexpr int kLineColumn = 0;
constexpr int kVerdictColumn = 1;
constexpr int kFirstValueColumn = 2;
constexpr int kReasonsColumn = kFirstValueColumn + kColumnCount;
// Cells are shown cut: a line of a megabyte would only slow the view.
constexpr int kShownCharacters = 200;

}  // namespace

ImportPreviewModel::ImportPreviewModel(const ImportSource &source,
                                       const std::vector<LineVerdict> &verdicts, QObject *parent)
    : QAbstractTableModel(parent), source_(source), verdicts_(verdicts) {}

void ImportPreviewModel::VerdictsAdded() {
  const int count = static_cast<int>(verdicts_.size());
  if (count <= shown_) return;
  beginInsertRows({}, shown_, count - 1);
  shown_ = count;
  endInsertRows();
}

void ImportPreviewModel::VerdictsCleared() {
  beginResetModel();
  shown_ = 0;
  endResetModel();
}

int ImportPreviewModel::rowCount(const QModelIndex &parent) const {
  return parent.isValid() ? 0 : shown_;
}

int ImportPreviewModel::columnCount(const QModelIndex &parent) const {
  return parent.isValid() ? 0 : kReasonsColumn + 1;
}

QVariant ImportPreviewModel::data(const QModelIndex &index, int role) const {
  if (!index.isValid() || index.row() >= shown_) return {};
  const LineVerdict &verdict = verdicts_[index.row()];
  if (role == Qt::ForegroundRole && !verdict.accepted()) return QBrush(QColor(192, 0, 0));
  if (role != Qt::DisplayRole && role != Qt::ToolTipRole) return {};
  const int column = index.column();
  QString text;
  if (column == kLineColumn) {
    text = QString::number(verdict.line);
  } else if (column == kVerdictColumn) {
    text = verdict.accepted() ? QStringLiteral("приет") : QStringLiteral("отхвърлен");
  } else if (column == kReasonsColumn) {
    text =
        verdict.reasons.join(role == Qt::ToolTipRole ? QStringLiteral("\n") : QStringLiteral("; "));
  } else {
    const int value = column - kFirstValueColumn;
    text = verdict.accepted() ? CellsOfRow(verdict.row)[value]
                              : source_.lines[index.row()].cells[value];
  }
  if (role == Qt::DisplayRole && text.size() > kShownCharacters)
    text = text.left(kShownCharacters) + QStringLiteral("…");
  return text;
}

QVariant ImportPreviewModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole || orientation != Qt::Horizontal) return {};
  if (section == kLineColumn) return QStringLiteral("Ред");
  if (section == kVerdictColumn) return QStringLiteral("Резултат");
  if (section == kReasonsColumn) return QStringLiteral("Причини");
  return HeaderCells().value(section - kFirstValueColumn);
}

}  // namespace importfile
