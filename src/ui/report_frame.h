// The frame of a report's pages: its HTML laid out once with QTextDocument
// as one strip of the page's width, the places where that strip may be cut,
// and the drawing of a piece of it. With a detail band the frame holds two
// sample rows where the band's rows go; how their cells are laid out (text
// area, font, alignment, padding, borders) is read back from the layout, so
// that the rows painted directly look as the HTML would have.
//
// Lengths are layout pixels: the frame is laid out at a fixed 96 dots per
// inch, whatever the printer, so that lengths written in pixels in the
// project file mean the same on paper, on screen and in a PDF file.
#pragma once

#include <QBrush>
#include <QFont>
#include <QImage>
#include <QTextDocument>
#include <QTextFormat>
#include <QTextOption>
#include <optional>
#include <vector>

#include "ui/report_pagination.h"

class QPainter;
class QTextLayout;
class QTextTable;

namespace ui {

inline constexpr double kLayoutDpi = 96;

// A paint device of exactly kLayoutDpi for text layout.
QImage ReportLayoutDevice();

// One cell of the band as the frame laid it out.
struct ReportBandCell {
  double x = 0, width = 0;  // the text area
  double height = 0;        // the sample text's height
  QFont font;
  QTextOption option;
  QColor color = Qt::black;
  QBrush background;  // Qt::NoBrush for none
  double pad_top = 0, pad_bottom = 0, pad_left = 0, pad_right = 0;
};

struct ReportBandLayout {
  std::vector<ReportBandCell> cells;
  ReportBandPlace place;
  double border = 0;  // collapsed cell borders; 0 for none
  QBrush border_brush;
};

class ReportFrame {
 public:
  // Lays out html at width with the report's default font. A band is looked
  // for when with_band is set: two rows whose first cell holds the anchor of
  // BandSampleRowHtml, of a table with collapsed borders.
  ReportFrame(const QString &html, const QFont &font, double width, bool with_band);

  double Height() const;
  // The band's cells, or nullopt when there is none or it is laid out in a
  // way the direct painting does not follow (spanned rows, separate or
  // shaded borders, cells not aligned to the top).
  const std::optional<ReportBandLayout> &Band() const { return band_; }
  // The places where the strip may be cut: after every line of a paragraph,
  // between table rows (not inside a table's header, not after its last
  // header row, not across a row span), after every top-level table or
  // frame. The cut between the two sample rows is left out.
  ReportStrip Strip() const;
  // Draws from..to of the strip with from placed at y = at, clipped to a
  // little more than from..to (a border lying on a cut shows on both
  // sides); the clip stops exactly at a side marked exact.
  void Draw(QPainter &painter, double from, double to, double at, bool exact_top = false,
            bool exact_bottom = false) const;
  // Whether from..to is the header of the band's table and DrawHeader can
  // paint it: the cells' backgrounds, the text the frame laid out in them
  // and their borders, without the document, which takes many times longer
  // to draw a table's rows, on every page that repeats them.
  bool DrawsHeader(double from, double to) const;
  bool HasHeaderPainter() const { return header_.has_value(); }
  void DrawHeader(QPainter &painter, double at) const;

 private:
  void FindBand();
  void FindBandHeader();
  void AddTableCuts(QTextTable &table, ReportStrip &strip) const;

  struct HeaderCell {
    QRectF inside;  // within the border lines
    QBrush background;
    std::vector<std::pair<QTextLayout *, QPointF>> texts;  // blocks, where drawn
    std::vector<QRectF> lines;
  };
  struct BandHeader {
    double top = 0, bottom = 0;
    std::vector<HeaderCell> cells;
  };

  QImage device_;
  mutable QTextDocument doc_;
  std::optional<ReportBandLayout> band_;
  QTextTable *band_table_ = nullptr;
  int band_row_ = -1;
  std::optional<BandHeader> header_;

};

}  // namespace ui
