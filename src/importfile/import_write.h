// Writing the accepted rows into the income table, in one bulk write:
// added after the rows already there, or replacing them, in which case the
// old table and its index are first copied beside it under a name with the
// date and time ("dvel-20261210-165500.dbf") and the new table is built in a
// file of its own that takes the old one's place only when complete. Either
// way a failure, a cancel or a killed program leaves the table as it was or
// (adding) holding whole rows only.
#pragma once

#include <QDateTime>
#include <QString>
#include <functional>
#include <vector>

#include "records/stored_row.h"

namespace importfile {

enum class ImportMode { kAdd, kReplace };

// Told after every few rows; false cancels the write.
using WriteProgress = std::function<bool(qint64 done, qint64 total)>;

struct ImportWriteResult {
  qint64 written = 0;
  QString backup;  // the copy of the old table (replace), empty otherwise
  QString error;   // empty on success
  bool cancelled = false;
};

// The name of the copy kept of `table_path` at `when`: the table's base name,
// the date and the time, and the extension `ext` (".dbf", ".ntx").
QString BackupName(const QString &table_path, const QDateTime &when, const QString &ext);

// Writes `rows` into the table file `table_path` (dvel.dbf; its index
// dvel.ntx beside it is copied too when replacing). The table must not be
// open in this process when replacing: it is opened alone to make sure no
// one else has it.
ImportWriteResult WriteImportedRows(const QString &table_path,
                                    const std::vector<records::StoredRow> &rows, ImportMode mode,
                                    const QDateTime &when, const WriteProgress &progress = {});

}  // namespace importfile
