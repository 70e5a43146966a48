// The rows of the import preview: one per line of the file, in file order,
// with its line number, its verdict, the row as it will be stored (accepted)
// or the texts as read (rejected), and the reasons. Lines are added as they
// are checked, so the view fills while the check runs.
#pragma once

#include <QAbstractTableModel>
#include <vector>

#include "importfile/import_check.h"
#include "importfile/import_source.h"

namespace importfile {

class ImportPreviewModel : public QAbstractTableModel {
 public:
  ImportPreviewModel(const ImportSource &source, const std::vector<LineVerdict> &verdicts,
                     QObject *parent = nullptr);

  // The verdicts vector grew (or was emptied): shows the new rows.
  void VerdictsAdded();
  void VerdictsCleared();

  int rowCount(const QModelIndex &parent = {}) const override;
  int columnCount(const QModelIndex &parent = {}) const override;
  QVariant data(const QModelIndex &index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 private:
  const ImportSource &source_;
  const std::vector<LineVerdict> &verdicts_;
  int shown_ = 0;
};

}  // namespace importfile
