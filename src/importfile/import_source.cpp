// Reading a file to import into rows' texts (see import_source.h).
#include "importfile/import_source.h"

#include <QFile>
#include <QFileInfo>

#include "agencyfile/agency_check.h"
#include "agencyfile/agency_file_reader.h"
#include "agencyfile/agency_record.h"
#include "importfile/csv_reader.h"
#include "ui/codepage.h"

namespace importfile {

namespace {

bool LooksLikeAgencyFile(const QByteArray &bytes) {
  return bytes.startsWith(agencyfile::kHeaderRecordNumber);
}

// Detail record -> texts: every field as the table stores it, trailing
// blanks removed; the amounts without their leading blanks.
RowCells CellsOfRecord(const agencyfile::RecordFields &f) {
  using namespace agencyfile;
  auto right = [&](int field) { return TrimRightBlanks(f[field - 1]).toString(); };
  RowCells cells;
  cells[kForeignColumn] = right(kForeignFlagField);
  cells[kKindColumn] = right(kIdKindField);
  cells[kIdentifierColumn] = right(kIdentifierField);
  cells[kNamesColumn] = right(kNamesField);
  cells[kCountryColumn] = right(kCountryField);
  cells[kAddressColumn] = right(kAddressField);
  cells[kIncomeColumn] = TrimBlanks(f[kIncomeField - 1]).toString();
  cells[kTaxColumn] = TrimBlanks(f[kTaxField - 1]).toString();
  cells[kCodeColumn] = right(kIncomeCodeField);
  return cells;
}

void ReadAgencyFile(const QByteArray &bytes, const QString &name, ImportSource &out) {
  out.kind = SourceKind::kAgencyFile;
  out.format = QStringLiteral("файл за ВЕСКОР");
  agencyfile::AgencyFileReader reader(agencyfile::AgencySource::Memory(bytes, name));
  if (!reader.Open()) {
    out.error = reader.error();
    return;
  }
  QByteArray raw;
  int number = 0;
  while (reader.Next(&raw)) {
    ++number;
    if (number == 1) {
      if (agencyfile::IsNotCp1251(raw)) {
        out.error = agencyfile::WrongCodePageText().trimmed();
        return;
      }
      const QString header = codepage::FromCp1251(raw.constData(), raw.size());
      out.has_payer_id = true;
      out.payer_id =
          agencyfile::TrimBlanks(agencyfile::SplitRecord(header)[agencyfile::kIdentifierField - 1])
              .toString();
      continue;
    }
    SourceLine line;
    line.line = number;
    const QString text = codepage::FromCp1251(raw.constData(), raw.size());
    if (reader.length() != agencyfile::kRecordLength)
      line.problems << agencyfile::RecordLengthText(number, reader.length());
    line.cells = CellsOfRecord(agencyfile::SplitRecord(text));
    out.lines.push_back(std::move(line));
  }
  if (!reader.error().isEmpty()) out.error = reader.error();
}

void ReadCsvFile(const QByteArray &bytes, ImportSource &out) {
  out.kind = SourceKind::kCsv;
  CsvText csv = ReadCsv(bytes);
  if (!csv.error.isEmpty()) {
    out.error = csv.error;
    return;
  }
  const QString separator =
      csv.separator == QLatin1Char('\t') ? QStringLiteral("табулация") : QString(csv.separator);
  out.format = QStringLiteral("CSV (%1, %2)").arg(EncodingName(csv.encoding), separator);

  // Without a header line the columns stand in their fixed order.
  std::vector<int> columns;
  for (int c = 0; c < kColumnCount; ++c) columns.push_back(c);
  size_t first = 0;
  QString error;
  if (std::optional<std::vector<int>> header = HeaderColumns(csv.records.front().cells, &error)) {
    if (!error.isEmpty()) {
      out.error = error;
      return;
    }
    columns = *header;
    first = 1;
  }
  for (size_t r = first; r < csv.records.size(); ++r) {
    CsvRecord &record = csv.records[r];
    SourceLine line;
    line.line = record.line;
    line.problems = std::move(record.problems);
    bool extra = false;
    for (qsizetype i = 0; i < record.cells.size(); ++i) {
      const QString cell = record.cells.at(i).trimmed();
      const int column = i < static_cast<qsizetype>(columns.size()) ? columns[i] : -1;
      if (column >= 0)
        line.cells[column] = cell;
      else if (first == 0 && !cell.isEmpty())
        extra = true;  // headerless: nothing may stand right of the last column
    }
    if (extra) {
      line.problems << QStringLiteral("Редът има повече от %1 колони").arg(int(kColumnCount));
    }
    out.lines.push_back(std::move(line));
  }
}

}  // namespace

ImportSource ReadImportBytes(const QByteArray &bytes, const QString &name) {
  ImportSource out;
  if (bytes.isEmpty()) {
    out.error = QStringLiteral("Файлът [%1] е празен.").arg(name);
    return out;
  }
  if (LooksLikeAgencyFile(bytes))
    ReadAgencyFile(bytes, name, out);
  else
    ReadCsvFile(bytes, out);
  if (!out.error.isEmpty()) out.lines.clear();
  return out;
}

ImportSource ReadImportFile(const QString &path) {
  ImportSource out;
  QFile file(path);
  const QFileInfo info(path);
  QString reason;
  if (info.isDir())
    reason = QStringLiteral("това е директория");
  else if (!file.open(QIODevice::ReadOnly))
    reason = file.errorString();
  else if (file.size() > kMaxImportFileSize)
    reason = QStringLiteral("по-голям е от %1 MB").arg(kMaxImportFileSize / (1024 * 1024));
  if (!reason.isEmpty()) {
    out.error = QStringLiteral("Файлът [%1] не може да бъде прочетен (%2).").arg(path, reason);
    return out;
  }
  const QByteArray bytes = file.readAll();
  if (file.error() != QFileDevice::NoError) {
    out.error =
        QStringLiteral("Файлът [%1] не може да бъде прочетен (%2).").arg(path, file.errorString());
    return out;
  }
  return ReadImportBytes(bytes, path);
}

}  // namespace importfile
