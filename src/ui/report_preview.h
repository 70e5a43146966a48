// The "Report Preview" window: the pages of a laid-out report one below the
// other, opening at 115 per cent, each painted only while it is in view, so
// that a report of thousands of pages opens as fast as one of a single page.
// Its tool bar moves between pages, zooms, and prints the report.
//
// Pages whose rows are not all read yet are laid out while the window is
// open, a part at a time between the window's events: the page count and a
// progress bar in the tool bar fill in, and closing the window stops it.
#pragma once

#include <QAbstractScrollArea>
#include <QDialog>
#include <QPageLayout>
#include <functional>
#include <optional>

#include "ui/report_pages.h"

class QAction;
class QLabel;
class QProgressBar;
class QTimer;
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
  // More pages were laid out, or the last one: repaints what changed.
  void PagesAdded();

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
  int shown_count_ = 0;  // pages there were at the last paint
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
  // Why the pages could not be laid out to the end, when they could not.
  const std::optional<QString> &Failure() const { return failure_; }

 private:
  void LayMore();
  void ShowCount();

  ReportPages &pages_;
  ReportPageView *view_;
  QSpinBox *page_;
  QLabel *count_;
  QProgressBar *laying_;
  QAction *laying_action_;
  QTimer *timer_ = nullptr;
  std::optional<QString> failure_;
};

}  // namespace ui
