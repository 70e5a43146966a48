// The renderer facade; see report_renderer.h.
#include "ui/report_renderer.h"

#include <QFileInfo>
#include <QPrintDialog>
#include <QPrinter>

#include "ui/report_fill.h"
#include "ui/report_output.h"
#include "ui/report_paint.h"
#include "ui/ui_driver.h"

namespace ui {

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

int ReportRenderer::Paint(QPrinter &printer, const std::function<void(int)> &on_page) const {
  if (!selected_) throw ReportError("Не е избран отчет.");
  printer.setDocName(QString::fromUtf8(kReportJobTitle));
  printer.setCreator(QStringLiteral("vedil"));
  ReportFiller filler(*selected_, params_, connections_);
  return PaintReport(*selected_, filler, printer, on_page);
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

  ReportStatusWindow status(parent);
  auto progress = [&status](const char *format) {
    return [&status, format](int page) { status.ShowPage(QString::fromUtf8(format), page); };
  };
  QPrinter printer(QPrinter::HighResolution);
  printer.setDocName(QString::fromUtf8(kReportJobTitle));
  switch (choice.destination) {
    case ReportDestination::kPdfFile: {
      printer.setOutputFormat(QPrinter::PdfFormat);
      printer.setOutputFileName(choice.pdf_path);
      Paint(printer, progress(kReportGeneratingText));
      return true;
    }
    case ReportDestination::kPrinter: {
      QPrintDialog dialog(&printer, parent);
      dialog.setObjectName(QStringLiteral("ReportPrintDialog"));
      if (ShowModal(&dialog) != QDialog::Accepted) return false;
      Paint(printer, progress(kReportPrintingText));
      return true;
    }
    case ReportDestination::kPreview: {
      std::unique_ptr<QPrintPreviewDialog> preview = CreateReportPreview(&printer, parent);
      std::optional<QString> failure;
      QObject::connect(preview.get(), &QPrintPreviewDialog::paintRequested, [&](QPrinter *target) {
        try {
          Paint(*target, progress(kReportGeneratingText));
        } catch (const ReportError &error) {
          failure = QString::fromStdString(error.what());
        }
        status.hide();
      });
      ShowModal(preview.get());
      if (failure) {
        error_ = *failure;
        return false;
      }
      return true;
    }
    case ReportDestination::kCancel:
      break;
  }
  return false;
}

}  // namespace ui
