// A dataset as a report connection; see report_dataset_source.h.
#include "ui/report_dataset_source.h"

#include "ui/codepage.h"
#include "xbase/file/byte_helpers.h"

namespace ui {

void DataSetRowSource::First() {
  fields_.clear();
  eof_ = !dataset_.Active() || !dataset_.ReadViewFirst(row_);
}

void DataSetRowSource::Next() {
  if (eof_) return;
  eof_ = !dataset_.ReadViewStep(row_, xb::TGetMode::gmNext, next_);
  std::swap(row_, next_);
}

QString DataSetRowSource::Value(const QString &field) const {
  if (eof_) return {};
  auto found = fields_.constFind(field);
  if (found == fields_.constEnd())
    found = fields_.insert(field, dataset_.FindField(field.toStdString()));
  const xb::TField *column = *found;
  if (!column) return {};
  const std::string text = column->TextOf(dataset_.ViewValue(*column, row_));
  return codepage::FromCp1251(std::string(xb::TrimRightBlanks(text)));
}

int64_t DataSetRowSource::SizeHint() const {
  return dataset_.Active() ? dataset_.RecordCount() : 0;
}

}  // namespace ui
