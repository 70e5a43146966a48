// The completeness walk; see export_rows.h.
#include "agencyfile/export_rows.h"

#include <utility>

#include "records/income_row.h"

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

bool NumberCompleteRows(xb::TDataSet &table) {
  xb::TViewsSuspended suspended(table);
  PostHandlersDetached detached(table);
  for (table.First(); !table.Eof(); table.Next()) {
    if (IsIncompleteRow(records::RowGet(table, records::kF08),
                        records::RowGet(table, records::kF09),
                        records::RowGet(table, records::kF10)))
      return false;
    table.Edit();
    table.FieldByName(records::kF01)
        .SetAsString(
            QStringLiteral("%1").arg(table.RecNo(), 5, 10, QLatin1Char('0')).toStdString());
    table.Post();
  }
  return true;
}

}  // namespace agencyfile
