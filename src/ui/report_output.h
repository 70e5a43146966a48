// The renderer's "Output Options" choice between preview, printer and PDF
// file, and the texts of its progress window ("Report Status"). The dialog
// is shown through the UI driver (ui_driver.h), so tests answer it without
// a display. The preview window is in report_preview.h.
#pragma once

#include <QDialog>
#include <QString>

class QLineEdit;
class QRadioButton;

namespace ui {

inline constexpr char kReportSetupTitle[] = "Output Options";
inline constexpr char kReportStatusTitle[] = "Report Status";
inline constexpr char kReportGeneratingText[] = "Generating page %p";
inline constexpr char kReportPrintingText[] = "Printing page %p";
inline constexpr char kReportJobTitle[] = "ReportPrinter Report";
// Shown while the rows are read and measured, before the pages.
inline constexpr char kReportPreparingText[] = "Подготовка на справката...";

enum class ReportDestination { kCancel, kPreview, kPrinter, kPdfFile };

struct ReportOutputChoice {
  ReportDestination destination = ReportDestination::kCancel;
  QString pdf_path;  // kPdfFile: the file to write
};

// Asks where the report goes with the "Output Options" dialog, shown modally
// through the UI driver; kCancel unless the dialog was accepted.
ReportOutputChoice ChooseReportOutput(QWidget *parent);

// The "Output Options" dialog, objectName "ReportOutputDialog".
class ReportOutputDialog : public QDialog {
  Q_OBJECT
 public:
  explicit ReportOutputDialog(QWidget *parent = nullptr);
  ReportOutputChoice Choice() const;
  // Sets the controls to choice, as the user would.
  void Select(const ReportOutputChoice &choice);

 private:
  void BrowsePdf();
  void AcceptChoice();

  QRadioButton *preview_;
  QRadioButton *printer_;
  QRadioButton *pdf_;
  QLineEdit *pdf_path_;
};

}  // namespace ui
