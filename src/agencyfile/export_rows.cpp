// The completeness walk; see export_rows.h.
#include "agencyfile/export_rows.h"

#include <utility>
#include "ui/codepage.h"

namespace agencyfile {

PostHandlersDetached::PostHandlersDetached(xb::TDataSet &table)
    : table_(table),
      before_post_(std::exchange(table.BeforePost, nullptr)),
      after_post_(std::exchange(table.AfterPost, nullptr)) {}

PostHandlersDetached::~PostHandlersDetached() {
  table_.BeforePost = std::move(before_post_);
  table_.AfterPost = std::move(after_post_);
}

bool IsIncompleteRow(const QString &income, const QString &tax, const QString &code) {
  return income.isEmpty() || income == u"0.00" || tax.isEmpty() || code.isEmpty();
}

QString RowText(xb::TDataSet &table, const char *field) {
  QString text = codepage::FromCp1251(table.FieldByName(field).AsString());
  qsizetype end = text.size();
  while (end > 0 && text[end - 1] == u' ') --end;
  text.truncate(end);
  return text;
}

bool NumberCompleteRows(xb::TDataSet &table) {
  struct ControlsDisabled {
    xb::TDataSet &table;
    explicit ControlsDisabled(xb::TDataSet &t) : table(t) { table.DisableControls(); }
    ~ControlsDisabled() { table.EnableControls(); }
  } disabled(table);
  PostHandlersDetached detached(table);
  for (table.First(); !table.Eof(); table.Next()) {
    if (IsIncompleteRow(RowText(table, "F08"), RowText(table, "F09"), RowText(table, "F10")))
      return false;
    table.Edit();
    table.FieldByName("F01").SetAsString(
        QStringLiteral("%1").arg(table.RecNo(), 5, 10, QLatin1Char('0')).toStdString());
    table.Post();
  }
  return true;
}

}  // namespace agencyfile
