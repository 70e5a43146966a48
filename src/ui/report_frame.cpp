// The laid-out frame of a report; see report_frame.h.
#include "ui/report_frame.h"

#include <QAbstractTextDocumentLayout>
#include <QPainter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextLayout>
#include <QTextTable>
#include <algorithm>
#include <cmath>
#include <limits>

#include "ui/report_row_band.h"

namespace ui {
namespace {

constexpr double kBorderOverlap = 0.6;  // drawn beyond a strip's ends
constexpr double kSame = 0.01;          // layout lengths closer than this are equal

double Padding(const QTextTableCellFormat &cell, const QTextTableFormat &table,
               QTextFormat::Property property) {
  return cell.hasProperty(property) ? cell.doubleProperty(property) : table.cellPadding();
}

bool HasOwnBorder(const QTextTableCellFormat &cell) {
  for (auto property : {QTextFormat::TableCellTopBorder, QTextFormat::TableCellBottomBorder,
                        QTextFormat::TableCellLeftBorder, QTextFormat::TableCellRightBorder})
    if (cell.hasProperty(property)) return true;
  return false;
}

}  // namespace

QImage ReportLayoutDevice() {
  QImage image(8, 8, QImage::Format_RGB32);
  const int dots_per_metre = qRound(kLayoutDpi / 0.0254);
  image.setDotsPerMeterX(dots_per_metre);
  image.setDotsPerMeterY(dots_per_metre);
  return image;
}

ReportFrame::ReportFrame(const QString &html, const QFont &font, double width, bool with_band)
    : device_(ReportLayoutDevice()) {
  doc_.documentLayout()->setPaintDevice(&device_);
  doc_.setDefaultFont(font);
  doc_.setDocumentMargin(0);
  doc_.setHtml(html);
  doc_.setTextWidth(width);
  if (with_band) FindBand();
}

double ReportFrame::Height() const { return doc_.size().height(); }

void ReportFrame::FindBand() {
  const QString anchor = QString::fromUtf8(kBandSampleAnchor);
  QTextBlock sample;
  for (QTextBlock block = doc_.begin(); block.isValid() && !sample.isValid();
       block = block.next()) {
    for (auto it = block.begin(); !it.atEnd(); ++it) {
      if (it.fragment().charFormat().anchorNames().contains(anchor)) {
        sample = block;
        break;
      }
    }
  }
  if (!sample.isValid()) return;
  QTextCursor cursor(sample);
  QTextTable *table = cursor.currentTable();
  if (!table || table->parentFrame() != doc_.rootFrame()) return;
  const int row = table->cellAt(cursor).row();
  const QTextTableFormat format = table->format();
  if (row < format.headerRowCount() || row + 1 >= table->rows()) return;
  if (!format.borderCollapse() && (format.border() > 0 || format.cellSpacing() > 0)) return;

  const QAbstractTextDocumentLayout &layout = *doc_.documentLayout();
  ReportBandLayout band;
  band.border = format.border();
  band.border_brush = format.borderBrush();
  // Painted as solid lines of the border's colour: what an inset or outset
  // border of black looks like too (its lighter and darker sides are black
  // as well). Borders of the document's own colour are left to it.
  const QTextFrameFormat::BorderStyle style = format.borderStyle();
  const bool black = band.border_brush.color() == Qt::black;
  if (band.border > 0 &&
      (band.border_brush.style() == Qt::NoBrush ||
       (style != QTextFrameFormat::BorderStyle_Solid &&
        !(black && (style == QTextFrameFormat::BorderStyle_Outset ||
                    style == QTextFrameFormat::BorderStyle_Inset)))))
    return;
  constexpr double kNone = std::numeric_limits<double>::infinity();
  double top[2] = {kNone, kNone}, height[2] = {0, 0};
  for (int c = 0; c < table->columns(); ++c) {
    const QTextTableCell cells[2] = {table->cellAt(row, c), table->cellAt(row + 1, c)};
    if (cells[0].column() != c) continue;  // covered by a cell spanning columns
    for (int i = 0; i < 2; ++i) {
      const QTextTableCell &cell = cells[i];
      if (cell.row() != row + i || cell.column() != c || cell.rowSpan() != 1 ||
          cell.columnSpan() != cells[0].columnSpan() ||
          cell.firstCursorPosition().block() != cell.lastCursorPosition().block())
        return;
      const QRectF rect = layout.blockBoundingRect(cell.firstCursorPosition().block());
      top[i] = std::min(top[i], rect.top());
      height[i] = std::max(height[i], rect.height());
    }
    const QTextBlock block = cells[0].firstCursorPosition().block();
    const QTextTableCellFormat cell_format = cells[0].format().toTableCellFormat();
    // Cells aligned to the middle or the bottom are drawn by the document a
    // little off the place its layout gives them; only top-aligned cells are
    // painted directly.
    if (HasOwnBorder(cell_format) || (cell_format.verticalAlignment() != QTextCharFormat::AlignNormal &&
                                      cell_format.verticalAlignment() != QTextCharFormat::AlignTop))
      return;
    QTextCursor text(block);
    text.movePosition(QTextCursor::NextCharacter);
    const QTextCharFormat chars = text.charFormat();
    const QRectF rect = layout.blockBoundingRect(block);
    ReportBandCell cell;
    cell.x = rect.left();
    cell.width = rect.width();
    cell.height = rect.height();
    cell.font = chars.font();
    cell.option = block.layout()->textOption();
    if (chars.foreground().style() != Qt::NoBrush) cell.color = chars.foreground().color();
    cell.background = cell_format.background();
    cell.pad_top = Padding(cell_format, format, QTextFormat::TableCellTopPadding);
    cell.pad_bottom = Padding(cell_format, format, QTextFormat::TableCellBottomPadding);
    cell.pad_left = Padding(cell_format, format, QTextFormat::TableCellLeftPadding);
    cell.pad_right = Padding(cell_format, format, QTextFormat::TableCellRightPadding);
    band.cells.push_back(cell);
  }
  if (band.cells.empty() || std::abs(height[0] - height[1]) > kSame) return;
  band.place = {top[0], height[0], top[1] - top[0]};
  // The borders are painted where the collapsed table model puts them: a
  // row is its content, its padding and one border as wide as the table's
  // (HTML gives the cells of a table with a wider border 1 pixel). A layout
  // that does not add up to that is left to the HTML.
  for (size_t c = 0; c < band.cells.size(); ++c) {
    const ReportBandCell &cell = band.cells[c];
    if (std::abs(cell.pad_top - band.cells[0].pad_top) > kSame) return;
    if (std::abs(band.place.pitch -
                 (band.place.sample_height + cell.pad_top + cell.pad_bottom + band.border)) > kSame)
      return;
    if (c + 1 < band.cells.size()) {
      const ReportBandCell &next = band.cells[c + 1];
      if (std::abs(cell.x + cell.width + cell.pad_right -
                   (next.x - next.pad_left - band.border)) > kSame)
        return;
    }
  }
  band_ = std::move(band);
  band_table_ = table;
  band_row_ = row;
  FindBandHeader();
}

namespace {

// Where the rows of a table begin and end: the top of each row's first
// blocks, the bottom of the last blocks of the cells ending in it, and
// whether a cell spans from a row into the next.
struct RowExtents {
  std::vector<double> top, bottom;
  std::vector<bool> spanned;
  // The middle between row r and the next, where a cut may go; nullopt
  // inside a row span.
  std::optional<double> Boundary(size_t r) const {
    if (r + 1 >= top.size() || spanned[r] || std::isinf(top[r + 1]) || std::isinf(bottom[r]))
      return std::nullopt;
    return (bottom[r] + top[r + 1]) / 2;
  }
};

RowExtents MeasureRows(const QAbstractTextDocumentLayout &layout, QTextTable &table) {
  const int rows = table.rows();
  constexpr double kNone = std::numeric_limits<double>::infinity();
  RowExtents extents{std::vector<double>(rows, kNone), std::vector<double>(rows, -kNone),
                     std::vector<bool>(rows, false)};
  for (int r = 0; r < rows; ++r) {
    for (int c = 0; c < table.columns(); ++c) {
      const QTextTableCell cell = table.cellAt(r, c);
      if (cell.row() != r || cell.column() != c) continue;
      const int last_row = std::min(rows - 1, r + cell.rowSpan() - 1);
      for (int s = r; s < last_row; ++s) extents.spanned[s] = true;
      extents.top[r] = std::min(extents.top[r],
                                layout.blockBoundingRect(cell.firstCursorPosition().block()).top());
      extents.bottom[last_row] =
          std::max(extents.bottom[last_row],
                   layout.blockBoundingRect(cell.lastCursorPosition().block()).bottom());
    }
  }
  return extents;
}

}  // namespace

void ReportFrame::AddTableCuts(QTextTable &table, ReportStrip &strip) const {
  const QAbstractTextDocumentLayout &layout = *doc_.documentLayout();
  const int header_rows = std::min(table.format().headerRowCount(), table.rows());
  const RowExtents rows = MeasureRows(layout, table);
  const QRectF rect = layout.frameBoundingRect(&table);
  ReportTableSpan span{rect.top(), rect.top(), rect.bottom()};
  const bool band = &table == band_table_;
  for (int r = 0; r + 1 < table.rows(); ++r) {
    const std::optional<double> boundary = rows.Boundary(r);
    if (!boundary) continue;
    if (r == header_rows - 1) span.header_bottom = *boundary;
    if (band && r == band_row_) continue;
    if (r >= header_rows) strip.cuts.push_back(*boundary);
  }
  strip.tables.push_back(span);
}

// The header rows of the band's table as the direct painting needs them, or
// nothing when a header cell holds what it does not follow.
void ReportFrame::FindBandHeader() {
  QTextTable &table = *band_table_;
  const QTextTableFormat format = table.format();
  const int header_rows = format.headerRowCount();
  if (header_rows <= 0 || format.background().style() != Qt::NoBrush) return;
  const QAbstractTextDocumentLayout &layout = *doc_.documentLayout();
  const RowExtents rows = MeasureRows(layout, table);
  const std::optional<double> bottom = rows.Boundary(header_rows - 1);
  if (!bottom) return;
  const double bw = band_->border;
  // The centre of the border line above each row, and below the last one.
  std::vector<double> lines(header_rows + 1);
  for (int r = 0; r <= header_rows; ++r)
    lines[r] = rows.top[r] - band_->cells.front().pad_top - bw;
  BandHeader header;
  header.top = layout.frameBoundingRect(&table).top();
  header.bottom = *bottom;
  for (int r = 0; r < header_rows; ++r) {
    for (int c = 0; c < table.columns(); ++c) {
      const QTextTableCell cell = table.cellAt(r, c);
      if (cell.row() != r || cell.column() != c) continue;
      const QTextTableCellFormat cell_format = cell.format().toTableCellFormat();
      if (r + cell.rowSpan() > header_rows || HasOwnBorder(cell_format) ||
          (cell_format.verticalAlignment() != QTextCharFormat::AlignNormal &&
           cell_format.verticalAlignment() != QTextCharFormat::AlignTop))
        return;
      HeaderCell out;
      QRectF content;
      for (QTextFrame::iterator it = cell.begin(); !it.atEnd(); ++it) {
        if (it.currentFrame()) return;  // a table inside the header
        const QTextBlock block = it.currentBlock();
        const QRectF rect = layout.blockBoundingRect(block);
        content = content.isNull() ? rect : content.united(rect);
        out.texts.emplace_back(block.layout(), rect.topLeft() - block.layout()->position());
      }
      const double pad_top = Padding(cell_format, format, QTextFormat::TableCellTopPadding);
      const double pad_left = Padding(cell_format, format, QTextFormat::TableCellLeftPadding);
      const double pad_right = Padding(cell_format, format, QTextFormat::TableCellRightPadding);
      if (std::abs(content.top() - pad_top - bw - lines[r]) > kSame) return;
      const double left = content.left() - pad_left - bw, right = content.right() + pad_right;
      const double top = lines[r], below = lines[r + cell.rowSpan()];
      out.background = cell_format.background();
      out.inside = QRectF(left + bw / 2, top + bw / 2, right - left - bw, below - top - bw);
      if (bw > 0) {
        out.lines = {QRectF(left - bw / 2, top - bw / 2, right - left + bw, bw),
                     QRectF(left - bw / 2, below - bw / 2, right - left + bw, bw),
                     QRectF(left - bw / 2, top - bw / 2, bw, below - top + bw),
                     QRectF(right - bw / 2, top - bw / 2, bw, below - top + bw)};
      }
      header.cells.push_back(std::move(out));
    }
  }
  header_ = std::move(header);
}

bool ReportFrame::DrawsHeader(double from, double to) const {
  return header_ && std::abs(from - header_->top) < kSame && std::abs(to - header_->bottom) < kSame;
}

void ReportFrame::DrawHeader(QPainter &painter, double at) const {
  const BandHeader &header = *header_;
  painter.save();
  painter.translate(0, at - header.top);
  painter.setClipRect(QRectF(0, header.top - kBorderOverlap, doc_.textWidth(),
                             header.bottom - header.top + 2 * kBorderOverlap));
  painter.setPen(Qt::NoPen);
  for (const HeaderCell &cell : header.cells) {
    if (cell.background.style() == Qt::NoBrush) continue;
    painter.setBrush(cell.background);
    painter.drawRect(cell.inside);
  }
  painter.setBrush(Qt::NoBrush);
  painter.setPen(Qt::black);
  for (const HeaderCell &cell : header.cells)
    for (const auto &[text, offset] : cell.texts) text->draw(&painter, offset);
  painter.setPen(Qt::NoPen);
  painter.setBrush(band_->border_brush);
  for (const HeaderCell &cell : header.cells)
    for (const QRectF &line : cell.lines) painter.drawRect(line);
  painter.restore();
}

ReportStrip ReportFrame::Strip() const {
  const QAbstractTextDocumentLayout &layout = *doc_.documentLayout();
  ReportStrip strip;
  for (QTextFrame::iterator it = doc_.rootFrame()->begin(); !it.atEnd(); ++it) {
    if (QTextFrame *frame = it.currentFrame()) {
      if (auto *table = qobject_cast<QTextTable *>(frame))
        AddTableCuts(*table, strip);
      strip.cuts.push_back(layout.frameBoundingRect(frame).bottom());
      continue;
    }
    const QTextBlock block = it.currentBlock();
    const QTextLayout *text = block.layout();
    const QRectF rect = layout.blockBoundingRect(block);
    const double origin = rect.top() - text->boundingRect().top();
    for (int i = 0; i < text->lineCount(); ++i) {
      const QTextLine line = text->lineAt(i);
      strip.cuts.push_back(origin + line.y() + line.height());
    }
    strip.cuts.push_back(rect.bottom());
  }
  std::sort(strip.cuts.begin(), strip.cuts.end());
  std::sort(strip.tables.begin(), strip.tables.end(),
            [](const ReportTableSpan &a, const ReportTableSpan &b) { return a.top < b.top; });
  strip.height = Height();
  return strip;
}

void ReportFrame::Draw(QPainter &painter, double from, double to, double at, bool exact_top,
                       bool exact_bottom) const {
  const double clip_top = exact_top ? from : from - kBorderOverlap;
  const double clip_bottom = exact_bottom ? to : to + kBorderOverlap;
  if (clip_bottom <= clip_top) return;
  const QRectF clip(0, clip_top, doc_.textWidth(), clip_bottom - clip_top);
  painter.save();
  painter.translate(0, at - from);
  QAbstractTextDocumentLayout::PaintContext context;
  context.clip = clip;
  context.palette.setColor(QPalette::Text, Qt::black);
  painter.setClipRect(clip);
  doc_.documentLayout()->draw(&painter, context);
  painter.restore();
}

}  // namespace ui
