// The two reports as the data entry window prints them, on income tables of
// 10 000 and 99 999 rows on tmpfs (/dev/shm): "Report1" and "Report2" to a
// PDF file, the time until the preview shows its first page and until it
// has laid out its last, each next to a plain walk over the same dataset
// reading every field. Goals: 10 000
// rows under 10 s, 99 999 under 60 s, the first preview page under 2 s.
//
//   report_bench --write-samples=DIR [N,N...]
//       writes report1-N.pdf and report2-N.pdf for N rows (1, 40, 1000 when
//       not given) and stops
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QLineEdit>
#include <QPdfWriter>
#include <QProgressBar>
#include <QSpinBox>
#include <filesystem>

#include "agencyfile/export_rows.h"
#include "agencyfile/export_run.h"
#include "agencyfile/report_parameters.h"
#include "agencyfile/report_printing.h"
#include "income_bench_table.h"
#include "records/data_entry_dlg.h"
#include "settings/payer_settings.h"
#include "shell/app_paths.h"
#include "shell/payer_record.h"
#include "ui/codepage.h"
#include "ui/qt_progress.h"
#include "ui/report_dataset_source.h"
#include "ui/report_output.h"
#include "ui/report_preview.h"
#include "ui/report_renderer.h"
#include "ui/scripted_ui_driver.h"

namespace {

namespace fs = std::filesystem;

fs::path BenchDir() {
  static const fs::path dir = "/dev/shm/vedil-report-bench-" + std::to_string(getpid());
  return dir;
}

fs::path TableFile() { return BenchDir() / "data" / "dvel.dbf"; }

// Names, addresses and income codes of varying length, so that some rows
// wrap in the name, address and income-name columns as real ones do.
const char *const kFirst[] = {"Иван", "Мария", "Александър", "Стефка", "Христо", "Йорданка",
                              "Георги", "Параскева"};
const char *const kMiddle[] = {"Петров", "Николаева", "Константинов", "Димитрова", "Ал."};
const char *const kLast[] = {"Иванов", "Петрова-Стоянова", "Хаджиконстантинов", "Ко",
                             "Василева-Попгеоргиева"};
const char *const kPlaces[] = {"гр. София, 1000, ул. Витоша № 15",
                               "с. Долно Камарци, 2129, ул. Първа № 1",
                               "гр. Велико Търново, 5000, бул. България",
                               "Berlin, 10115, Hauptstrasse 1", "гр. Русе"};
const char *const kCodes[] = {"101",  "3071", "303", "401", "501", "602", "801",
                              "30711", "811", "820", "821", "907", "305"};

std::string Cp1251(const QString &text, int width) {
  return codepage::ToCp1251(text.left(width));
}

// Writes an income table of `rows` complete rows at `file`.
void MakeIncomeTable(const fs::path &file, int rows) {
  bench::WriteIncomeRecords(file, rows, [](xb::DBFObject &table, int r) {
    const bool foreign = r % 7 == 0;
    const QString names = QString::fromUtf8(kFirst[r % 8]) + u' ' +
                          QString::fromUtf8(kMiddle[r % 5]) + u' ' +
                          QString::fromUtf8(kLast[(r / 3) % 5]);
    table.StringPut("F02", foreign ? "1" : "0");
    table.StringPut("F03", foreign ? "2" : (r % 11 == 0 ? "1" : "0"));
    table.StringPut("F04", std::to_string(7501010000LL + r));
    table.StringPut("F05", Cp1251(names, 40));
    table.StringPut("F06", foreign ? "DE" : "BG");
    table.StringPut("F07", Cp1251(QString::fromUtf8(kPlaces[r % 5]), 40));
    table.StringPut("F08", std::to_string(100 + r % 5000) + ".50");
    table.StringPut("F09", std::to_string(10 + r % 500) + ".05");
    table.StringPut("F10", kCodes[r % 13]);
  });
}

void MakeProgramHome() {
  static bool made = false;
  if (made) return;
  made = true;
  shell::InitAppPaths(QString::fromStdString((BenchDir() / "vedil").string()));
  fs::create_directories(BenchDir() / "data");
  for (const char *name : {shell::kCountriesTableName, shell::kIncomesTableName})
    fs::copy_file(fs::path(VEDIL_SOURCE_DIR) / "data" / "tables" / name,
                  BenchDir() / "data" / name, fs::copy_options::overwrite_existing);
  fs::copy_file(fs::path(VEDIL_SOURCE_DIR) / "data" / "vedil.rav",
                agencyfile::ReportProjectPath().toStdString(),
                fs::copy_options::overwrite_existing);
  shell::PayerRecord payer;
  payer[shell::kFiscalYear] = "2024";
  payer[shell::kOwnerNoType] = "ЕИК";
  payer[shell::kOwnerNo] = "121212123";
  payer[shell::kOwnerName] = "Примерна Фирма ЕООД";
  payer[shell::kOwnerObl] = "София-град";
  payer[shell::kOwnerObst] = "Столична";
  payer[shell::kOwnerNM] = "гр.София";
  payer[shell::kOwnerPK] = "1000";
  payer[shell::kOwnerAddr] = "ул.";
  payer[shell::kOwnerAddrName] = "Витоша";
  payer[shell::kOwnerAddrNo] = "15";
  payer[shell::kOwnerPhone] = "02 123 4567";
  payer[shell::kOwnerEMail] = "office@primer.bg";
  payer[shell::kAuthorizedPersonName] = "Иван Петров Иванов";
  payer[shell::kAuthorizedPersonID] = "7501010005";
  payer[shell::kStatus] = "Active";
  settings::SavePayerRecord(payer);
  shell::PayerData = payer;
}

// Scripted answers, but the program's own progress dialog (offscreen), so
// that its cost is measured with the rest.
class BenchDriver : public ui::ScriptedUiDriver {
 public:
  std::unique_ptr<ui::ProgressSession> BeginProgress(const ui::ProgressRequest &request) override {
    return ui::MakeQtProgress(request);
  }
};

// The data entry window open on a table of `rows` rows, with what the
// printing needs of it; the number of persons is confirmed as 10.
class Program {
 public:
  explicit Program(int rows) {
    MakeProgramHome();
    MakeIncomeTable(TableFile(), rows);
    window_.show();
    QApplication::processEvents();
    ui_.ClearRecords();
    host_.window = &window_;
    host_.table = &window_.Table();
    host_.incomes = &window_.Incomes();
    host_.ask_persons_count = [this] {
      persons_ = QStringLiteral("10");
      return true;
    };
    host_.persons_count = &persons_;
    host_.set_activation_handler = [this](bool on) { window_.SetActivationAttached(on); };
    host_.income_total = [this] { return window_.IncomeTotalText(); };
    host_.tax_total = [this] { return window_.TaxTotalText(); };
  }
  ~Program() { window_.reject(); }

  // The print button with the output choice answered by `choice`; then
  // `on_preview` gets the preview window when the preview was chosen.
  void PrintReport1(const ui::ReportOutputChoice &choice,
                    const std::function<void(QDialog *)> &on_preview = {}) {
    QueueChoice(choice, on_preview);
    agencyfile::PrintIncomeReport(host_);
  }

  // "Report2" as the export runs it after the file was placed.
  void RunReport2(const ui::ReportOutputChoice &choice) {
    QueueChoice(choice, {});
    ui::ReportRenderer renderer;
    ui::DataSetRowSource rows(window_.Table()), incomes(window_.Incomes());
    renderer.SetConnection(QStringLiteral("RvDataSetConnection1"), &rows);
    renderer.SetConnection(QStringLiteral("RvDataSetConnection2"), &incomes);
    agencyfile::RunReport(renderer, {&window_, host_.set_activation_handler, QStringLiteral("x")},
                          QString::fromUtf8(agencyfile::kReport2),
                          agencyfile::Report2Params(QStringLiteral("10")), {});
  }

  // A plain walk over the window's dataset with its views suspended,
  // reading every field as text.
  size_t ReadAll() {
    xb::TDataSet &table = window_.Table();
    xb::TViewsSuspended suspended(table);
    static const char *const kFields[] = {"F01", "F02", "F03", "F04", "F05",
                                          "F06", "F07", "F08", "F09", "F10"};
    size_t bytes = 0;
    for (table.First(); !table.Eof(); table.Next())
      for (const char *field : kFields) bytes += table.FieldByName(field).AsString().size();
    table.First();
    return bytes;
  }

  // The numbering walk the print button makes before the report.
  bool NumberRows() {
    const bool complete =
        agencyfile::NumberCompleteRows(*window_.Table().Table(), nullptr).complete();
    window_.Table().First();  // the dataset is moved before it is used again
    return complete;
  }

  // "Report1" through the renderer alone, into a PDF file: the rows read,
  // measured and painted, without the print button's walk and dialogs.
  int RenderReport1(const QString &pdf) {
    ui::ReportRenderer renderer;
    ui::DataSetRowSource rows(window_.Table()), incomes(window_.Incomes());
    renderer.SetProjectFile(agencyfile::ReportProjectPath());
    renderer.SetConnection(QStringLiteral("RvDataSetConnection1"), &rows);
    renderer.SetConnection(QStringLiteral("RvDataSetConnection2"), &incomes);
    agencyfile::SetReportParams(
        renderer, agencyfile::Report1Params(window_.Table().RecordCount(),
                                            window_.IncomeTotalText(), window_.TaxTotalText()));
    renderer.SetParam(QStringLiteral("TotalPersons"), QStringLiteral("10"));
    if (!renderer.SelectReport(QString::fromUtf8(agencyfile::kReport1))) return 0;
    QFile file(pdf);
    if (!file.open(QIODevice::WriteOnly)) return 0;
    QPdfWriter writer(&file);
    return renderer.Paint(writer);
  }

  QString Errors() const { return ui_.MessageTexts().join(u'|'); }
  void ClearRecords() { ui_.ClearRecords(); }

 private:
  void QueueChoice(const ui::ReportOutputChoice &choice,
                   const std::function<void(QDialog *)> &on_preview) {
    ui_.QueueModal([choice](QDialog *dialog) {
      auto *setup = qobject_cast<ui::ReportOutputDialog *>(dialog);
      if (!setup) return int(QDialog::Rejected);
      setup->Select(choice);
      return int(QDialog::Accepted);
    });
    if (choice.destination == ui::ReportDestination::kPreview) {
      ui_.QueueModal([on_preview](QDialog *dialog) {
        if (on_preview) on_preview(dialog);
        return int(QDialog::Accepted);
      });
    }
  }

  BenchDriver ui_;
  records::TDataEntryDlg window_;
  agencyfile::DataEntryHost host_;
  QString persons_;
};

QString PdfPath() { return QString::fromStdString((BenchDir() / "report.pdf").string()); }

void CheckPdf(benchmark::State &state, Program &program) {
  QFile pdf(PdfPath());
  if (!pdf.exists() || pdf.size() < 1000 || !program.Errors().isEmpty())
    state.SkipWithError(("no report: " + program.Errors().toStdString()).c_str());
  QFile::remove(PdfPath());
  program.ClearRecords();
}

void SequentialRead(benchmark::State &state) {
  Program program(static_cast<int>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(program.ReadAll());
}
BENCHMARK(SequentialRead)->Arg(10000)->Arg(99999)->Unit(benchmark::kMillisecond);

void NumberingWalk(benchmark::State &state) {
  Program program(static_cast<int>(state.range(0)));
  for (auto _ : state)
    if (!program.NumberRows()) state.SkipWithError("a row was incomplete");
}
BENCHMARK(NumberingWalk)->Arg(10000)->Arg(99999)->Unit(benchmark::kMillisecond)->Iterations(1);

void Report1RendererOnly(benchmark::State &state) {
  Program program(static_cast<int>(state.range(0)));
  for (auto _ : state)
    if (program.RenderReport1(PdfPath()) < 2) state.SkipWithError("no pages");
}
BENCHMARK(Report1RendererOnly)->Arg(10000)->Arg(99999)->Unit(benchmark::kMillisecond)
    ->Iterations(1);

void Report1Pdf(benchmark::State &state) {
  Program program(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    program.PrintReport1({ui::ReportDestination::kPdfFile, PdfPath()});
    state.PauseTiming();
    CheckPdf(state, program);
    state.ResumeTiming();
  }
}
BENCHMARK(Report1Pdf)->Arg(10000)->Arg(99999)->Unit(benchmark::kMillisecond)->Iterations(1);

void Report2Pdf(benchmark::State &state) {
  Program program(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    program.RunReport2({ui::ReportDestination::kPdfFile, PdfPath()});
    state.PauseTiming();
    CheckPdf(state, program);
    state.ResumeTiming();
  }
}
BENCHMARK(Report2Pdf)->Arg(10000)->Arg(99999)->Unit(benchmark::kMillisecond);

// From the print button to the preview window showing its first page.
void Report1FirstPreviewPage(benchmark::State &state) {
  Program program(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    bool shown = false;
    program.PrintReport1({ui::ReportDestination::kPreview, {}}, [&shown](QDialog *preview) {
      preview->show();
      QApplication::processEvents();
      shown = !preview->grab().isNull();
      preview->hide();
    });
    if (!shown) state.SkipWithError("no preview");
    program.ClearRecords();
  }
}
BENCHMARK(Report1FirstPreviewPage)->Arg(10000)->Arg(99999)->Unit(benchmark::kMillisecond)
    ->Iterations(1);

// From the print button until the open preview has laid out its last page
// and shows the page count; "pages" is that count.
void Report1PreviewAllPages(benchmark::State &state) {
  Program program(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    int pages = 0;
    program.PrintReport1({ui::ReportDestination::kPreview, {}}, [&pages](QDialog *preview) {
      preview->show();
      auto *view = preview->findChild<ui::ReportPageView *>();
      auto *page = preview->findChild<QSpinBox *>(QStringLiteral("PreviewPage"));
      auto *laying = preview->findChild<QProgressBar *>(QStringLiteral("PreviewLayoutProgress"));
      while (laying && !laying->isHidden()) QApplication::processEvents();
      view->viewport()->grab();
      pages = page ? page->maximum() : 0;
      preview->hide();
    });
    state.counters["pages"] = pages;
    if (pages < 2) state.SkipWithError("no pages");
    program.ClearRecords();
  }
}
BENCHMARK(Report1PreviewAllPages)->Arg(10000)->Arg(99999)->Unit(benchmark::kMillisecond)
    ->Iterations(1);

// Renders the sample PDFs that the pages of a changed renderer are compared
// with.
int WriteSamples(const QString &dir, const QList<int> &counts) {
  for (int rows : counts) {
    Program program(rows);
    program.PrintReport1(
        {ui::ReportDestination::kPdfFile, QStringLiteral("%1/report1-%2.pdf").arg(dir).arg(rows)});
    program.RunReport2(
        {ui::ReportDestination::kPdfFile, QStringLiteral("%1/report2-%2.pdf").arg(dir).arg(rows)});
    if (!program.Errors().isEmpty()) {
      qWarning("%s", qPrintable(program.Errors()));
      return 1;
    }
  }
  return 0;
}

}  // namespace

int main(int argc, char **argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  int result = 0;
  const QString samples = QStringLiteral("--write-samples=");
  if (argc > 1 && QString::fromLocal8Bit(argv[1]).startsWith(samples)) {
    QList<int> counts = {1, 40, 1000};
    if (argc > 2) {
      counts.clear();
      for (const QString &n : QString::fromLocal8Bit(argv[2]).split(u',')) counts << n.toInt();
    }
    result = WriteSamples(QString::fromLocal8Bit(argv[1]).mid(samples.size()), counts);
  } else {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
  }
  fs::remove_all(BenchDir());
  return result;
}
