// The data entry window on an income table of 100 000 rows, on tmpfs
// (/dev/shm): opening it (activation with the totals walk, the grid's first
// page) and deleting one row (question answered Yes, delete, pack, totals,
// reopen, the grid again); goal under 1 s each. Also the after-save totals
// and the carry-over of a previous year's table through the window.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QApplication>
#include <QFile>
#include <filesystem>

#include "income_bench_table.h"
#include "records/data_entry_dlg.h"
#include "records/income_table.h"
#include "records/income_totals.h"
#include "shell/globals.h"
#include "ui/db_grid.h"
#include "ui/scripted_ui_driver.h"
#include "ui/xbase_navigator.h"
#include "xbase/dbf_object.h"

namespace {

constexpr int kRows = 100000;
namespace fs = std::filesystem;

fs::path BenchDir() {
  static const fs::path dir = "/dev/shm/vedil-entry-bench-" + std::to_string(getpid());
  return dir;
}

fs::path TableFile() { return BenchDir() / "data" / "dvel.dbf"; }

// Writes an income table of `rows` filled rows at `file`.
void MakeIncomeTable(const fs::path &file, int rows) {
  bench::WriteIncomeRecords(file, rows, [](xb::DBFObject &table, int r) {
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
  });
}

// The program directory with its reference tables, and a table of kRows
// rows kept aside; each benchmark copies it into place.
const fs::path &TemplateTable() {
  static const fs::path path = [] {
    shell::InitAppPaths(QString::fromStdString((BenchDir() / "vedil").string()));
    fs::create_directories(BenchDir() / "data");
    for (const char *name : {shell::kCountriesTableName, shell::kIncomesTableName})
      fs::copy_file(fs::path(VEDIL_SOURCE_DIR) / "data" / "tables" / name,
                    BenchDir() / "data" / name, fs::copy_options::overwrite_existing);
    const fs::path file = BenchDir() / "template" / "dvel.dbf";
    MakeIncomeTable(file, kRows);
    return file;
  }();
  return path;
}

void PutTemplateInPlace() {
  fs::copy_file(TemplateTable(), TableFile(), fs::copy_options::overwrite_existing);
}

// Shows the window and runs its activation (queued by the showing).
void ShowWindow(records::TDataEntryDlg &window) {
  window.show();
  QApplication::processEvents();
}

// Opens the window on the table in place, shows the grid's first page,
// then moves `steps` rows down and shows the grid again; the table must
// show `rows` rows.
void OpenAndBrowse(benchmark::State &state, int steps, int rows) {
  ui::ScriptedUiDriver ui;
  records::TDataEntryDlg window;
  auto *grid = window.findChild<ui::TDBGrid *>("CRDBGrid1");
  for (auto _ : state) {
    ShowWindow(window);
    benchmark::DoNotOptimize(grid->viewport()->grab());
    if (steps > 0) {
      for (int i = 0; i < steps; ++i) window.Table().Next();
      benchmark::DoNotOptimize(grid->viewport()->grab());
    }
    state.PauseTiming();
    if (window.Table().RecordCount() != rows || window.IncomeTotalText() == "0.00")
      state.SkipWithError("the window did not open the table");
    window.reject();
    state.ResumeTiming();
  }
}

void OpenWindow(benchmark::State &state) {
  PutTemplateInPlace();
  OpenAndBrowse(state, 0, kRows);
}
BENCHMARK(OpenWindow)->Unit(benchmark::kMillisecond);

// The window over a table that still holds a row marked deleted (a pack
// that found the file held by another program): the grid walks the visible
// rows and the record count is counted. Opening, then ten rows down.
void OpenWindowWithDeletedRow(benchmark::State &state) {
  PutTemplateInPlace();
  {
    xb::DBFObject table(TableFile().string(), false, true);
    table.GoToRecord(kRows / 2);
    table.DeleteRecord();
  }
  OpenAndBrowse(state, 10, kRows - 1);
}
BENCHMARK(OpenWindowWithDeletedRow)->Unit(benchmark::kMillisecond);

void DeleteRow(benchmark::State &state) {
  ui::ScriptedUiDriver ui;
  records::TDataEntryDlg window;
  auto *grid = window.findChild<ui::TDBGrid *>("CRDBGrid1");
  auto *navigator = window.findChild<ui::TXbaseNavigator *>("XbaseNavigator1");
  for (auto _ : state) {
    state.PauseTiming();
    PutTemplateInPlace();
    ShowWindow(window);
    window.Table().SetRecNo(kRows / 2);
    ui.QueueAnswer(ui::Answer::kYes);
    state.ResumeTiming();

    navigator->ButtonAction(ui::TXbaseNavigateBtn::nbDelete);
    benchmark::DoNotOptimize(grid->viewport()->grab());

    state.PauseTiming();
    if (window.Table().RecordCount() != kRows - 1 || ui.messages().size() != 1)
      state.SkipWithError("the row was not deleted and packed");
    ui.ClearRecords();
    window.reject();
    state.ResumeTiming();
  }
}
BENCHMARK(DeleteRow)->Unit(benchmark::kMillisecond);

// The totals the window shows again after every save, read from the file
// beside its open dataset.
void TotalsAfterSave(benchmark::State &state) {
  PutTemplateInPlace();
  const QString path = QString::fromStdString(TableFile().string());
  for (auto _ : state) benchmark::DoNotOptimize(records::SumIncomeTableFile(path));
}
BENCHMARK(TotalsAfterSave)->Unit(benchmark::kMillisecond);

// Opening the window on an empty table and carrying over a previous year's
// table of state.range(0) rows: the offer, the directory, the confirmation
// (all Yes), the copy with its after-save totals, the window's own totals.
void CarryOver(benchmark::State &state) {
  const int rows = static_cast<int>(state.range(0));
  TemplateTable();
  const fs::path source = BenchDir() / "previous";
  MakeIncomeTable(source / "dvel.dbf", rows);
  ui::ScriptedUiDriver ui;
  records::TDataEntryDlg window;
  for (auto _ : state) {
    state.PauseTiming();
    MakeIncomeTable(TableFile(), 0);
    ui.QueueAnswer(ui::Answer::kYes);
    ui.QueueFolder(QString::fromStdString(source.string()));
    ui.QueueAnswer(ui::Answer::kYes);
    state.ResumeTiming();

    ShowWindow(window);

    state.PauseTiming();
    if (window.Table().RecordCount() != rows) state.SkipWithError("not every row was copied");
    ui.ClearRecords();
    window.reject();
    state.ResumeTiming();
  }
}
BENCHMARK(CarryOver)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

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
