// The "Report Preview" window: the pages of a laid-out report one below the
// other, opening at 115 per cent, each painted only while it is in view, so
// that a report of thousands of pages opens as fast as one of a single page.
// Its tool bar moves between pages, zooms, and prints the report.
#pragma once

#include <QAbstractScrollArea>
#include <QDialog>
#include <QPageLayout>
#include <functional>

#include "ui/report_pages.h"

class QLabel;
class QSpinBox;

namespace ui {

inline constexpr char kReportPreviewTitle[] = "Report Preview";
inline constexpr double kReportPreviewZoom = 1.15;

// The pages on a grey desk. Zoom 1 shows a page at its size on paper.
class ReportPageView : public QAbstractScrollArea {
  Q_OBJECT
 public:
  // pages is not owned and must outlive the view.
  ReportPageView(ReportPages &pages, const QPageLayout &layout, QWidget *parent = nullptr);

  double Zoom() const { return zoom_; }
  void SetZoom(double zoom);
  // The page at the top of the view (from 0), and a move to a page.
  int CurrentPage() const;
  void ShowPage(int index);
  // How often a page has been painted, for tests.
  int PaintedPages() const { return painted_; }

 signals:
  void CurrentPageChanged(int index);

 protected:
  void paintEvent(QPaintEvent *event) override;
  void resizeEvent(QResizeEvent *event) override;
  void scrollContentsBy(int dx, int dy) override;

 private:
  double Scale() const;  // device pixels per layout pixel
  QSizeF PaperPixels() const;
  int PageStep() const;  // from one page's top to the next one's
  void UpdateScrollBars();

  ReportPages &pages_;
  QPageLayout layout_;
  double zoom_ = kReportPreviewZoom;
  int painted_ = 0;
  int last_current_ = -1;
};

// The window, objectName "ReportPreview". print prints the report (asking
// for the printer itself) and returns true when it was printed, which
// closes the window.
class ReportPreviewDialog : public QDialog {
  Q_OBJECT
 public:
  ReportPreviewDialog(ReportPages &pages, const QPageLayout &layout, std::function<bool()> print,
                      QWidget *parent = nullptr);
  ReportPageView *View() const { return view_; }

 private:
  ReportPageView *view_;
  QSpinBox *page_;
};

}  // namespace ui
