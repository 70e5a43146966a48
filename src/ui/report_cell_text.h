// The text of one cell of a detail band, measured and laid out in lines as
// the frame's QTextDocument lays out a cell: QTextLayout at the cell's width
// with the cell's font and text option, every line as high as the document
// makes it. Measuring is the hot path of a long report, so a text that
// clearly fits on one line is recognised from the advances of its
// characters without shaping it; anything close to the width is laid out.
#pragma once

#include <QFont>
#include <QHash>
#include <QString>
#include <QTextLayout>
#include <QTextOption>
#include <array>
#include <memory>

class QPaintDevice;

namespace ui {

class ReportCellText {
 public:
  // device: a paint device of the layout resolution; not owned. spill: how
  // far a text that would wrap at the width but fits on one line with this
  // much more room on either side (the cell's padding) may reach out of the
  // text area instead; 0 wraps every text at the width, as the document does.
  // A text of one word too wide even for that room (a five-digit row number
  // in a column laid out for one digit) is set smaller on the same baseline,
  // so that it stays whole on one line rather than break between digits.
  ReportCellText(const QFont &font, const QTextOption &option, double width,
                 QPaintDevice *device, double spill = 0);

  // The height the text takes in the cell.
  double Height(const QString &text);
  // The text laid out in lines from y = 0, ready to draw at the text area's
  // left edge.
  std::unique_ptr<QTextLayout> Lay(const QString &text);
  double LineHeight() const { return line_height_; }

 private:
  bool SurelyOneLine(const QString &text, double width);
  bool Spills(const QString &text);
  // The point size that fits a one-word text too wide for the spill room;
  // 0 when the text fits as it is or must wrap.
  double ShrunkSize(const QString &text);

  QFont font_;
  QTextOption option_;
  double width_;
  double spill_;
  QPaintDevice *device_;
  double line_height_ = 0;
  // Advances of the characters below kTable, measured on first use; 0 for
  // not yet, -1 for a character the font lacks (a fallback font may be
  // taller, so such text is always laid out).
  static constexpr int kTable = 0x500;
  std::array<float, kTable> advance_{};
  // Heights of texts that had to be laid out: a column's texts repeat (the
  // name of an income code on every row of that code).
  static constexpr qsizetype kHeightsKept = 20000;
  QHash<QString, double> laid_heights_;
};

}  // namespace ui
