// A dataset as a report connection; see report_dataset_source.h.
#include "ui/report_dataset_source.h"

#include "ui/codepage.h"
#include "xbase/byte_helpers.h"

namespace ui {

void DataSetRowSource::First() {
  if (dataset_.Active()) dataset_.First();
}

void DataSetRowSource::Next() {
  if (dataset_.Active()) dataset_.Next();
}

bool DataSetRowSource::Eof() const { return !dataset_.Active() || dataset_.Eof(); }

QString DataSetRowSource::Value(const QString &field) const {
  if (Eof()) return {};
  const xb::TField *found = dataset_.FindField(field.toStdString());
  if (!found) return {};
  return codepage::FromCp1251(std::string(xb::TrimRightBlanks(found->AsString())));
}

}  // namespace ui
