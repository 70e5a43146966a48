// CSV files of rows and of rejected lines (see csv_export.h).
#include "importfile/csv_export.h"

#include <QSaveFile>

#include "importfile/csv_reader.h"
#include "ui/codepage.h"
#include "ui/engine_text.h"
#include "xbase/table/dbf_table.h"

namespace importfile {

namespace {

constexpr char kBom[] = "\xEF\xBB\xBF";
constexpr char kLineEnd[] = "\r\n";
const QChar kSeparator = QLatin1Char(';');

QString Field(xb::TxbDBFTable &table, const char *name) {
  std::string value = table.StringGet(name);
  while (!value.empty() && value.back() == ' ') value.pop_back();
  return codepage::FromCp1251(value);
}

QStringList CellList(const RowCells &cells) { return QStringList(cells.begin(), cells.end()); }

QByteArray Csv(const QStringList &header, const std::vector<QStringList> &lines) {
  QByteArray out(kBom);
  out += CsvLine(header, kSeparator) + kLineEnd;
  for (const QStringList &line : lines) out += CsvLine(line, kSeparator) + kLineEnd;
  return out;
}

}  // namespace

std::vector<records::StoredRow> ReadTableRows(const QString &table_path) {
  std::vector<records::StoredRow> rows;
  xb::TxbDBFTable table(ui::EnginePath(table_path), true, false);
  for (table.GoTop(); !table.IsEOF(); table.SkipNext()) {
    rows.push_back({Field(table, "F02"), Field(table, "F03"), Field(table, "F04"),
                    Field(table, "F05"), Field(table, "F06"), Field(table, "F07"),
                    Field(table, "F08"), Field(table, "F09"), Field(table, "F10")});
  }
  return rows;
}

QByteArray RowsCsv(const std::vector<records::StoredRow> &rows) {
  std::vector<QStringList> lines;
  lines.reserve(rows.size());
  for (const records::StoredRow &row : rows) lines.push_back(CellList(CellsOfRow(row)));
  return Csv(HeaderCells(), lines);
}

QByteArray RejectedLinesCsv(const ImportSource &source, const std::vector<LineVerdict> &verdicts) {
  std::vector<QStringList> lines;
  for (size_t i = 0; i < verdicts.size() && i < source.lines.size(); ++i) {
    if (verdicts[i].accepted()) continue;
    lines.push_back(CellList(source.lines[i].cells)
                    << QString::number(verdicts[i].line)
                    << verdicts[i].reasons.join(QStringLiteral("; ")));
  }
  return Csv(HeaderCells() << QStringLiteral("Ред") << QStringLiteral("Причини"), lines);
}

QString WriteCsvFile(const QString &path, const QByteArray &bytes) {
  QSaveFile file(path);
  if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit())
    return {};
  return QStringLiteral("Файлът [%1] не може да бъде записан: %2").arg(path, file.errorString());
}

}  // namespace importfile
