// A dataset as a report connection: the rows of an open dataset in its
// current order, each field's text decoded from code page 1251 and read
// without its trailing blanks. A closed dataset has no rows.
//
// The rows are read the way the grid reads them, beside the dataset's
// current record: a report walk neither moves the window's current row nor
// makes the views bound to the dataset follow every row.
#pragma once

#include <QHash>

#include "ui/report_row_source.h"
#include "xbase/dataset/dataset.h"

namespace ui {

class DataSetRowSource : public ReportRowSource {
 public:
  explicit DataSetRowSource(xb::TDataSet &dataset) : dataset_(dataset) {}

  void First() override;
  void Next() override;
  bool Eof() const override { return eof_; }
  QString Value(const QString &field) const override;
  int64_t SizeHint() const override;

 private:
  xb::TDataSet &dataset_;
  xb::TRecordBuffer row_, next_;
  bool eof_ = true;
  // Fields by the names asked for; filled again after every First(), as the
  // dataset may have been opened again in between.
  mutable QHash<QString, const xb::TField *> fields_;
};

}  // namespace ui
