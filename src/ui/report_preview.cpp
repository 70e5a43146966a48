// The preview window; see report_preview.h.
#include "ui/report_preview.h"

#include <QElapsedTimer>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPaintEvent>
#include <QProgressBar>
#include <QScrollBar>
#include <QSpinBox>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <exception>

namespace ui {
namespace {

constexpr int kGap = 14;  // device pixels around and between pages
constexpr double kMinZoom = 0.25, kMaxZoom = 4, kZoomStep = 1.25;
// Laying out between the window's events: rows per call, and how long one
// turn may take before the events are let through.
constexpr int64_t kLayRows = 200;
constexpr qint64 kLayTurnMs = 30;

}  // namespace

ReportPageView::ReportPageView(ReportPages &pages, const QPageLayout &layout, QWidget *parent)
    : QAbstractScrollArea(parent), pages_(pages), layout_(layout) {
  setObjectName(QStringLiteral("ReportPageView"));
  viewport()->setAutoFillBackground(false);
  setFocusPolicy(Qt::StrongFocus);
  verticalScrollBar()->setSingleStep(40);
  horizontalScrollBar()->setSingleStep(40);
  UpdateScrollBars();
}

double ReportPageView::Scale() const { return zoom_ * logicalDpiX() / kLayoutDpi; }

QSizeF ReportPageView::PaperPixels() const {
  return layout_.fullRectPoints().size() / 72.0 * kLayoutDpi * Scale();
}

int ReportPageView::PageStep() const { return qCeil(PaperPixels().height()) + kGap; }

void ReportPageView::SetZoom(double zoom) {
  zoom = std::clamp(zoom, kMinZoom, kMaxZoom);
  if (zoom == zoom_) return;
  const int current = CurrentPage();
  zoom_ = zoom;
  UpdateScrollBars();
  ShowPage(current);
  viewport()->update();
}

int ReportPageView::CurrentPage() const {
  const int step = PageStep();
  return std::clamp((verticalScrollBar()->value() + step / 2) / step, 0,
                    std::max(0, pages_.Count() - 1));
}

void ReportPageView::ShowPage(int index) {
  index = std::clamp(index, 0, std::max(0, pages_.Count() - 1));
  verticalScrollBar()->setValue(index * PageStep());
}

void ReportPageView::UpdateScrollBars() {
  const QSizeF paper = PaperPixels();
  const int width = qCeil(paper.width()) + 2 * kGap;
  const int height = pages_.Count() * PageStep() + kGap;
  const QSize view = viewport()->size();
  horizontalScrollBar()->setRange(0, std::max(0, width - view.width()));
  horizontalScrollBar()->setPageStep(view.width());
  verticalScrollBar()->setRange(0, std::max(0, height - view.height()));
  verticalScrollBar()->setPageStep(view.height());
}

void ReportPageView::resizeEvent(QResizeEvent *event) {
  QAbstractScrollArea::resizeEvent(event);
  UpdateScrollBars();
}

void ReportPageView::scrollContentsBy(int, int) {
  viewport()->update();
  const int current = CurrentPage();
  if (current != last_current_) {
    last_current_ = current;
    emit CurrentPageChanged(current);
  }
}

void ReportPageView::PagesAdded() {
  UpdateScrollBars();
  // A page newly in view, or the footers' page count once it is known.
  const int last_in_view =
      (verticalScrollBar()->value() + viewport()->height()) / std::max(1, PageStep());
  if (pages_.Complete() || last_in_view >= shown_count_) viewport()->update();
}

void ReportPageView::paintEvent(QPaintEvent *event) {
  shown_count_ = pages_.Count();
  QPainter painter(viewport());
  painter.fillRect(event->rect(), QColor(0x80, 0x80, 0x80));
  const QSizeF paper = PaperPixels();
  const int step = PageStep();
  const int scroll_y = verticalScrollBar()->value();
  const double x = std::max<double>(kGap, (viewport()->width() - paper.width()) / 2) -
                   horizontalScrollBar()->value();
  const double scale = Scale();
  const QRectF paint = layout_.paintRect(QPageLayout::Point);
  const QPointF origin = paint.topLeft() / 72.0 * kLayoutDpi * scale;
  // Only the pages that meet the area to repaint.
  const QRect area = event->rect();
  const int first = std::max(0, (scroll_y + area.top() - kGap) / step);
  for (int i = first; i < pages_.Count(); ++i) {
    const double top = kGap + double(i) * step - scroll_y;
    if (top > area.bottom()) break;
    const QRectF sheet(x, top, paper.width(), paper.height());
    painter.fillRect(sheet.translated(3, 3), QColor(0x50, 0x50, 0x50));
    painter.fillRect(sheet, Qt::white);
    painter.save();
    painter.setClipRect(sheet);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(sheet.topLeft() + origin);
    painter.scale(scale, scale);
    pages_.Paint(painter, i);
    painter.restore();
    ++painted_;
  }
}

ReportPreviewDialog::ReportPreviewDialog(ReportPages &pages, const QPageLayout &layout,
                                         std::function<bool()> print, QWidget *parent)
    : QDialog(parent), pages_(pages) {
  setObjectName(QStringLiteral("ReportPreview"));
  setWindowTitle(QString::fromUtf8(kReportPreviewTitle));
  setWindowFlag(Qt::WindowMaximizeButtonHint);
  resize(1000, 760);
  view_ = new ReportPageView(pages, layout, this);

  auto *bar = new QToolBar(this);
  auto button = [this, bar](QStyle::StandardPixmap icon, const QString &text, auto slot) {
    QAction *action = bar->addAction(style()->standardIcon(icon), text);
    connect(action, &QAction::triggered, this, slot);
    return action;
  };
  button(QStyle::SP_MediaSkipBackward, QStringLiteral("Първа страница"),
         [this] { view_->ShowPage(0); });
  button(QStyle::SP_MediaSeekBackward, QStringLiteral("Предишна страница"),
         [this] { view_->ShowPage(view_->CurrentPage() - 1); });
  page_ = new QSpinBox(bar);
  page_->setObjectName(QStringLiteral("PreviewPage"));
  page_->setKeyboardTracking(false);
  bar->addWidget(page_);
  count_ = new QLabel(bar);
  count_->setObjectName(QStringLiteral("PreviewPageCount"));
  bar->addWidget(count_);
  button(QStyle::SP_MediaSeekForward, QStringLiteral("Следваща страница"),
         [this] { view_->ShowPage(view_->CurrentPage() + 1); });
  button(QStyle::SP_MediaSkipForward, QStringLiteral("Последна страница"),
         [this] { view_->ShowPage(pages_.Count() - 1); });
  bar->addSeparator();
  bar->addAction(QStringLiteral("−"), this, [this] { view_->SetZoom(view_->Zoom() / kZoomStep); })
      ->setToolTip(QStringLiteral("Намаляване"));
  bar->addAction(QStringLiteral("+"), this, [this] { view_->SetZoom(view_->Zoom() * kZoomStep); })
      ->setToolTip(QStringLiteral("Увеличаване"));
  bar->addSeparator();
  QAction *print_action = bar->addAction(QStringLiteral("Печат..."));
  print_action->setObjectName(QStringLiteral("PreviewPrint"));
  connect(print_action, &QAction::triggered, this, [this, print] {
    if (print && print()) accept();
  });
  bar->addAction(QStringLiteral("Затваряне"), this, &QDialog::reject);
  laying_ = new QProgressBar(bar);
  laying_->setObjectName(QStringLiteral("PreviewLayoutProgress"));
  laying_->setRange(0, 100);
  laying_->setMaximumWidth(160);
  laying_->setFormat(QStringLiteral("Страници: %p%"));
  laying_action_ = bar->addWidget(laying_);
  ShowCount();
  if (!pages.Complete()) {
    timer_ = new QTimer(this);
    connect(timer_, &QTimer::timeout, this, &ReportPreviewDialog::LayMore);
    timer_->start(0);
  }

  connect(page_, &QSpinBox::valueChanged, this, [this](int page) {
    if (view_->CurrentPage() != page - 1) view_->ShowPage(page - 1);
  });
  connect(view_, &ReportPageView::CurrentPageChanged, this,
          [this](int index) { page_->setValue(index + 1); });

  auto *layout_box = new QVBoxLayout(this);
  layout_box->setContentsMargins(0, 0, 0, 0);
  layout_box->setSpacing(0);
  layout_box->addWidget(bar);
  layout_box->addWidget(view_, 1);
  view_->setFocus();
}

void ReportPreviewDialog::ShowCount() {
  const int count = pages_.Count();
  page_->setRange(1, std::max(1, count));
  count_->setText(pages_.Complete() ? QStringLiteral(" от %1 ").arg(count)
                                    : QStringLiteral(" от %1… ").arg(count));
  laying_action_->setVisible(!pages_.Complete());
  if (!pages_.Complete())
    laying_->setValue(static_cast<int>(pages_.RowsRead() * 100 /
                                       std::max<int64_t>(1, pages_.RowsExpected())));
}

// One turn of the layout. Printing reads the rest of the rows under its own
// progress, whose events may bring the timer here: that turn does nothing.
void ReportPreviewDialog::LayMore() {
  if (pages_.Reading()) return;
  const int before = pages_.Count();
  QElapsedTimer turn;
  turn.start();
  try {
    while (!pages_.Complete() && turn.elapsed() < kLayTurnMs) pages_.Continue(kLayRows);
  } catch (const std::exception &error) {
    // Nothing may leave an event; the window closes and the renderer tells.
    timer_->stop();
    failure_ = QString::fromStdString(error.what());
    reject();
    return;
  }
  if (pages_.Complete()) timer_->stop();
  if (pages_.Count() != before || pages_.Complete()) view_->PagesAdded();
  ShowCount();
}

}  // namespace ui
