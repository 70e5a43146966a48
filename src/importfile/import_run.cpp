// The pieces of an import run shared by the window and vedil-import.
#include "importfile/import_run.h"

namespace importfile {

ImportCounts CountVerdicts(const std::vector<LineVerdict> &verdicts) {
  ImportCounts counts;
  for (const LineVerdict &v : verdicts) ++(v.accepted() ? counts.accepted : counts.rejected);
  return counts;
}

std::vector<records::StoredRow> AcceptedRows(const std::vector<LineVerdict> &verdicts) {
  std::vector<records::StoredRow> rows;
  for (const LineVerdict &v : verdicts)
    if (v.accepted()) rows.push_back(v.row);
  return rows;
}

QString PayerMismatchText(const ImportSource &source, const QString &settings_payer_id) {
  if (!source.has_payer_id || source.payer_id == settings_payer_id.trimmed()) return {};
  return QStringLiteral("Файлът е на платец с идентификатор [%1], а в настройките е [%2].")
      .arg(source.payer_id, settings_payer_id.trimmed());
}

QString RejectedLineText(const LineVerdict &verdict) {
  return QStringLiteral("ред %1: %2")
      .arg(verdict.line)
      .arg(verdict.reasons.join(QStringLiteral("; ")));
}

}  // namespace importfile
