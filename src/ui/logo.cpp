// See logo.h.
#include "ui/logo.h"

#include <QFont>
#include <QPainter>

namespace ui {

QPixmap VeskorLogo() {
  QPixmap pixmap(85, 57);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0x1f, 0x3c, 0x88));
  p.drawRoundedRect(QRectF(1, 1, 83, 55), 8, 8);
  p.setBrush(QColor(0xc8, 0x10, 0x2e));
  p.drawRect(QRectF(1, 38, 83, 5));
  p.setBrush(Qt::white);
  p.drawRect(QRectF(1, 33, 83, 5));
  p.setPen(Qt::white);
  QFont font(QStringLiteral("DejaVu Serif"));
  font.setPixelSize(15);
  font.setBold(true);
  p.setFont(font);
  p.drawText(QRectF(0, 6, 85, 24), Qt::AlignCenter, QStringLiteral("ВЕСКОР"));
  return pixmap;
}

}  // namespace ui
