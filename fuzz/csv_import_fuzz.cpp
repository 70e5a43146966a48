// libFuzzer target: the input is a file to import. It is read as CSV and as
// an import source (CSV or agency file, told by its first line) and every
// line is checked as the import checks it. Nothing may crash; the cells of a
// record stay within their count; a record read without problems, written
// back as a CSV line, reads back as the same cells; every accepted row fits
// the fields of the income table.
#include <cstdint>

#include "fuzz_files.h"
#include "importfile/csv_reader.h"
#include "importfile/import_check.h"
#include "importfile/import_source.h"

namespace {

class Tables : public records::ReferenceTables {
 public:
  bool HasCountry(const QString &code) const override {
    return code == QLatin1String("BG") || code == QLatin1String("DE");
  }
  bool HasIncomeCode(const QString &code) const override {
    return code == QLatin1String("401") || code == QLatin1String("820") ||
           code == QLatin1String("821") || code == QLatin1String("901");
  }
};

bool Blank(const QStringList &cells) {
  for (const QString &cell : cells)
    if (!cell.trimmed().isEmpty()) return false;
  return true;
}

void CheckCsv(const QByteArray &input) {
  const importfile::CsvText csv = importfile::ReadCsv(input);
  int last_line = 0;
  for (const importfile::CsvRecord &record : csv.records) {
    fuzz::Require(record.line > last_line, "records out of line order");
    fuzz::Require(record.cells.size() <= importfile::kMaxCsvCells, "too many cells kept");
    last_line = record.line;
    if (!record.problems.isEmpty() || Blank(record.cells)) continue;
    const importfile::CsvText again =
        importfile::ReadCsv(importfile::CsvLine(record.cells, csv.separator) + "\r\n");
    fuzz::Require(again.records.size() == 1 && again.records[0].cells == record.cells,
                  "a written CSV line does not read back as its cells");
  }
}

void CheckImport(const QByteArray &input) {
  const importfile::ImportSource source = importfile::ReadImportBytes(input, "fuzz");
  fuzz::Require(source.error.isEmpty() || source.lines.empty(), "lines beside an error");
  const Tables tables;
  for (const importfile::LineVerdict &v : importfile::CheckLines(source.lines, tables, {})) {
    if (!v.accepted()) continue;
    const records::StoredRow &r = v.row;
    fuzz::Require(r.foreign_flag.size() == 1 && r.kind.size() == 1 && r.identifier.size() <= 13 &&
                      r.names.size() <= 40 && r.country.size() <= 2 && r.address.size() <= 40 &&
                      r.income.size() <= 13 && r.tax.size() <= 13 && r.code.size() <= 5,
                  "an accepted row does not fit the table");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  const QByteArray input(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
  CheckCsv(input);
  CheckImport(input);
  return 0;
}
