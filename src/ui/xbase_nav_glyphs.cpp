// The navigator's button glyphs, drawn here rather than loaded: each is a
// 32 x 16 bitmap named "xbnav_" + glyph name, the normal image on the left
// and the disabled (grey, embossed) image on the right.
#include <QPainter>
#include <QPainterPath>
#include <QPixmapCache>

#include "ui/xbase_navigator.h"

namespace ui {
namespace {

struct ButtonInfo {
  const char *glyph;
  const char *hint;
};

constexpr ButtonInfo kButtons[kNavButtonCount] = {
    {"TOP", "First record"},   {"PREVIOUS", "Prior record"}, {"NEXT", "Next record"},
    {"BOTTOM", "Last record"}, {"APPEND", "Append record"},  {"COPY", " Copy record"},
    {"EDIT", "Edit record"},   {"DELETE", "Delete record"},  {"SAVE", "Save record"},
    {"CANCEL", "Cancel edit"}, {"FIND", "Find record"},      {"REFRESH", "Refresh data"},
};

// Draws one 16 x 16 image of a glyph in the given colour.
void DrawShape(QPainter &p, TXbaseNavigateBtn b, const QColor &color) {
  p.setPen(QPen(color, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(color);
  auto triangle = [&](double tipX, double baseX) {
    QPainterPath path;
    path.moveTo(tipX, 8);
    path.lineTo(baseX, 3.5);
    path.lineTo(baseX, 12.5);
    path.closeSubpath();
    p.drawPath(path);
  };
  switch (b) {
    case TXbaseNavigateBtn::nbTop:
      p.drawLine(QPointF(4, 3.5), QPointF(4, 12.5));
      triangle(6, 12);
      break;
    case TXbaseNavigateBtn::nbPrev:
      triangle(5, 11);
      break;
    case TXbaseNavigateBtn::nbNext:
      triangle(11, 5);
      break;
    case TXbaseNavigateBtn::nbBttm:
      triangle(10, 4);
      p.drawLine(QPointF(12, 3.5), QPointF(12, 12.5));
      break;
    case TXbaseNavigateBtn::nbInsert:
      p.drawLine(QPointF(8, 3), QPointF(8, 13));
      p.drawLine(QPointF(3, 8), QPointF(13, 8));
      break;
    case TXbaseNavigateBtn::nbCopy:
      p.setBrush(Qt::NoBrush);
      p.drawRect(QRectF(3, 3, 7, 8));
      p.drawRect(QRectF(6, 6, 7, 8));
      break;
    case TXbaseNavigateBtn::nbEdit: {
      QPainterPath path;  // an upward triangle: the record goes into editing
      path.moveTo(8, 4);
      path.lineTo(3.5, 11);
      path.lineTo(12.5, 11);
      path.closeSubpath();
      p.drawPath(path);
      break;
    }
    case TXbaseNavigateBtn::nbDelete:
      p.drawLine(QPointF(3, 8), QPointF(13, 8));
      break;
    case TXbaseNavigateBtn::nbPost:
      p.setBrush(Qt::NoBrush);
      p.drawPolyline(QPolygonF({QPointF(3, 8.5), QPointF(6.5, 12), QPointF(13, 4)}));
      break;
    case TXbaseNavigateBtn::nbCancel:
      p.drawLine(QPointF(4, 4), QPointF(12, 12));
      p.drawLine(QPointF(12, 4), QPointF(4, 12));
      break;
    case TXbaseNavigateBtn::nbFind:
      p.setBrush(Qt::NoBrush);
      p.drawEllipse(QPointF(6.5, 6.5), 3.5, 3.5);
      p.drawLine(QPointF(9, 9), QPointF(13, 13));
      break;
    case TXbaseNavigateBtn::nbRefresh: {
      p.setBrush(Qt::NoBrush);
      p.drawArc(QRectF(3, 3, 10, 10), 90 * 16, 270 * 16);
      QPainterPath head;
      head.moveTo(8, 1);
      head.lineTo(11, 3);
      head.lineTo(8, 5.5);
      head.closeSubpath();
      p.setBrush(color);
      p.drawPath(head);
      break;
    }
  }
}

}  // namespace

const char *NavGlyphName(TXbaseNavigateBtn b) { return kButtons[static_cast<int>(b)].glyph; }

QString NavDefaultHint(TXbaseNavigateBtn b) {
  return QString::fromLatin1(kButtons[static_cast<int>(b)].hint);
}

QPixmap NavGlyph(TXbaseNavigateBtn b) {
  const QString key = QStringLiteral("xbnav_") + QLatin1String(NavGlyphName(b));
  QPixmap cached;
  if (QPixmapCache::find(key, &cached)) return cached;
  QPixmap pixmap(32, 16);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  DrawShape(p, b, Qt::black);
  p.translate(17, 1);  // the disabled image: a white emboss under grey
  DrawShape(p, b, Qt::white);
  p.translate(-1, -1);
  DrawShape(p, b, QColor(128, 128, 128));
  p.end();
  QPixmapCache::insert(key, pixmap);
  return pixmap;
}

}  // namespace ui
