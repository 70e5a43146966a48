// The verdict on each line of a file to import: the record editor's field
// limits and row rules, then the rule of one row per recipient and income
// code, against the rows already in the table and the lines accepted before
// it in the same file. An accepted line gives the row exactly as the editor
// would store it; a rejected one the texts of every reason.
#pragma once

#include <QString>
#include <QStringList>
#include <string>
#include <unordered_map>
#include <vector>

#include "importfile/import_source.h"
#include "records/row_validation.h"
#include "records/stored_row.h"

namespace importfile {

// The table holds at most this many rows: the agency file numbers its
// detail records with five digits.
inline constexpr qint64 kMaxTableRows = 99999;

struct LineVerdict {
  int line = 0;
  records::StoredRow row;  // as it will be stored (accepted lines)
  QStringList reasons;     // empty: accepted
  bool accepted() const { return reasons.isEmpty(); }
};

// The rows already in the table, as the duplicate rule sees them.
struct ExistingRows {
  qint64 count = 0;
  // duplicate key (see records::DuplicateSearchKey) -> record number
  std::unordered_map<std::string, qint64> keys;
};

// Reads the keys of the visible rows of the table file `table_path`. Engine
// errors are thrown.
ExistingRows ReadExistingRows(const QString &table_path);

class ImportChecker {
 public:
  // `existing` is empty when the table is to be replaced.
  ImportChecker(const records::ReferenceTables &tables, ExistingRows existing);

  // Lines are given in file order; each accepted one counts against the next.
  LineVerdict Check(const SourceLine &line);

 private:
  const records::ReferenceTables &tables_;
  ExistingRows existing_;
  std::unordered_map<std::string, int> file_keys_;  // key -> line accepted with it
  qint64 accepted_ = 0;
};

// Every line's verdict, in file order.
std::vector<LineVerdict> CheckLines(const std::vector<SourceLine> &lines,
                                    const records::ReferenceTables &tables,
                                    const ExistingRows &existing);

}  // namespace importfile
