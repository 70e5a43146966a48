// Pagination and painting of reports; see report_paint.h.
//
// The document is laid out at a fixed 96 dots per inch, whatever the printer,
// so that lengths written in pixels in the project file mean the same on paper,
// on screen and in a PDF file; the painter is scaled up to the printer.
#include "ui/report_paint.h"

#include <QAbstractTextDocumentLayout>
#include <QImage>
#include <QPageLayout>
#include <QPainter>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <QTextTable>
#include <algorithm>
#include <limits>

#include "ui/report_pagination.h"

namespace ui {
namespace {

constexpr double kLayoutDpi = 96;
constexpr double kFooterGap = 6;  // layout pixels between body and footer

// A paint device of exactly kLayoutDpi for the text layout.
QImage LayoutDevice() {
  QImage image(8, 8, QImage::Format_RGB32);
  const int dots_per_metre = qRound(kLayoutDpi / 0.0254);
  image.setDotsPerMeterX(dots_per_metre);
  image.setDotsPerMeterY(dots_per_metre);
  return image;
}

void Prepare(QTextDocument &doc, QPaintDevice *device, const ReportDefinition &report) {
  doc.documentLayout()->setPaintDevice(device);
  QFont font(report.font_family);
  font.setPointSizeF(report.font_points);
  doc.setDefaultFont(font);
  doc.setDocumentMargin(0);
}

void Draw(QTextDocument &doc, QPainter &painter, const QRectF &clip) {
  QAbstractTextDocumentLayout::PaintContext context;
  context.clip = clip;
  context.palette.setColor(QPalette::Text, Qt::black);
  painter.setClipRect(clip);
  doc.documentLayout()->draw(&painter, context);
}

// Draws the strip from..to of doc with from placed at y = at. A little more
// than the strip is drawn so that a border lying on a cut shows on both sides.
void DrawStrip(QTextDocument &doc, QPainter &painter, double width, double from, double to,
               double at) {
  constexpr double kBorderOverlap = 0.6;
  painter.save();
  painter.translate(0, at - from);
  Draw(doc, painter, QRectF(0, from - kBorderOverlap, width, to - from + 2 * kBorderOverlap));
  painter.restore();
}

struct StripBreaks {
  std::vector<double> cuts;
  std::vector<ReportTableSpan> tables;
};

// A table allows cuts between its body rows, not inside its header, not
// between the header and the first body row, and not across a row span.
void AddTableBreaks(const QAbstractTextDocumentLayout &layout, QTextTable &table,
                    const QRectF &rect, StripBreaks &breaks) {
  const int rows = table.rows();
  const int header_rows = std::min(table.format().headerRowCount(), rows);
  constexpr double kNone = std::numeric_limits<double>::infinity();
  std::vector<double> top(rows, kNone), bottom(rows, -kNone);
  std::vector<bool> spanned(rows, false);
  for (int r = 0; r < rows; ++r) {
    for (int c = 0; c < table.columns(); ++c) {
      const QTextTableCell cell = table.cellAt(r, c);
      if (cell.row() != r || cell.column() != c) continue;
      const int last_row = std::min(rows - 1, r + cell.rowSpan() - 1);
      for (int s = r; s < last_row; ++s) spanned[s] = true;
      top[r] = std::min(top[r], layout.blockBoundingRect(cell.firstCursorPosition().block()).top());
      bottom[last_row] = std::max(
          bottom[last_row], layout.blockBoundingRect(cell.lastCursorPosition().block()).bottom());
    }
  }
  ReportTableSpan span{rect.top(), rect.top(), rect.bottom()};
  for (int r = 0; r + 1 < rows; ++r) {
    if (spanned[r] || top[r + 1] == kNone || bottom[r] == -kNone) continue;
    const double boundary = (bottom[r] + top[r + 1]) / 2;
    if (r == header_rows - 1) span.header_bottom = boundary;
    if (r >= header_rows) breaks.cuts.push_back(boundary);
  }
  breaks.tables.push_back(span);
}

// The places where the laid-out body may be cut: after every line of a
// paragraph, between table rows, after every top-level table or frame.
StripBreaks CollectBreaks(QTextDocument &doc) {
  const QAbstractTextDocumentLayout &layout = *doc.documentLayout();
  StripBreaks breaks;
  for (QTextFrame::iterator it = doc.rootFrame()->begin(); !it.atEnd(); ++it) {
    if (QTextFrame *frame = it.currentFrame()) {
      const QRectF rect = layout.frameBoundingRect(frame);
      if (auto *table = qobject_cast<QTextTable *>(frame))
        AddTableBreaks(layout, *table, rect, breaks);
      breaks.cuts.push_back(rect.bottom());
      continue;
    }
    const QTextBlock block = it.currentBlock();
    const QTextLayout *text = block.layout();
    const QRectF rect = layout.blockBoundingRect(block);
    const double origin = rect.top() - text->boundingRect().top();
    for (int i = 0; i < text->lineCount(); ++i) {
      const QTextLine line = text->lineAt(i);
      breaks.cuts.push_back(origin + line.y() + line.height());
    }
    breaks.cuts.push_back(rect.bottom());
  }
  std::sort(breaks.cuts.begin(), breaks.cuts.end());
  std::sort(breaks.tables.begin(), breaks.tables.end(),
            [](const ReportTableSpan &a, const ReportTableSpan &b) { return a.top < b.top; });
  return breaks;
}

}  // namespace

int PaintReport(const ReportDefinition &report, ReportFiller &filler, QPrinter &printer,
                const std::function<void(int page)> &on_page) {
  const ReportPageSetup &page = report.page;
  printer.setFullPage(false);
  printer.setPageLayout(QPageLayout(
      QPageSize(QPageSize::A4), page.landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
      QMarginsF(page.left_mm, page.top_mm, page.right_mm, page.bottom_mm),
      QPageLayout::Millimeter));

  QImage device = LayoutDevice();
  QTextDocument body;
  Prepare(body, &device, report);
  body.setHtml(filler.BodyHtml());
  QTextDocument footer;
  Prepare(footer, &device, report);

  const double scale = printer.logicalDpiX() / kLayoutDpi;
  const double width = printer.width() / scale;
  footer.setTextWidth(width);
  footer.setHtml(filler.FooterHtml(1, 1));
  const double footer_height = report.footer.empty() ? 0 : footer.size().height() + kFooterGap;
  const double height = printer.height() / scale - footer_height;
  // The body is laid out as one strip of the page's width, then cut into
  // pages at the places CollectBreaks allows.
  body.setTextWidth(width);
  const StripBreaks breaks = CollectBreaks(body);
  const std::vector<ReportPageSlice> slices =
      PaginateStrip(breaks.cuts, breaks.tables, body.size().height(), height);
  const int pages = static_cast<int>(slices.size());

  QPainter painter;
  if (!painter.begin(&printer)) {
    const QString target =
        printer.outputFileName().isEmpty() ? printer.printerName() : printer.outputFileName();
    throw ReportError(
        QStringLiteral("Отчетът не може да бъде изведен в [%1].").arg(target).toStdString());
  }
  painter.setRenderHint(QPainter::Antialiasing);
  for (int i = 0; i < pages; ++i) {
    if (on_page) on_page(i + 1);
    if (i > 0) printer.newPage();
    const ReportPageSlice &slice = slices[i];
    painter.save();
    painter.scale(scale, scale);
    double at = 0;
    if (slice.repeat_header) {
      DrawStrip(body, painter, width, slice.header_top, slice.header_bottom, at);
      at += slice.header_bottom - slice.header_top;
    }
    DrawStrip(body, painter, width, slice.top, slice.bottom, at);
    if (!report.footer.empty()) {
      footer.setHtml(filler.FooterHtml(i + 1, pages));
      painter.translate(0, height + kFooterGap);
      Draw(footer, painter, QRectF(0, 0, width, footer_height));
    }
    painter.restore();
  }
  painter.end();
  return pages;
}

}  // namespace ui
