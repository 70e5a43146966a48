// Opening a dataset over a table of 100 000 rows and showing the first page
// of the data grid bound to it; then following Last and First. Run on tmpfs
// (/dev/shm). Goal for the first figure: under 100 ms.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QApplication>
#include <filesystem>

#include "bench_qt_main.h"
#include "ui/db_grid.h"
#include "xbase/dataset/xbase_dataset.h"
#include "xbase/table/dbf_builder.h"
#include "xbase/table/dbf_object.h"

namespace {

constexpr int kRows = 100000;

// A table like the income table: eleven character fields.
const std::string &TableDir() {
  static const std::string dir = [] {
    std::string d = "/dev/shm/vedil-grid-bench-" + std::to_string(getpid());
    std::filesystem::create_directories(d);
    std::vector<xb::DbfFieldSpec> fields;
    for (int i = 1; i <= 10; ++i)
      fields.push_back({"F" + std::string(i < 10 ? "0" : "") + std::to_string(i), 'C', 13, 0});
    fields.push_back({"DATETIME", 'C', 20, 0});
    const std::string path = xb::CreateDbfTable(d + "/dvel.dbf", xb::TxbDBFTypes::DBaseIV, fields);
    xb::DBFObject table(path, false, true);
    for (int r = 1; r <= kRows; ++r) {
      table.BlankRecord();
      table.StringPut("F04", std::to_string(7500000000 + r));
      table.StringPut("F05", "Name " + std::to_string(r));
      table.AppendRecord();
    }
    return d;
  }();
  return dir;
}

void OpenAndShowFirstPage(benchmark::State &state) {
  const std::string dir = TableDir();
  ui::TDBGrid grid;
  grid.resize(800, 600);
  grid.show();
  for (auto _ : state) {
    xb::TXbaseDataSet ds;
    ds.SetDatabaseName(dir);
    ds.SetTableName("dvel.dbf");
    ds.TranslateASCII = false;
    xb::TDataSource source(&ds);
    grid.SetDataSource(&source);
    ds.Open();
    benchmark::DoNotOptimize(grid.viewport()->grab());
    grid.SetDataSource(nullptr);
  }
}
BENCHMARK(OpenAndShowFirstPage)->Unit(benchmark::kMillisecond);

void LastAndFirst(benchmark::State &state) {
  const std::string dir = TableDir();
  xb::TXbaseDataSet ds;
  ds.SetDatabaseName(dir);
  ds.SetTableName("dvel.dbf");
  ds.TranslateASCII = false;
  xb::TDataSource source(&ds);
  ui::TDBGrid grid;
  grid.resize(800, 600);
  grid.SetDataSource(&source);
  grid.show();
  ds.Open();
  for (auto _ : state) {
    ds.Last();
    benchmark::DoNotOptimize(grid.viewport()->grab());
    ds.First();
    benchmark::DoNotOptimize(grid.viewport()->grab());
  }
}
BENCHMARK(LastAndFirst)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char **argv) {
  return bench_support::RunQtBenchmarks(argc, argv,
                                        [] { std::filesystem::remove_all(TableDir()); });
}
