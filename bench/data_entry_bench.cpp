// The data entry window on an income table of 100 000 rows, on tmpfs
// (/dev/shm): opening it (activation with the totals walk, the grid's first
// page) and deleting one row (question answered Yes, delete, pack, totals,
// reopen, the grid again); goal under 1 s each. Also the after-save totals.
// The carry-over's benchmark is export_bench.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QApplication>
#include <QFile>
#include <filesystem>

#include "bench_income_table.h"
#include "bench_qt_main.h"
#include "records/data_entry_dlg.h"
#include "records/income_totals.h"
#include "ui/db_grid.h"
#include "ui/scripted_ui_driver.h"
#include "ui/xbase_navigator.h"
#include "xbase/table/dbf_object.h"

namespace {

constexpr int kRows = 100000;
namespace fs = std::filesystem;

fs::path BenchDir() {
  static const fs::path dir = "/dev/shm/vedil-entry-bench-" + std::to_string(getpid());
  return dir;
}

fs::path TableFile() { return BenchDir() / "data" / "dvel.dbf"; }

// The program directory with its reference tables, and a table of kRows
// rows kept aside; each benchmark copies it into place.
const fs::path &TemplateTable() {
  static const fs::path path = [] {
    bench_support::MakeProgramDir(BenchDir());
    const fs::path file = BenchDir() / "template" / "dvel.dbf";
    bench_support::MakeIncomeTable(file, kRows);
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

}  // namespace

int main(int argc, char **argv) {
  return bench_support::RunQtBenchmarks(argc, argv, [] { fs::remove_all(BenchDir()); });
}
