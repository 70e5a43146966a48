// The renderer's windows; see report_output.h.
#include "ui/report_output.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "ui/ui_driver.h"

namespace ui {
ReportOutputChoice ChooseReportOutput(QWidget *parent) {
  ReportOutputDialog dialog(parent);
  if (ShowModal(&dialog) != QDialog::Accepted) return {};
  return dialog.Choice();
}

ReportOutputDialog::ReportOutputDialog(QWidget *parent) : QDialog(parent) {
  setObjectName(QStringLiteral("ReportOutputDialog"));
  setWindowTitle(QString::fromUtf8(kReportSetupTitle));
  auto *group = new QGroupBox(QStringLiteral("Изход на справката"), this);
  preview_ = new QRadioButton(QStringLiteral("Преглед на екрана"), group);
  printer_ = new QRadioButton(QStringLiteral("Принтер"), group);
  pdf_ = new QRadioButton(QStringLiteral("PDF файл"), group);
  preview_->setChecked(true);
  preview_->setObjectName(QStringLiteral("PreviewButton"));
  printer_->setObjectName(QStringLiteral("PrinterButton"));
  pdf_->setObjectName(QStringLiteral("PdfButton"));
  pdf_path_ = new QLineEdit(group);
  pdf_path_->setObjectName(QStringLiteral("PdfPath"));
  auto *browse = new QPushButton(QStringLiteral("..."), group);
  browse->setFixedWidth(32);
  auto *pdf_row = new QHBoxLayout;
  pdf_row->addWidget(pdf_);
  pdf_row->addWidget(pdf_path_, 1);
  pdf_row->addWidget(browse);
  auto *group_layout = new QVBoxLayout(group);
  group_layout->addWidget(preview_);
  group_layout->addWidget(printer_);
  group_layout->addLayout(pdf_row);

  auto *buttons = new QDialogButtonBox(this);
  buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
  buttons->addButton(QStringLiteral("Отказ"), QDialogButtonBox::RejectRole);
  auto *layout = new QVBoxLayout(this);
  layout->addWidget(group);
  layout->addWidget(buttons);

  connect(browse, &QPushButton::clicked, this, &ReportOutputDialog::BrowsePdf);
  connect(pdf_path_, &QLineEdit::textEdited, this, [this] { pdf_->setChecked(true); });
  connect(buttons, &QDialogButtonBox::accepted, this, &ReportOutputDialog::AcceptChoice);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  setMinimumWidth(420);
}

void ReportOutputDialog::BrowsePdf() {
  const QString path = QFileDialog::getSaveFileName(
      this, QStringLiteral("PDF файл"), pdf_path_->text(), QStringLiteral("PDF (*.pdf)"));
  if (path.isEmpty()) return;
  pdf_path_->setText(path.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive)
                         ? path
                         : path + QStringLiteral(".pdf"));
  pdf_->setChecked(true);
}

void ReportOutputDialog::AcceptChoice() {
  if (pdf_->isChecked() && pdf_path_->text().trimmed().isEmpty()) {
    QMessageBox::warning(this, QString::fromUtf8(kReportSetupTitle),
                         QStringLiteral("Въведете име на PDF файла."));
    pdf_path_->setFocus();
    return;
  }
  accept();
}

ReportOutputChoice ReportOutputDialog::Choice() const {
  if (printer_->isChecked()) return {ReportDestination::kPrinter, {}};
  if (pdf_->isChecked()) return {ReportDestination::kPdfFile, pdf_path_->text().trimmed()};
  return {ReportDestination::kPreview, {}};
}

void ReportOutputDialog::Select(const ReportOutputChoice &choice) {
  preview_->setChecked(choice.destination == ReportDestination::kPreview);
  printer_->setChecked(choice.destination == ReportDestination::kPrinter);
  pdf_->setChecked(choice.destination == ReportDestination::kPdfFile);
  pdf_path_->setText(choice.pdf_path);
}

}  // namespace ui
