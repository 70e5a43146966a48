// The import of 99 999 lines into an empty income table, from an agency file
// and from a CSV file: read, every line checked, the rows written in one
// batch; beside it a plain read of the same file line by line. Run on tmpfs:
// the figure is the time against the goal (under 5 s) and the ratio.
#include <benchmark/benchmark.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "plain_read.h"

#include "agencyfile/agency_file_reader.h"
#include "agencyfile/export_file.h"
#include "importfile/csv_export.h"
#include "importfile/import_check.h"
#include "importfile/import_run.h"
#include "importfile/import_source.h"
#include "importfile/import_write.h"
#include "records/income_table.h"
#include "records/reference_lookup.h"
#include "shell/app_paths.h"
#include "shell/identifier_checks.h"
#include "ui/codepage.h"
#include "xbase/table/db_handler.h"
#include "xbase/table/dbf_builder.h"

namespace {

constexpr int kLines = 99999;

QString WithCheckDigit(int n) {
  const QString nine = QString::number(n).rightJustified(9, QLatin1Char('0'));
  for (char digit = '0'; digit <= '9'; ++digit)
    if (shell::CheckEGN(nine + QLatin1Char(digit))) return nine + QLatin1Char(digit);
  return QString();
}

void WriteFile(const QString &path, const QByteArray &bytes) {
  QFile out(path);
  if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size()) std::abort();
}

QByteArray ReadFile(const QString &path) {
  QFile in(path);
  if (!in.open(QIODevice::ReadOnly)) std::abort();
  return in.readAll();
}

struct Fixture {
  QTemporaryDir dir{QDir(QStringLiteral("/dev/shm")).exists()
                        ? QStringLiteral("/dev/shm/importXXXXXX")
                        : QString()};
  QString data_dir, table, agency_file, csv_file;
  QByteArray empty_table;

  Fixture() {
    shell::InitAppHome(dir.path(), QStringLiteral("vedil"));
    if (!records::PrepareIncomeTable(nullptr)) std::abort();
    data_dir = shell::DataDir();
    table = shell::DataFile(shell::kIncomeTableName);
    empty_table = ReadFile(table);
    for (const auto &[name, codes] : std::vector<std::pair<QString, std::vector<const char *>>>{
             {shell::kCountriesTableName, {"BG", "DE", "FR"}},
             {shell::kIncomesTableName, {"301", "401", "820", "821"}}}) {
      const std::string path = (data_dir + name).toStdString();
      xb::CreateDbfTable(path, xb::TxbDBFTypes::DBaseIV,
                         {{"CODE", 'C', 5, 0}, {"NAME", 'C', 30, 0}});
      xb::XBO_dBHandler t(path, false, true);
      for (const char *code : codes) {
        t.BlankRecord();
        t.StringPut("CODE", code);
        t.AppendRecord();
      }
    }

    agencyfile::HeaderValues header;
    header.payer_id = QStringLiteral("121212121");
    header.payer_name = QStringLiteral("Фирма ООД");
    header.status = QStringLiteral("Active");
    header.tax_year = QStringLiteral("2025");
    std::vector<agencyfile::DetailValues> details;
    std::vector<records::StoredRow> rows;
    int person = 750101000;
    for (int i = 1; i <= kLines; ++i) {
      QString id;
      while (id.isEmpty()) id = WithCheckDigit(++person);
      agencyfile::DetailValues d{i,
                                 "0",
                                 "0",
                                 id,
                                 "Иван Петров Иванов",
                                 "",
                                 "",
                                 (1000 + i % 700) * records::kUnitsPerLev,
                                 (i % 100) * records::kUnitsPerLev,
                                 "401"};
      header.total_income += d.income;
      header.total_tax += d.tax;
      details.push_back(d);
      rows.push_back({"0", "0", id, d.names, "", "", agencyfile::AmountText(d.income),
                      agencyfile::AmountText(d.tax), "401"});
    }
    agency_file = dir.filePath(QStringLiteral("121212121.txt"));
    WriteFile(agency_file,
              QByteArray::fromStdString(agencyfile::BuildAgencyFileText(header, details).bytes));
    csv_file = dir.filePath(QStringLiteral("rows.csv"));
    WriteFile(csv_file, importfile::RowsCsv(rows));
  }
};

Fixture &TheFixture() {
  static Fixture fixture;
  return fixture;
}

void Import(benchmark::State &state, const QString &file) {
  Fixture &f = TheFixture();
  for (auto _ : state) {
    state.PauseTiming();
    WriteFile(f.table, f.empty_table);
    state.ResumeTiming();
    const importfile::ImportSource source = importfile::ReadImportFile(file);
    records::ReferenceLookup tables;
    tables.Open(f.data_dir);
    const std::vector<importfile::LineVerdict> verdicts =
        importfile::CheckLines(source.lines, tables, importfile::ReadExistingRows(f.table));
    const importfile::ImportWriteResult result =
        importfile::WriteImportedRows(f.table, importfile::AcceptedRows(verdicts),
                                      importfile::ImportMode::kAdd, QDateTime::currentDateTime());
    if (result.written != kLines) state.SkipWithError("not every line was written");
  }
}

void BM_ImportAgencyFile(benchmark::State &state) { Import(state, TheFixture().agency_file); }
BENCHMARK(BM_ImportAgencyFile)->Unit(benchmark::kMillisecond);

void BM_ImportCsv(benchmark::State &state) { Import(state, TheFixture().csv_file); }
BENCHMARK(BM_ImportCsv)->Unit(benchmark::kMillisecond);

// The agency file read line by line, nothing else: the floor of the import.
void BM_PlainRead(benchmark::State &state) { bench::PlainRead(state, TheFixture().agency_file); }
BENCHMARK(BM_PlainRead)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
