// The walk over the income table that the export and the printing make
// before they run: every row must have an income other than 0.00, a tax and
// an income code, and each complete row gets its record number in F01.
#pragma once

#include <QString>

#include "xbase/dataset.h"

namespace agencyfile {

inline constexpr char kNoDataText[] = "Няма въведени данни !    ";
inline constexpr char kIncompleteRowText[] =
    "Има непопълнени данни в         \n      <Код на дохода>\n    <Размер на дохода>\n"
    "<Размер на удържания данък>";

// A row is incomplete when its income is empty or exactly "0.00", its tax is
// empty, or its income code is empty (texts without trailing blanks).
bool IsIncompleteRow(const QString &income, const QString &tax, const QString &code);

// Walks the table from its first row with its before-save and after-save
// handlers detached and its views' updates suspended: each complete row gets
// F01 = its record number as five digits and is saved; the first incomplete
// row ends the walk and stays current. Handlers and updates are restored in
// every case. True when every row was complete.
bool NumberCompleteRows(xb::TDataSet &table);

// Detaches a dataset's before-save and after-save handlers for its lifetime.
class PostHandlersDetached {
 public:
  explicit PostHandlersDetached(xb::TDataSet &table);
  ~PostHandlersDetached();
  PostHandlersDetached(const PostHandlersDetached &) = delete;
  PostHandlersDetached &operator=(const PostHandlersDetached &) = delete;

 private:
  xb::TDataSet &table_;
  xb::TDataSet::TDataSetNotifyEvent before_post_, after_post_;
};

}  // namespace agencyfile
