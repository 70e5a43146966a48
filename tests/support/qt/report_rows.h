// Rows held in memory behind the report renderer's row-source interface, for
// tests that render reports without a table file.
#pragma once

#include <QHash>
#include <QString>
#include <vector>

#include "ui/report_row_source.h"

namespace testing_support {

class ReportRows : public ui::ReportRowSource {
 public:
  ReportRows() = default;
  explicit ReportRows(std::vector<QHash<QString, QString>> rows) : rows_(std::move(rows)) {}

  void Add(QHash<QString, QString> row) { rows_.push_back(std::move(row)); }
  void First() override { at_ = 0; }
  void Next() override { ++at_; }
  bool Eof() const override { return at_ >= rows_.size(); }
  QString Value(const QString &field) const override {
    return Eof() ? QString() : rows_[at_].value(field);
  }
  int64_t SizeHint() const override { return static_cast<int64_t>(rows_.size()); }
  size_t Position() const { return at_; }

 private:
  std::vector<QHash<QString, QString>> rows_;
  size_t at_ = 0;
};

}  // namespace testing_support
