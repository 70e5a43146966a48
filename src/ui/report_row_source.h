// What the report renderer needs of a dataset connection: walk the rows from
// the first to the end and read a field of the current row as text. The
// program adapts its datasets to it; tests use a list of rows.
#pragma once

#include <QString>
#include <cstdint>

namespace ui {

class ReportRowSource {
 public:
  virtual ~ReportRowSource() = default;

  // Moves to the first row; Eof() is true at once for no rows.
  virtual void First() = 0;
  virtual void Next() = 0;
  virtual bool Eof() const = 0;
  // The field's text without trailing blanks; empty for an unknown field.
  virtual QString Value(const QString &field) const = 0;
  // About how many rows a walk will see, for progress; -1 when not known.
  virtual int64_t SizeHint() const { return -1; }
};

}  // namespace ui
