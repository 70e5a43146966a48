// A dataset as a report connection: the rows of an open dataset in its
// current order, each field's text decoded from code page 1251 and read
// without its trailing blanks. A closed dataset has no rows.
#pragma once

#include "ui/report_row_source.h"
#include "xbase/dataset.h"

namespace ui {

class DataSetRowSource : public ReportRowSource {
 public:
  explicit DataSetRowSource(xb::TDataSet &dataset) : dataset_(dataset) {}

  void First() override;
  void Next() override;
  bool Eof() const override;
  QString Value(const QString &field) const override;

 private:
  xb::TDataSet &dataset_;
};

}  // namespace ui
