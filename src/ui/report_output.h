// The renderer's own windows: the "Output Options" choice between preview,
// printer and PDF file, the "Report Preview" window, and the "Report Status"
// window with the page being generated or printed. The dialogs are shown
// through the UI driver (ui_driver.h), so tests answer them without a display.
#pragma once

#include <QDialog>
#include <QPrintPreviewDialog>
#include <QString>
#include <memory>

class QLabel;
class QLineEdit;
class QRadioButton;

namespace ui {

inline constexpr char kReportSetupTitle[] = "Output Options";
inline constexpr char kReportStatusTitle[] = "Report Status";
inline constexpr char kReportPreviewTitle[] = "Report Preview";
inline constexpr char kReportGeneratingText[] = "Generating page %p";
inline constexpr char kReportPrintingText[] = "Printing page %p";
inline constexpr char kReportJobTitle[] = "ReportPrinter Report";
inline constexpr double kReportPreviewZoom = 1.15;

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

// The "Report Preview" window over printer, opening at 115 per cent.
std::unique_ptr<QPrintPreviewDialog> CreateReportPreview(QPrinter *printer, QWidget *parent);

// "Report Status": a small window that shows one line of progress.
class ReportStatusWindow : public QDialog {
  Q_OBJECT
 public:
  explicit ReportStatusWindow(QWidget *parent = nullptr);
  // Shows format with %p replaced by page, and repaints at once.
  void ShowPage(const QString &format, int page);
  QString Text() const;

 private:
  QLabel *label_;
};

}  // namespace ui
