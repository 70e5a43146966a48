// The verdict on each imported line (see import_check.h).
#include "importfile/import_check.h"

#include "records/duplicate_check.h"
#include "records/field_limits.h"
#include "shell/editor_messages.h"
#include "ui/codepage.h"
#include "ui/engine_text.h"
#include "xbase/table/dbf_table.h"

namespace importfile {

namespace {

std::string TrimmedField(xb::TxbDBFTable &table, const char *field) {
  std::string value = table.StringGet(field);
  while (!value.empty() && value.back() == ' ') value.pop_back();
  return value;
}

QString MessageText(int number) {
  return number == records::kMsgChooseKind ? QString::fromUtf8(records::kMsgChooseKindText)
                                           : shell::MsgText(number);
}

}  // namespace

ExistingRows ReadExistingRows(const QString &table_path) {
  ExistingRows rows;
  xb::TxbDBFTable table(ui::EnginePath(table_path), true, false);
  for (table.GoTop(); !table.IsEOF(); table.SkipNext()) {
    ++rows.count;
    const QString identifier = codepage::FromCp1251(TrimmedField(table, "F04"));
    const QString code = codepage::FromCp1251(TrimmedField(table, "F10"));
    if (!records::TakesPartInDuplicateRule(identifier, code)) continue;
    rows.keys.emplace(records::DuplicateSearchKey(identifier, code), table.Table().RecordNumber());
  }
  return rows;
}

ImportChecker::ImportChecker(const records::ReferenceTables &tables, ExistingRows existing)
    : tables_(tables), existing_(std::move(existing)) {}

LineVerdict ImportChecker::Check(const SourceLine &line) {
  LineVerdict verdict;
  verdict.line = line.line;
  verdict.reasons = line.problems;
  const records::StoredRow texts = StoredTexts(line.cells);
  verdict.reasons << records::FieldLimitProblems(texts, ColumnLabels());

  records::RowValues values = records::ValuesOfStoredRow(texts);
  // The editor's "Запис" compares a foreign person's country in capitals.
  if (values.foreign) values.country = records::CountryCodeUpper(values.country);
  for (int number : records::ValidateRow(values, tables_)) verdict.reasons << MessageText(number);
  verdict.row = records::StoreRow(values);
  if (!verdict.accepted()) return verdict;

  const QString &identifier = verdict.row.identifier;
  const QString &code = verdict.row.code;
  std::string key;
  if (records::TakesPartInDuplicateRule(identifier, code)) {
    key = records::DuplicateSearchKey(identifier, code);
    if (auto found = existing_.keys.find(key); found != existing_.keys.end()) {
      verdict.reasons
          << records::DuplicateWarningText(found->second, identifier, code).simplified();
    } else if (auto same = file_keys_.find(key); same != file_keys_.end()) {
      verdict.reasons << QStringLiteral(
                             "За едно лице, доходите от един вид, се въвеждат сумарно ! Ред %1 "
                             "на файла е със същите <идентификатор> и <код доход> %2 %3")
                             .arg(same->second)
                             .arg(identifier, code);
    }
  }
  if (verdict.accepted() && existing_.count + accepted_ >= kMaxTableRows) {
    verdict.reasons << QStringLiteral(
                           "Таблицата не може да има повече от %1 реда: толкова побира файлът за "
                           "ВЕСКОР")
                           .arg(kMaxTableRows);
  }
  if (!verdict.accepted()) return verdict;
  if (!key.empty()) file_keys_.emplace(std::move(key), line.line);
  ++accepted_;
  return verdict;
}

std::vector<LineVerdict> CheckLines(const std::vector<SourceLine> &lines,
                                    const records::ReferenceTables &tables,
                                    const ExistingRows &existing) {
  ImportChecker checker(tables, existing);
  std::vector<LineVerdict> verdicts;
  verdicts.reserve(lines.size());
  for (const SourceLine &line : lines) verdicts.push_back(checker.Check(line));
  return verdicts;
}

}  // namespace importfile
