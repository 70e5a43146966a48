// Measuring and laying out cell texts; see report_cell_text.h.
#include "ui/report_cell_text.h"

#include <QFontMetricsF>

namespace ui {
namespace {

// Laid out as QTextDocument does: lines of the full width, one below the
// other, each with the font's leading.
double LayLines(QTextLayout &layout, double width, double x = 0) {
  double y = 0;
  layout.beginLayout();
  for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
    line.setLeadingIncluded(true);
    line.setLineWidth(width);
    line.setPosition(QPointF(x, y));
    y += line.height();
  }
  layout.endLayout();
  return y;
}

}  // namespace

ReportCellText::ReportCellText(const QFont &font, const QTextOption &option, double width,
                               QPaintDevice *device, double spill)
    : font_(font, device), option_(option), width_(width), spill_(spill), device_(device) {
  QTextLayout one(QStringLiteral("0"), font_, device_);
  one.setTextOption(option_);
  line_height_ = LayLines(one, width_);
}

bool ReportCellText::SurelyOneLine(const QString &text, double width) {
  // Kerning and shaping may make a text a little wider or narrower than the
  // sum of its characters' advances; this much room covers that.
  const double room = width - 1.0 - 0.03 * width;
  double sum = 0;
  for (const QChar c : text) {
    const char16_t u = c.unicode();
    if (u >= kTable || u < 0x20) return false;
    float &advance = advance_[u];
    if (advance == 0) {
      const QFontMetricsF metrics(font_, device_);
      advance = metrics.inFont(c) ? std::max<float>(metrics.horizontalAdvance(c), 1e-3f) : -1;
    }
    if (advance < 0) return false;
    sum += advance;
    if (sum > room) return false;
  }
  return true;
}

// A text that is not surely one line at the width, but is with the spill.
bool ReportCellText::Spills(const QString &text) {
  return spill_ > 0 && !SurelyOneLine(text, width_) && SurelyOneLine(text, width_ + 2 * spill_);
}

double ReportCellText::ShrunkSize(const QString &text) {
  if (spill_ <= 0 || text.contains(QLatin1Char(' ')) || SurelyOneLine(text, width_ + 2 * spill_))
    return 0;
  const double size = font_.pointSizeF();
  const double wide = QFontMetricsF(font_, device_).horizontalAdvance(text);
  if (size <= 0 || wide <= 0) return 0;
  // The room SurelyOneLine leaves for kerning, and a little more.
  const double room = width_ + 2 * spill_;
  return size * (room - 1.0 - 0.05 * room) / wide;
}

double ReportCellText::Height(const QString &text) {
  if (SurelyOneLine(text, width_) || Spills(text) || ShrunkSize(text) > 0) return line_height_;
  auto found = laid_heights_.constFind(text);
  if (found != laid_heights_.constEnd()) return *found;
  QTextLayout layout(text, font_, device_);
  layout.setTextOption(option_);
  const double height = LayLines(layout, width_);
  if (laid_heights_.size() >= kHeightsKept) laid_heights_.clear();
  laid_heights_.insert(text, height);
  return height;
}

std::unique_ptr<QTextLayout> ReportCellText::Lay(const QString &text) {
  const double shrunk = ShrunkSize(text);
  QFont font(font_, device_);
  if (shrunk > 0) font.setPointSizeF(shrunk);
  auto layout = std::make_unique<QTextLayout>(text, font, device_);
  layout->setTextOption(option_);
  layout->setCacheEnabled(true);
  if (shrunk > 0 || Spills(text))
    LayLines(*layout, width_ + 2 * spill_, -spill_);
  else
    LayLines(*layout, width_);
  // A smaller size sits on the baseline of the row's other texts, which the
  // full size sets.
  if (shrunk > 0)
    layout->setPosition(
        QPointF(0, QFontMetricsF(font_, device_).ascent() - QFontMetricsF(font, device_).ascent()));
  return layout;
}

}  // namespace ui
