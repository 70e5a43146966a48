// The rows of the income table as a CSV file for a spreadsheet: UTF-8 with a
// byte order mark (so that spreadsheets take it for UTF-8), ';' between the
// cells, a header line with the column names, amounts with a decimal comma,
// every line ended by CR LF. Importing such a file gives the same rows back.
// The lines an import rejected are written the same way, with their line
// number and reasons in two more columns that an import ignores.
#pragma once

#include <QByteArray>
#include <QString>
#include <vector>

#include "importfile/import_check.h"
#include "records/stored_row.h"

namespace importfile {

// The visible rows of the table file, in table order. Engine errors are
// thrown.
std::vector<records::StoredRow> ReadTableRows(const QString &table_path);

QByteArray RowsCsv(const std::vector<records::StoredRow> &rows);

// The rejected lines of `source` (with `verdicts` its lines' verdicts, in the
// same order): their texts as read, the line number and the reasons.
QByteArray RejectedLinesCsv(const ImportSource &source, const std::vector<LineVerdict> &verdicts);

// Writes bytes to `path` through a file that replaces it only when complete;
// empty on success, else the message naming the file.
QString WriteCsvFile(const QString &path, const QByteArray &bytes);

}  // namespace importfile
