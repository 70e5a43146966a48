// A report laid out on pages: the frame (report_frame.h), the rows of its
// detail band read once, measured once and put in their place, and the
// pages cut from the strip. Any page can then be painted on its own, in any
// order, at the cost of the rows it shows: the preview paints only the pages
// in view, a PDF file or a printer gets them one after the other.
//
// The rows can be read a part at a time (Begin, then Continue): the pages
// they fill are cut as they are read, and each can be painted as soon as it
// is cut, as it will look when all rows are read, but for a page count in
// the footer, which shows "…" until the last page is cut.
//
// A report whose @rows block is no detail band (report_row_band.h), or
// whose band the frame lays out in a way the direct painting does not
// follow, is laid out as one HTML document instead, as it always was.
#pragma once

#include <QHash>
#include <QImage>
#include <QPageLayout>
#include <QSizeF>
#include <QTextDocument>
#include <QTextLayout>
#include <algorithm>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "ui/report_cell_text.h"
#include "ui/report_fill.h"
#include "ui/report_frame.h"
#include "ui/report_pagination.h"
#include "ui/report_project.h"
#include "ui/report_row_band.h"

class QPainter;

namespace ui {

class ReportPages {
 public:
  // Lays the report out for pages whose printable area is `page` (layout
  // pixels). steps gets the rows read, once for the connections walked for
  // lookups and totals, once for the band's rows. nullptr when steps asked
  // to stop. The filler must outlive the pages; a missing connection raises
  // ReportError.
  static std::unique_ptr<ReportPages> Lay(const ReportDefinition &report, ReportFiller &filler,
                                          const QSizeF &page, const ReportSteps &steps = {});
  // As Lay, but reads none of the band's rows yet: Continue reads them.
  // steps gets the rows read for lookups and totals.
  static std::unique_ptr<ReportPages> Begin(const ReportDefinition &report, ReportFiller &filler,
                                            const QSizeF &page, const ReportSteps &steps = {});
  ~ReportPages();

  // Reads up to `rows` more of the band's rows (all of them when they are
  // fewer) and cuts the pages they complete; after the last row the rest of
  // the pages. steps gets (rows read, rows expected). False when steps asked
  // to stop; a later call goes on from there. A call made while another one
  // runs (from the events its steps let through) returns at once.
  bool Continue(int64_t rows, const ReportSteps &steps = {});
  bool Complete() const { return complete_; }
  // True while Continue runs.
  bool Reading() const { return reading_; }
  // The band's rows read so far, and about how many there are in all.
  int64_t RowsRead() const { return rowno_; }
  int64_t RowsExpected() const { return std::max<int64_t>(hint_, rowno_); }

  // The pages cut so far; all of them once Complete.
  int Count() const { return ready_; }
  QSizeF PageSize() const { return page_; }
  // Paints page `index` (from 0) with its footer; the painter works in
  // layout pixels with the origin at the top left of the printable area.
  void Paint(QPainter &painter, int index);

  // What the pages were cut from, for tests.
  const std::vector<ReportPageSlice> &Slices() const { return paginator_.Pages(); }
  bool PaintsBandDirectly() const { return band_.has_value(); }
  bool PaintsHeaderDirectly() const { return band_ && frame_->HasHeaderPainter(); }
  // The band's rows, their content heights and their texts.
  int64_t BandRows() const { return static_cast<int64_t>(heights_.size()); }
  double RowHeight(int64_t row) const { return heights_[row]; }
  QString CellText(int64_t row, int cell) const;

 private:
  ReportPages(ReportFiller &filler, const QSizeF &page);
  void StartBand(ReportRowSource &source);
  bool ReadRows(int64_t rows, const ReportSteps &steps);
  void EndBand();
  void CutPages();
  void DrawRange(QPainter &painter, double from, double to, double at);
  void PaintRows(QPainter &painter, double from, double to);
  void PaintFooter(QPainter &painter, int index);

  ReportFiller &filler_;
  QSizeF page_;
  QImage device_;
  QFont font_;
  std::optional<ReportFrame> frame_;
  double body_height_ = 0, footer_height_ = 0;
  QTextDocument footer_;
  QString footer_html_;
  StripPaginator paginator_{0};
  int ready_ = 0;  // pages that can be painted
  bool complete_ = false;
  bool reading_ = false;

  // The band, when it is painted directly.
  std::optional<ReportRowBand> template_;
  std::optional<ReportBandLayout> band_;
  std::vector<std::unique_ptr<ReportCellText>> cell_text_;
  std::vector<char16_t> text_;     // the cells' texts, one after the other
  std::vector<uint32_t> cell_end_; // per row and cell, where its text ends
  std::vector<float> heights_;     // per row, the content height
  std::optional<ReportBandPlacer> placer_;
  ReportRowSource *source_ = nullptr;
  int rowno_ = 0;
  int64_t hint_ = 0;
  // Laid-out texts by cell, reused while a cell's text repeats.
  std::vector<QHash<QString, std::shared_ptr<QTextLayout>>> laid_;
};

// A4 in the report's orientation with its margins.
QPageLayout ReportPageLayout(const ReportPageSetup &setup);
// The printable area of a page layout in layout pixels, measured in whole
// dots at 1200 dots per inch, as a PDF file measures it.
QSizeF ReportPageArea(const QPageLayout &layout);

}  // namespace ui
