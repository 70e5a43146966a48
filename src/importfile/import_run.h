// The import as the window and vedil-import run it: the file read, every
// line checked against the reference tables and (when adding) the table's
// rows, the payer identifier of an agency file's header compared with the
// payer's settings, and the texts both show.
#pragma once

#include <QString>
#include <vector>

#include "importfile/import_check.h"
#include "importfile/import_source.h"
#include "importfile/import_write.h"

namespace importfile {

struct ImportCounts {
  qint64 accepted = 0;
  qint64 rejected = 0;
};
ImportCounts CountVerdicts(const std::vector<LineVerdict> &verdicts);

// The accepted lines' rows, in file order.
std::vector<records::StoredRow> AcceptedRows(const std::vector<LineVerdict> &verdicts);

// The warning for an agency file whose header names another payer than the
// settings (`settings_payer_id`); empty when they agree or the file has no
// header.
QString PayerMismatchText(const ImportSource &source, const QString &settings_payer_id);

// One line for a rejected line: "ред 12: reason; reason".
QString RejectedLineText(const LineVerdict &verdict);

}  // namespace importfile
