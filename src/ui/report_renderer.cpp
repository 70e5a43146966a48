// The renderer facade; see report_renderer.h.
#include "ui/report_renderer.h"

#include <QFileInfo>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrinter>
#include <QSaveFile>
#include <limits>

#include "ui/progress.h"
#include "ui/report_output.h"
#include "ui/report_pages.h"
#include "ui/report_paint.h"
#include "ui/report_preview.h"
#include "ui/ui_driver.h"

namespace ui {
namespace {

// The rows read before the preview opens: enough for its first pages, and
// all the rows of a short report, which then opens complete.
constexpr int64_t kPreviewFirstRows = 1000;

[[noreturn]] void FailOutput(const QString &target) {
  throw ReportError(
      QStringLiteral("Отчетът не може да бъде изведен в [%1].").arg(target).toStdString());
}

void SetJobTitle(QPagedPaintDevice &device) {
  if (auto *printer = dynamic_cast<QPrinter *>(&device)) {
    printer->setDocName(QString::fromUtf8(kReportJobTitle));
    printer->setCreator(QStringLiteral("vedil"));
  } else if (auto *writer = dynamic_cast<QPdfWriter *>(&device)) {
    writer->setTitle(QString::fromUtf8(kReportJobTitle));
    writer->setCreator(QStringLiteral("vedil"));
  }
}

QString PrinterTarget(const QPrinter &printer) {
  return printer.outputFileName().isEmpty() ? printer.printerName() : printer.outputFileName();
}

// The progress of one output: the rows, then the pages with `page_text`
// ("... page %p") as the label.
struct OutputProgress {
  OutputProgress(QWidget *parent, const char *page_text)
      : progress(parent, QString::fromUtf8(kReportStatusTitle),
                 QString::fromUtf8(kReportPreparingText), 0, Cancel::kAllowed),
        page_format(QString::fromUtf8(page_text)),
        steps(progress.Callback()) {}
  ReportSteps Rows() { return steps; }
  ReportSteps Pages() {
    return [this](int64_t page, int64_t pages) {
      QString label = page_format;
      progress.SetLabel(label.replace(QStringLiteral("%p"), QString::number(page)));
      return steps(page - 1, pages);
    };
  }
  Progress progress;
  QString page_format;
  ReportSteps steps;
};

// Writes the pages into a file beside path and puts it in path's place only
// when every page is written: a cancelled or failed report leaves the file
// that was there before.
bool WritePdf(ReportPages &pages, const QPageLayout &layout, const QString &path,
              const ReportSteps &steps) {
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) FailOutput(path);
  QPdfWriter writer(&file);
  writer.setResolution(1200);
  writer.setPageLayout(layout);
  SetJobTitle(writer);
  if (!PaintPages(pages, writer, path, steps)) {
    file.cancelWriting();
    return false;
  }
  if (!file.commit()) FailOutput(path);
  return true;
}

// Prints the pages on printer, laid out again first when the printer's
// printable area differs from the one they were laid out for.
bool PrintPages(const ReportDefinition &report, ReportFiller &filler, ReportPages &pages,
                QPrinter &printer, OutputProgress &progress) {
  // The preview's rows read to the end first: the pages may be laid out
  // again only from a walk of their own.
  if (!pages.Continue(std::numeric_limits<int64_t>::max(), progress.Rows())) return false;
  std::unique_ptr<ReportPages> own;
  ReportPages *printed = &pages;
  const QSizeF area = ReportPageArea(printer.pageLayout());
  if (area != pages.PageSize()) {
    own = ReportPages::Lay(report, filler, area, progress.Rows());
    if (!own) return false;
    printed = own.get();
  }
  return PaintPages(*printed, printer, PrinterTarget(printer), progress.Pages());
}

// The printer the user picks in the print dialog, set up for the report.
bool ChoosePrinter(QPrinter &printer, const QPageLayout &layout, QWidget *parent) {
  printer.setFullPage(false);
  printer.setPageLayout(layout);
  SetJobTitle(printer);
  QPrintDialog dialog(&printer, parent);
  dialog.setObjectName(QStringLiteral("ReportPrintDialog"));
  return ShowModal(&dialog) == QDialog::Accepted;
}

}  // namespace

void ReportRenderer::SetProjectFile(const QString &path) {
  project_file_ = path;
  selected_.reset();
}

void ReportRenderer::SetParam(const QString &name, const QString &value) {
  if (!params_.contains(name)) param_names_.append(name);
  params_.insert(name, value);
}

void ReportRenderer::ClearParams() {
  params_.clear();
  param_names_.clear();
}

void ReportRenderer::SetConnection(const QString &name, ReportRowSource *source) {
  if (source)
    connections_.insert(name, source);
  else
    connections_.remove(name);
}

bool ReportRenderer::SelectReport(const QString &name) {
  selected_.reset();
  error_.clear();
  if (!QFileInfo::exists(project_file_)) {
    error_ = QStringLiteral("Файлът с отчетите [%1] не е намерен.").arg(project_file_);
    return false;
  }
  try {
    const ReportProject project = LoadReportProject(project_file_);
    const ReportDefinition *report = project.Find(name);
    if (!report) {
      error_ =
          QStringLiteral("Във файла с отчетите [%1] няма отчет \"%2\".").arg(project_file_, name);
      return false;
    }
    selected_ = *report;
    return true;
  } catch (const ReportError &error) {
    error_ = QString::fromStdString(error.what());
    return false;
  }
}

QString ReportRenderer::SelectedReport() const { return selected_ ? selected_->name : QString(); }

QString ReportRenderer::BodyHtml() const {
  if (!selected_) throw ReportError("Не е избран отчет.");
  ReportFiller filler(*selected_, params_, connections_);
  return filler.BodyHtml();
}

int ReportRenderer::Paint(QPagedPaintDevice &device, const ReportSteps &steps) const {
  if (!selected_) throw ReportError("Не е избран отчет.");
  if (auto *printer = dynamic_cast<QPrinter *>(&device)) printer->setFullPage(false);
  device.setPageLayout(ReportPageLayout(selected_->page));
  SetJobTitle(device);
  ReportFiller filler(*selected_, params_, connections_);
  std::unique_ptr<ReportPages> pages =
      ReportPages::Lay(*selected_, filler, ReportPageArea(device.pageLayout()), steps);
  if (!pages) return 0;
  const QString target = dynamic_cast<QPrinter *>(&device)
                             ? PrinterTarget(static_cast<QPrinter &>(device))
                             : QStringLiteral("PDF");
  return PaintPages(*pages, device, target, steps) ? pages->Count() : 0;
}

bool ReportRenderer::Execute(QWidget *parent) {
  error_.clear();
  if (!selected_) {
    error_ = QStringLiteral("Не е избран отчет.");
    return false;
  }
  try {
    return Produce(parent);
  } catch (const ReportError &error) {
    error_ = QString::fromStdString(error.what());
    return false;
  }
}

bool ReportRenderer::Produce(QWidget *parent) {
  const ReportOutputChoice choice = ChooseReportOutput(parent);
  if (choice.destination == ReportDestination::kCancel) return false;
  const QPageLayout layout = ReportPageLayout(selected_->page);
  QPrinter printer(QPrinter::HighResolution);
  if (choice.destination == ReportDestination::kPrinter && !ChoosePrinter(printer, layout, parent))
    return false;

  ReportFiller filler(*selected_, params_, connections_);
  std::unique_ptr<ReportPages> pages;
  {
    OutputProgress progress(parent, choice.destination == ReportDestination::kPrinter
                                        ? kReportPrintingText
                                        : kReportGeneratingText);
    const QPageLayout &area = choice.destination == ReportDestination::kPrinter
                                  ? printer.pageLayout()
                                  : layout;
    // The preview opens once its first pages are cut and reads the rest of
    // the rows while it is shown; any other output gets every page.
    const int64_t rows = choice.destination == ReportDestination::kPreview
                             ? kPreviewFirstRows
                             : std::numeric_limits<int64_t>::max();
    pages = ReportPages::Begin(*selected_, filler, ReportPageArea(area), progress.Rows());
    if (!pages) return false;
    do {
      if (!pages->Continue(rows, progress.Rows())) return false;
    } while (!pages->Complete() && pages->Count() == 0);
    switch (choice.destination) {
      case ReportDestination::kPdfFile:
        return WritePdf(*pages, layout, choice.pdf_path, progress.Pages());
      case ReportDestination::kPrinter:
        return PaintPages(*pages, printer, PrinterTarget(printer), progress.Pages());
      case ReportDestination::kPreview:
        break;  // the progress closes before the preview opens
      case ReportDestination::kCancel:
        return false;
    }
  }
  return Preview(parent, *pages, filler);
}

bool ReportRenderer::Preview(QWidget *parent, ReportPages &pages, ReportFiller &filler) {
  const QPageLayout layout = ReportPageLayout(selected_->page);
  std::optional<QString> failure;
  ReportPreviewDialog *shown = nullptr;
  auto print = [&]() -> bool {
    try {
      QPrinter printer(QPrinter::HighResolution);
      if (!ChoosePrinter(printer, layout, shown)) return false;
      OutputProgress progress(shown, kReportPrintingText);
      return PrintPages(*selected_, filler, pages, printer, progress);
    } catch (const ReportError &error) {
      failure = QString::fromStdString(error.what());
      return true;  // the preview closes and the error is told
    }
  };
  ReportPreviewDialog preview(pages, layout, print, parent);
  shown = &preview;
  ShowModal(&preview);
  if (!failure) failure = preview.Failure();
  if (failure) {
    error_ = *failure;
    return false;
  }
  return true;
}

}  // namespace ui
