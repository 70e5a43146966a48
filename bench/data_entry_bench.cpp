// The data entry window's two heavy steps on an income table of 100 000
// rows, on tmpfs (/dev/shm): opening it (dataset open, totals walk over every
// row, the grid's first page) and deleting one row (delete, pack, totals
// from the file, reopen). Goal: under 1 s each.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QApplication>
#include <QFile>
#include <filesystem>

#include "records/data_entry_rules.h"
#include "records/income_table.h"
#include "ui/db_grid.h"
#include "xbase/dbf_builder.h"
#include "xbase/dbf_object.h"
#include "xbase/dbf_table.h"
#include "xbase/xbase_dataset.h"

namespace {

constexpr int kRows = 100000;
namespace fs = std::filesystem;

fs::path BenchDir() {
  static const fs::path dir = "/dev/shm/vedil-entry-bench-" + std::to_string(getpid());
  return dir;
}

// The income table with kRows filled rows, made once; each benchmark works
// on its own copy.
const fs::path &TemplateTable() {
  static const fs::path path = [] {
    fs::create_directories(BenchDir() / "template");
    std::vector<xb::DbfFieldSpec> fields;
    for (const QString &line : records::IncomeTableFieldList()) {
      const QStringList p = line.split(QLatin1Char(';'));
      fields.push_back({p[0].toStdString(), 'C', p[2].toInt(), 0});
    }
    const fs::path file = BenchDir() / "template" / "dvel.dbf";
    xb::CreateDbfTable(file.string(), xb::TxbDBFTypes::DBaseIV, fields);
    xb::DBFObject table(file.string(), false, true);
    for (int r = 1; r <= kRows; ++r) {
      table.BlankRecord();
      table.StringPut("F01", std::to_string(r));
      table.StringPut("F02", "0");
      table.StringPut("F03", "0");
      table.StringPut("F04", std::to_string(7501010000LL + r));
      table.StringPut("F05", "\xc8\xe2\xe0\xed \xcf\xe5\xf2\xf0\xee\xe2 " + std::to_string(r));
      table.StringPut("F06", "BG");
      table.StringPut("F07", "\xd1\xee\xf4\xe8\xff " + std::to_string(r));
      table.StringPut("F08", std::to_string(r % 5000) + ".50");
      table.StringPut("F09", std::to_string(r % 500) + ".05");
      table.StringPut("F10", "101");
      table.AppendRecord();
    }
    return file;
  }();
  return path;
}

fs::path FreshCopy(const std::string &name) {
  const fs::path dir = BenchDir() / name;
  fs::create_directories(dir);
  fs::copy_file(TemplateTable(), dir / "dvel.dbf", fs::copy_options::overwrite_existing);
  return dir;
}

void OpenDataSet(xb::TXbaseDataSet &ds, const fs::path &dir) {
  ds.TranslateASCII = false;
  ds.SetDatabaseName(dir.string());
  ds.SetTableName("dvel.dbf");
  ds.Open();
}

// The totals walk of the window's activation: every row through the dataset.
records::AmountTotals DataSetTotals(xb::TXbaseDataSet &ds) {
  records::AmountTotals totals;
  ds.DisableControls();
  for (ds.First(); !ds.Eof(); ds.Next())
    totals.Add(QString::fromLatin1(ds.StringGet("F08")), QString::fromLatin1(ds.StringGet("F09")));
  ds.First();
  ds.EnableControls();
  return totals;
}

// The totals of the table file through a simple table object.
records::AmountTotals FileTotals(xb::TxbDBFTable &t) {
  records::AmountTotals totals;
  for (t.GoTop(); !t.IsEOF(); t.SkipNext())
    totals.Add(QString::fromLatin1(t.StringGet("F08")), QString::fromLatin1(t.StringGet("F09")));
  return totals;
}

void OpenWithTotals(benchmark::State &state) {
  const fs::path dir = FreshCopy("open");
  ui::TDBGrid grid;
  grid.resize(900, 500);
  grid.show();
  for (auto _ : state) {
    xb::TXbaseDataSet ds;
    xb::TDataSource source(&ds);
    grid.SetDataSource(&source);
    OpenDataSet(ds, dir);
    benchmark::DoNotOptimize(DataSetTotals(ds));
    benchmark::DoNotOptimize(grid.viewport()->grab());
    grid.SetDataSource(nullptr);
  }
}
BENCHMARK(OpenWithTotals)->Unit(benchmark::kMillisecond);

void DeleteOneRow(benchmark::State &state) {
  ui::TDBGrid grid;
  grid.resize(900, 500);
  grid.show();
  for (auto _ : state) {
    state.PauseTiming();
    const fs::path dir = FreshCopy("delete");
    {
      xb::TXbaseDataSet ds;
      xb::TDataSource source(&ds);
      grid.SetDataSource(&source);
      OpenDataSet(ds, dir);
      ds.SetRecNo(kRows / 2);
      state.ResumeTiming();

      ds.Delete();
      ds.Close();
      ds.DisableControls();
      {
        xb::TxbDBFTable table((dir / "dvel.dbf").string(), false, true);
        table.Pack();
        benchmark::DoNotOptimize(FileTotals(table));
      }
      ds.Open();
      ds.EnableControls();
      benchmark::DoNotOptimize(grid.viewport()->grab());

      state.PauseTiming();
      if (ds.RecordCount() != kRows - 1) state.SkipWithError("the pack kept the deleted row");
      grid.SetDataSource(nullptr);
    }
    state.ResumeTiming();
  }
}
BENCHMARK(DeleteOneRow)->Unit(benchmark::kMillisecond);

// The after-post totals: the table file summed through a simple table
// object, opened shared beside the window's dataset.
void TotalsAfterPost(benchmark::State &state) {
  const fs::path dir = FreshCopy("post");
  for (auto _ : state) {
    xb::TxbDBFTable table((dir / "dvel.dbf").string(), true, false);
    benchmark::DoNotOptimize(FileTotals(table));
  }
}
BENCHMARK(TotalsAfterPost)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char **argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  fs::remove_all(BenchDir());
  return 0;
}
