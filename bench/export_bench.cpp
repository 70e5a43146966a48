// The agency file export and the carry-over on income tables of 10 000 and
// 99 999 rows, each beside a plain sequential read of the same table: the
// numbering walk (first export: every F01 rewritten; again: none), the
// agency file alone, the whole export through the data entry window
// (numbering, persons, confirmation, file, copy; the report's output choice
// cancelled), and the carry-over through the window. The tables live in
// $VEDIL_BENCH_DIR (default /dev/shm, tmpfs); run it again with a folder on
// a real disk (VEDIL_BENCH_DIR=/work/tmp-bench), where every flush counts.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QApplication>
#include <QLineEdit>
#include <filesystem>

#include "agencyfile/export_file.h"
#include "agencyfile/export_rows.h"
#include "agencyfile/export_run.h"
#include "bench_income_table.h"
#include "bench_qt_main.h"
#include "records/data_entry_dlg.h"
#include "records/total_persons_dlg.h"
#include "ui/scripted_ui_driver.h"
#include "xbase/table/dbf_table.h"

namespace {

namespace fs = std::filesystem;

fs::path BenchDir() {
  static const fs::path dir = [] {
    const QString base = qEnvironmentVariable("VEDIL_BENCH_DIR", QStringLiteral("/dev/shm"));
    return fs::path(base.toStdString()) / ("vedil-export-bench-" + std::to_string(getpid()));
  }();
  return dir;
}

fs::path TableFile() { return BenchDir() / "data" / "dvel.dbf"; }

// Tables are made once on tmpfs, where appending is quick, and copied into
// place before each run.
const fs::path &Template(int rows, bool numbered) {
  static std::map<std::pair<int, bool>, fs::path> made;
  fs::path &path = made[{rows, numbered}];
  if (path.empty()) {
    if (!fs::exists(BenchDir() / "data")) bench_support::MakeProgramDir(BenchDir());
    path = fs::path("/dev/shm") / ("vedil-export-template-" + std::to_string(getpid())) /
           (std::to_string(rows) + (numbered ? "n" : "b")) / "dvel.dbf";
    bench_support::MakeIncomeTable(path, rows, numbered);
  }
  return path;
}

void PutInPlace(int rows, bool numbered) {
  fs::copy_file(Template(rows, numbered), TableFile(), fs::copy_options::overwrite_existing);
}

std::string Path(const fs::path &p) { return p.string(); }

// Every record of the table read once, in order, field by field as stored.
void SequentialRead(benchmark::State &state) {
  const int rows = static_cast<int>(state.range(0));
  PutInPlace(rows, true);
  for (auto _ : state) {
    xb::TxbDBFTable table(Path(TableFile()), true, false);
    xb::DBFObject &t = table.Table();
    t.SetReadBuffer(true);
    int64_t bytes = 0;
    for (table.GoTop(); !table.IsEOF(); table.SkipNext())
      for (int f = 1; f <= 10; ++f) bytes += static_cast<int64_t>(t.FieldGet(f).size());
    benchmark::DoNotOptimize(bytes);
  }
}

// The numbering walk on the table object; state.range(1): F01 already right.
void Numbering(benchmark::State &state) {
  const int rows = static_cast<int>(state.range(0));
  const bool numbered = state.range(1) != 0;
  for (auto _ : state) {
    state.PauseTiming();
    PutInPlace(rows, numbered);
    state.ResumeTiming();
    xb::DBFObject table(Path(TableFile()), true, true);
    const agencyfile::Numbering n = agencyfile::NumberCompleteRows(table, nullptr);
    if (!n.complete() || n.rewritten != (numbered ? 0 : rows))
      state.SkipWithError("the rows were not numbered");
  }
}

// The agency file from a numbered table: built and written (replacing the
// previous one).
void AgencyFile(benchmark::State &state) {
  const int rows = static_cast<int>(state.range(0));
  PutInPlace(rows, true);
  const QString path = QString::fromStdString(Path(BenchDir() / "data" / bench_support::kAgencyFileName));
  for (auto _ : state) {
    xb::DBFObject table(Path(TableFile()), true, false);
    const auto text = agencyfile::BuildAgencyFileFromTable(
        table, rows, agencyfile::HeaderFromSettings(), nullptr);
    if (!text || !text->error.isEmpty() ||
        !agencyfile::WriteAgencyFile(path, text->bytes).isEmpty())
      state.SkipWithError("the file was not written");
  }
}

// The data entry window on the table in place, wired as the program wires it.
struct Window {
  ui::ScriptedUiDriver ui;
  records::TDataEntryDlg window;
  records::TTotalPersonsDlg persons;
  Window() {
    window.SetPersonsDialog(&persons);
    window.SetExport(
        [](records::TDataEntryDlg &w) { agencyfile::ExportAgencyFile(agencyfile::HostOf(w)); });
  }
  void Show() {
    window.show();
    QApplication::processEvents();
  }
};

// The whole export of a table whose F01 are blank (a first export): the
// numbering, the persons count (1), Yes, the file, the copy into a folder;
// the report's output choice is cancelled.
void Export(benchmark::State &state) {
  const int rows = static_cast<int>(state.range(0));
  const fs::path copy_folder = BenchDir() / "copy";
  fs::create_directories(copy_folder);
  Window w;
  for (auto _ : state) {
    state.PauseTiming();
    PutInPlace(rows, false);
    w.Show();
    w.ui.ClearRecords();
    w.ui.QueueModal([](QDialog *d) {
      d->findChild<QLineEdit *>("Edit1")->setText("1");
      static_cast<records::TTotalPersonsDlg *>(d)->OKBtnClick();
      return d->result();
    });
    w.ui.QueueAnswer(ui::Answer::kYes);
    w.ui.QueueFolder(QString::fromStdString(copy_folder.string()));
    w.ui.QueueModal([](QDialog *) { return int(QDialog::Rejected); });
    state.ResumeTiming();

    w.window.BitBtn1Click();

    state.PauseTiming();
    if (w.ui.copies().size() != 1 || !fs::exists(copy_folder / bench_support::kAgencyFileName))
      state.SkipWithError("the file was not copied");
    w.window.reject();
    state.ResumeTiming();
  }
}

// Opening the window on an empty table and carrying over a previous year's
// table: the offer, the directory, the confirmation (all Yes), the copy and
// the window's totals.
void CarryOver(benchmark::State &state) {
  const int rows = static_cast<int>(state.range(0));
  const fs::path source = BenchDir() / "previous" / "dvel.dbf";
  fs::create_directories(source.parent_path());
  fs::copy_file(Template(rows, true), source, fs::copy_options::overwrite_existing);
  Window w;
  for (auto _ : state) {
    state.PauseTiming();
    fs::copy_file(Template(0, true), TableFile(), fs::copy_options::overwrite_existing);
    w.ui.ClearRecords();
    w.ui.QueueAnswer(ui::Answer::kYes);
    w.ui.QueueFolder(QString::fromStdString(source.parent_path().string()));
    w.ui.QueueAnswer(ui::Answer::kYes);
    state.ResumeTiming();

    w.Show();

    state.PauseTiming();
    if (w.window.Table().RecordCount() != rows) state.SkipWithError("not every row was copied");
    w.window.reject();
    state.ResumeTiming();
  }
}

void Sizes(benchmark::internal::Benchmark *b) { b->Arg(10000)->Arg(99999); }
void SizesTwice(benchmark::internal::Benchmark *b) {
  b->Args({10000, 0})->Args({10000, 1})->Args({99999, 0})->Args({99999, 1});
}

BENCHMARK(SequentialRead)->Apply(Sizes)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(Numbering)->Apply(SizesTwice)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(AgencyFile)->Apply(Sizes)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(Export)->Apply(Sizes)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(CarryOver)->Apply(Sizes)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char **argv) {
  return bench_support::RunQtBenchmarks(argc, argv, [] {
    fs::remove_all(BenchDir());
    fs::remove_all(fs::path("/dev/shm") / ("vedil-export-template-" + std::to_string(getpid())));
  });
}
