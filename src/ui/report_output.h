// The renderer's own windows: the "Output Options" choice between preview,
// printer and PDF file, the "Report Preview" window, and the "Report Status"
// window with the page being generated or printed. The choice goes through a
// replaceable chooser so that tests answer it without a display.
#pragma once

#include <QDialog>
#include <QPrintPreviewDialog>
#include <QString>
#include <functional>
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

using ReportOutputChooser = std::function<ReportOutputChoice(QWidget *parent)>;

// Asks where the report goes: the "Output Options" dialog, or the chooser a
// test installed.
ReportOutputChoice ChooseReportOutput(QWidget *parent);

// Installs a chooser in place of the dialog; an empty one restores the dialog.
void SetReportOutputChooserForTesting(ReportOutputChooser chooser);

// The "Output Options" dialog.
class ReportOutputDialog : public QDialog {
  Q_OBJECT
 public:
  explicit ReportOutputDialog(QWidget *parent = nullptr);
  ReportOutputChoice Choice() const;

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
