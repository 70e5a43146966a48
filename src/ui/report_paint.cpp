// Painting the pages of a report onto a device; see report_paint.h.
#include "ui/report_paint.h"

#include <QPainter>
#include <QPrinter>

namespace ui {

bool PaintPages(ReportPages &pages, QPagedPaintDevice &device, const QString &target,
                const ReportSteps &steps) {
  QPainter painter;
  if (!painter.begin(&device)) {
    throw ReportError(
        QStringLiteral("Отчетът не може да бъде изведен в [%1].").arg(target).toStdString());
  }
  painter.setRenderHint(QPainter::Antialiasing);
  const double scale = device.logicalDpiX() / kLayoutDpi;
  const int count = pages.Count();
  for (int i = 0; i < count; ++i) {
    if (steps && !steps(i + 1, count)) {
      // A print job is withdrawn from the printer; what a PDF writer got is
      // the caller's to throw away.
      if (auto *printer = dynamic_cast<QPrinter *>(&device)) printer->abort();
      return false;
    }
    if (i > 0) device.newPage();
    painter.save();
    painter.scale(scale, scale);
    pages.Paint(painter, i);
    painter.restore();
  }
  painter.end();
  return true;
}

}  // namespace ui
