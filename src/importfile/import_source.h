// The lines of a file to import, as rows' texts: a CSV file through the CSV
// reader and the column names, or an agency file (made by this program or
// another product), whose detail records become rows field by field and whose
// header gives the payer identifier. The kind is told by the first line: an
// agency file's begins with the header record's number "00000".
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

#include "importfile/import_columns.h"

namespace importfile {

enum class SourceKind { kCsv, kAgencyFile };

struct SourceLine {
  int line = 0;          // in the file, counted from 1
  RowCells cells;        // the texts, blanks at both ends removed (agency file: trailing)
  QStringList problems;  // what made the line unreadable as a row
};

struct ImportSource {
  SourceKind kind = SourceKind::kCsv;
  QString format;  // for display: "CSV (UTF-8, ;)", "файл за ВЕСКОР"
  std::vector<SourceLine> lines;
  bool has_payer_id = false;  // an agency file's header was read
  QString payer_id;           // its field 4, blanks removed
  QString error;              // the file cannot be read: nothing else is set
};

// Reads a file from disk; `error` says why it cannot be read.
ImportSource ReadImportFile(const QString &path);
// The same from bytes in memory; `name` is used in messages.
ImportSource ReadImportBytes(const QByteArray &bytes, const QString &name);

}  // namespace importfile
