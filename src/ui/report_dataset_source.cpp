// A dataset as a report connection; see report_dataset_source.h.
#include "ui/report_dataset_source.h"

#include "ui/codepage.h"

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
  QString text = codepage::FromCp1251(found->AsString());
  qsizetype end = text.size();
  while (end > 0 && text[end - 1] == u' ') --end;
  text.truncate(end);
  return text;
}

}  // namespace ui
