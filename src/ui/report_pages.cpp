// A report laid out on pages; see report_pages.h.
#include "ui/report_pages.h"

#include <QAbstractTextDocumentLayout>
#include <QPainter>
#include <algorithm>
#include <limits>

namespace ui {
namespace {

constexpr double kFooterGap = 6;    // layout pixels between body and footer
constexpr double kPdfDpi = 1200;    // the resolution page areas are measured at
constexpr qsizetype kLaidMax = 4096;  // laid-out texts kept per cell

QFont ReportFont(const ReportDefinition &report) {
  QFont font(report.font_family);
  font.setPointSizeF(report.font_points);
  return font;
}

// The one @rows block of the report, when it has exactly one.
std::optional<size_t> RowsBlock(const ReportDefinition &report) {
  std::optional<size_t> found;
  for (size_t b = 0; b < report.blocks.size(); ++b) {
    if (report.blocks[b].connection.isEmpty()) continue;
    if (found) return std::nullopt;
    found = b;
  }
  return found;
}

// A cell that shows the row number and nothing else.
bool IsRowNumber(const ReportTemplate &content) {
  int numbers = 0;
  for (const ReportPiece &piece : content) {
    if (piece.kind == ReportPiece::Kind::kRowNo && piece.filters.empty())
      ++numbers;
    else if (piece.kind != ReportPiece::Kind::kLiteral || !piece.text.trimmed().isEmpty())
      return false;
  }
  return numbers == 1;
}

}  // namespace

QPageLayout ReportPageLayout(const ReportPageSetup &setup) {
  return QPageLayout(QPageSize(QPageSize::A4),
                     setup.landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                     QMarginsF(setup.left_mm, setup.top_mm, setup.right_mm, setup.bottom_mm),
                     QPageLayout::Millimeter);
}

QSizeF ReportPageArea(const QPageLayout &layout) {
  return QSizeF(layout.paintRectPixels(kPdfDpi).size()) / (kPdfDpi / kLayoutDpi);
}

ReportPages::ReportPages(ReportFiller &filler, const QSizeF &page)
    : filler_(filler), page_(page), device_(ReportLayoutDevice()) {}

ReportPages::~ReportPages() = default;

std::unique_ptr<ReportPages> ReportPages::Lay(const ReportDefinition &report,
                                              ReportFiller &filler, const QSizeF &page,
                                              const ReportSteps &steps) {
  std::unique_ptr<ReportPages> pages = Begin(report, filler, page, steps);
  if (!pages || !pages->Continue(std::numeric_limits<int64_t>::max(), steps)) return nullptr;
  return pages;
}

std::unique_ptr<ReportPages> ReportPages::Begin(const ReportDefinition &report,
                                                ReportFiller &filler, const QSizeF &page,
                                                const ReportSteps &steps) {
  if (!filler.Prepare(steps)) return nullptr;
  std::unique_ptr<ReportPages> pages(new ReportPages(filler, page));
  pages->font_ = ReportFont(report);
  const double width = page.width();

  QTextDocument &footer = pages->footer_;
  footer.documentLayout()->setPaintDevice(&pages->device_);
  footer.setDefaultFont(pages->font_);
  footer.setDocumentMargin(0);
  footer.setTextWidth(width);
  footer.setHtml(filler.FooterHtml(1, 1));
  pages->footer_height_ = report.footer.empty() ? 0 : footer.size().height() + kFooterGap;
  pages->body_height_ = page.height() - pages->footer_height_;
  pages->paginator_ = StripPaginator(pages->body_height_);

  const std::optional<size_t> rows = RowsBlock(report);
  if (rows) pages->template_ = SplitRowBand(report.blocks[*rows].body);
  if (pages->template_) {
    const QString sample = BandSampleRowHtml(*pages->template_, QStringLiteral("0"));
    pages->frame_.emplace(filler.BlocksHtml(0, *rows) + sample + sample +
                              filler.BlocksHtml(*rows + 1, report.blocks.size()),
                          pages->font_, width, true);
    pages->band_ = pages->frame_->Band();
    if (pages->band_)
      pages->StartBand(*filler.Connection(report.blocks[*rows].connection));
    else
      pages->frame_.reset();
  }
  if (!pages->frame_) {
    pages->frame_.emplace(filler.BodyHtml(), pages->font_, width, false);
    pages->CutPages();
  }
  return pages;
}

bool ReportPages::Continue(int64_t rows, const ReportSteps &steps) {
  if (complete_ || reading_) return true;
  struct Reading {
    bool &flag;
    explicit Reading(bool &f) : flag(f) { flag = true; }
    ~Reading() { flag = false; }
  } reading(reading_);
  const bool read = ReadRows(rows, steps);
  if (source_->Eof())
    EndBand();
  else
    CutPages();
  return read;
}

void ReportPages::StartBand(ReportRowSource &source) {
  for (size_t c = 0; c < band_->cells.size(); ++c) {
    const ReportBandCell &cell = band_->cells[c];
    // A row number is laid out for the sample "0": one of more digits may
    // use the cell's padding rather than break over two lines.
    const double spill =
        IsRowNumber(template_->cells[c].content) ? std::min(cell.pad_left, cell.pad_right) : 0;
    cell_text_.push_back(std::make_unique<ReportCellText>(cell.font, cell.option, cell.width,
                                                          &device_, spill));
  }
  laid_.resize(template_->cells.size());
  hint_ = std::max<int64_t>(0, source.SizeHint());
  heights_.reserve(hint_);
  cell_end_.reserve(hint_ * template_->cells.size());
  placer_.emplace(frame_->Strip(), band_->place);
  source_ = &source;
  source.First();
}

bool ReportPages::ReadRows(int64_t rows, const ReportSteps &steps) {
  const std::vector<ReportRowBand::Cell> &cells = template_->cells;
  for (int64_t n = 0; n < rows && !source_->Eof(); ++n) {
    ++rowno_;
    float height = 0;
    for (size_t c = 0; c < cells.size(); ++c) {
      const QString text = filler_.CellText(cells[c].content, *source_, rowno_);
      text_.insert(text_.end(), text.utf16(), text.utf16() + text.size());
      cell_end_.push_back(static_cast<uint32_t>(text_.size()));
      height = std::max(height, static_cast<float>(cell_text_[c]->Height(text)));
    }
    heights_.push_back(height);
    placer_->AddRow(height);
    if (rowno_ == 64 && hint_ > rowno_)  // room for the rest, from the first rows' texts
      text_.reserve(text_.size() / rowno_ * hint_ * 11 / 10);
    source_->Next();
    if (steps && !steps(rowno_, RowsExpected())) return false;
  }
  return true;
}

// After the last row. Without rows the HTML is short, and it closes the
// table as HTML does.
void ReportPages::EndBand() {
  if (heights_.empty()) {
    band_.reset();
    placer_.reset();
    frame_.reset();
    frame_.emplace(filler_.BodyHtml(), font_, page_.width(), false);
  } else {
    placer_->Finish();
  }
  CutPages();
}

void ReportPages::CutPages() {
  const std::vector<ReportPageSlice> &slices = paginator_.Pages();
  if (!placer_) {
    const ReportStrip strip = frame_->Strip();
    paginator_.Advance(strip.cuts, strip.tables, strip.height);
  } else {
    const ReportBandStrip &placed = placer_->Placed();
    paginator_.Advance(placed.strip.cuts, placed.strip.tables,
                       placer_->Finished() ? std::optional<double>(placed.strip.height)
                                           : std::nullopt);
  }
  complete_ = paginator_.Done();
  if (complete_) {
    ready_ = static_cast<int>(slices.size());
    return;
  }
  // A page is painted with the rows that reach into it and their neighbours
  // above and below, for the borders: it is ready once the row below its
  // last one is read.
  const double overhead = band_->place.pitch - band_->place.sample_height;
  const double unread = placer_->NextTop() - overhead - 1;
  while (ready_ < static_cast<int>(slices.size()) && slices[ready_].bottom < unread) ++ready_;
}

QString ReportPages::CellText(int64_t row, int cell) const {
  const size_t index = static_cast<size_t>(row) * band_->cells.size() + cell;
  const uint32_t begin = index == 0 ? 0 : cell_end_[index - 1];
  return QString(reinterpret_cast<const QChar *>(text_.data() + begin),
                 cell_end_[index] - begin);
}

void ReportPages::Paint(QPainter &painter, int index) {
  const ReportPageSlice &slice = paginator_.Pages().at(index);
  painter.save();
  double at = 0;
  if (slice.repeat_header) {
    if (frame_->DrawsHeader(slice.header_top, slice.header_bottom))
      frame_->DrawHeader(painter, at);
    else
      DrawRange(painter, slice.header_top, slice.header_bottom, at);
    at += slice.header_bottom - slice.header_top;
  }
  DrawRange(painter, slice.top, slice.bottom, at);
  PaintFooter(painter, index);
  painter.restore();
}

// The frame where it stands above and below the band, the band's rows
// between. The two meet in the middle of the border line that the band's
// first row has at its top and its last row at its bottom.
void ReportPages::DrawRange(QPainter &painter, double from, double to, double at) {
  auto draw = [&](double a, double b, double y, bool exact_top, bool exact_bottom) {
    frame_->Draw(painter, a, b, y, exact_top, exact_bottom);
  };
  if (!band_) {
    draw(from, to, at, false, false);
    return;
  }
  const ReportBandCell &first = band_->cells.front();
  const double band_top = band_->place.top - first.pad_top - band_->border;
  const ReportBandStrip &placed = placer_->Placed();
  // Until the last row is read no page reaches below the band.
  const double band_end =
      placer_->Finished() ? placed.end + first.pad_bottom : StripPaginator::kOpenEnd;
  if (from < band_top) draw(from, std::min(to, band_top), at, false, to > band_top);
  if (to > band_end) {
    const double begin = std::max(from, band_end);
    draw(begin - placed.shift, to - placed.shift, at + begin - from, from < band_end, false);
  }
  if (to > band_top && from < band_end && !heights_.empty()) {
    painter.save();
    painter.translate(0, at - from);
    PaintRows(painter, from, to);
    painter.restore();
  }
}

// The rows that show between from and to, clipped as the frame is clipped.
void ReportPages::PaintRows(QPainter &painter, double from, double to) {
  constexpr double kBorderOverlap = 0.6;
  const ReportBandLayout &band = *band_;
  const std::vector<double> &tops = placer_->Placed().row_tops;
  const ReportBandCell &first = band.cells.front(), &last = band.cells.back();
  const double overhead = band.place.pitch - band.place.sample_height;
  const double bw = band.border;
  // The first row whose bottom border reaches below from, the rows up to to.
  size_t begin = std::upper_bound(tops.begin(), tops.end(), from) - tops.begin();
  while (begin > 0 && tops[begin - 1] + heights_[begin - 1] + overhead > from - kBorderOverlap)
    --begin;
  size_t end = begin;
  while (end < tops.size() && tops[end] - overhead < to + kBorderOverlap) ++end;
  if (begin >= end) return;

  painter.setClipRect(QRectF(0, from - kBorderOverlap, page_.width(),
                             to - from + 2 * kBorderOverlap));
  // Backgrounds, then texts, then borders, each with as few changes of the
  // painter's state as may be: a PDF file gets one path for all borders.
  // Every rectangle on its own: a PDF viewer snaps a thin one to whole
  // pixels, as it did for the document's borders, but not a path of many.
  painter.setPen(Qt::NoPen);
  for (const ReportBandCell &cell : band.cells) {
    if (cell.background.style() == Qt::NoBrush) continue;
    painter.setBrush(cell.background);
    for (size_t r = begin; r < end; ++r) {
      painter.drawRect(QRectF(cell.x - cell.pad_left - bw / 2, tops[r] - cell.pad_top - bw / 2,
                              cell.width + cell.pad_left + cell.pad_right,
                              heights_[r] + cell.pad_top + cell.pad_bottom));
    }
  }
  painter.setBrush(Qt::NoBrush);
  // Texts only of the rows, and the lines of a row taller than a page, that
  // show between from and to: the neighbours above and below are there for
  // their borders, and a text clipped away would still be in a PDF file's
  // text, found by a search on the wrong page.
  const QRectF text_clip(0, from, page_.width(), to - from);
  QColor pen;
  for (size_t r = begin; r < end; ++r) {
    if (tops[r] + heights_[r] <= from + kBorderOverlap || tops[r] >= to - kBorderOverlap)
      continue;
    for (size_t c = 0; c < band.cells.size(); ++c) {
      const ReportBandCell &cell = band.cells[c];
      const QString text = CellText(static_cast<int64_t>(r), static_cast<int>(c));
      auto &laid = laid_[c];
      auto found = laid.find(text);
      if (found == laid.end()) {
        if (laid.size() >= kLaidMax) laid.clear();
        found = laid.insert(text, std::shared_ptr<QTextLayout>(cell_text_[c]->Lay(text)));
      }
      if (cell.color != pen) {
        pen = cell.color;
        painter.setPen(pen);
      }
      (*found)->draw(&painter, QPointF(cell.x, tops[r]), {}, text_clip);
    }
  }
  if (bw <= 0) return;
  // Border line centres: a line across below every row and above the
  // first, one down each column edge past all the rows.
  const double left = first.x - first.pad_left - bw;
  const double right = last.x + last.width + last.pad_right;
  const double page_top = tops[begin] - first.pad_top - bw;
  const double page_bottom = tops[end - 1] + heights_[end - 1] + first.pad_bottom;
  painter.setPen(Qt::NoPen);
  painter.setBrush(band.border_brush);
  painter.drawRect(QRectF(left - bw / 2, page_top - bw / 2, right - left + bw, bw));
  for (size_t r = begin; r < end; ++r) {
    painter.drawRect(QRectF(left - bw / 2, tops[r] + heights_[r] + first.pad_bottom - bw / 2,
                            right - left + bw, bw));
  }
  auto column_line = [&](double centre) {
    painter.drawRect(QRectF(centre - bw / 2, page_top - bw / 2, bw, page_bottom - page_top + bw));
  };
  column_line(left);
  for (const ReportBandCell &cell : band.cells) column_line(cell.x + cell.width + cell.pad_right);
}

void ReportPages::PaintFooter(QPainter &painter, int index) {
  if (footer_height_ <= 0) return;
  const QString html = filler_.FooterHtml(index + 1, complete_ ? Count() : 0);
  if (html != footer_html_) {
    footer_.setHtml(html);
    footer_html_ = html;
  }
  painter.translate(0, body_height_ + kFooterGap);
  const QRectF clip(0, 0, page_.width(), footer_height_);
  QAbstractTextDocumentLayout::PaintContext context;
  context.clip = clip;
  context.palette.setColor(QPalette::Text, Qt::black);
  painter.setClipRect(clip);
  footer_.documentLayout()->draw(&painter, context);
}

}  // namespace ui
