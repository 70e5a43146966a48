// See logo.h.
#include "ui/logo.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>

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

QImage ProgramIcon(int size) {
  const QColor navy(0x1f, 0x3c, 0x88);
  const QColor red(0xc8, 0x10, 0x2e);
  const QColor ink(0x0f, 0x1f, 0x4a);
  const QColor grey(0x7f, 0x8f, 0xb8);
  QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  p.scale(size / 128.0, size / 128.0);  // drawn on a 128 x 128 grid
  p.setPen(Qt::NoPen);
  QPainterPath square;
  square.addRoundedRect(QRectF(4, 4, 120, 120), 20, 20);
  p.setClipPath(square);
  p.fillPath(square, navy);
  p.fillRect(QRectF(4, 80, 120, 10), Qt::white);
  p.fillRect(QRectF(4, 90, 120, 10), red);
  p.setClipping(false);
  // The sheet with its folded corner.
  QPen outline(ink, 3);
  outline.setJoinStyle(Qt::RoundJoin);
  p.setPen(outline);
  p.setBrush(Qt::white);
  p.drawPolygon(QPolygonF({{34, 16}, {80, 16}, {96, 32}, {96, 112}, {34, 112}}));
  p.setBrush(QColor(0xc9, 0xd3, 0xea));
  p.drawPolygon(QPolygonF({{80, 16}, {80, 32}, {96, 32}}));
  p.setPen(Qt::NoPen);
  // Lines of text and a row of fixed-width fields.
  p.fillRect(QRectF(44, 40, 42, 6), navy);
  for (const int y : {54, 66}) p.fillRect(QRectF(44, y, 42, 5), grey);
  p.fillRect(QRectF(44, 78, 28, 5), grey);
  p.fillRect(QRectF(44, 92, 14, 10), red);
  p.fillRect(QRectF(61, 92, 10, 10), navy);
  p.fillRect(QRectF(74, 92, 12, 10), navy);
  return image;
}

}  // namespace ui
