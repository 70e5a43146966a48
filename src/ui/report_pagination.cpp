// Page cutting of a laid-out report; see report_pagination.h.
#include "ui/report_pagination.h"

#include <algorithm>

namespace ui {

void StripPaginator::Advance(const std::vector<double> &cuts,
                             const std::vector<ReportTableSpan> &tables,
                             std::optional<double> height) {
  constexpr double kEpsilon = 0.01;
  while (!done_) {
    ReportPageSlice page;
    page.top = y_;
    while (table_ < tables.size() && tables[table_].bottom <= y_ + kEpsilon) ++table_;
    double available = page_height_;
    if (!pages_.empty() && table_ < tables.size()) {
      const ReportTableSpan &span = tables[table_];
      const double header = span.header_bottom - span.top;
      // A page that begins after the header rows of a table repeats them,
      // unless they alone would fill the page.
      if (span.header_bottom < y_ + kEpsilon && span.top < y_ && header > 0 &&
          header < page_height_ / 2) {
        page.repeat_header = true;
        page.header_top = span.top;
        page.header_bottom = span.header_bottom;
        available -= header;
      }
    }
    const double limit = y_ + available;
    // Until the strip is complete, a page ends once a cut below it is known:
    // every cut above that one is known too.
    if (!height && (cuts.empty() || cuts.back() <= limit + kEpsilon)) return;
    if (height && limit >= *height - kEpsilon) {
      page.bottom = *height;
    } else {
      // The last cut on the page, unless the unit after it would not fit on
      // a page of its own either: then the page is filled and the unit cut.
      auto after = std::upper_bound(cuts.begin(), cuts.end(), limit + kEpsilon);
      const double next = after == cuts.end() ? *height : *after;
      const bool has_cut = after != cuts.begin() && *(after - 1) > y_ + kEpsilon;
      page.bottom = has_cut && next - *(after - 1) <= available ? *(after - 1) : limit;
    }
    pages_.push_back(page);
    y_ = page.bottom;
    if (height && y_ >= *height - kEpsilon) done_ = true;
  }
}

std::vector<ReportPageSlice> PaginateStrip(const std::vector<double> &cuts,
                                           const std::vector<ReportTableSpan> &tables,
                                           double strip_height, double page_height) {
  StripPaginator paginator(page_height);
  paginator.Advance(cuts, tables, strip_height);
  return paginator.Pages();
}

}  // namespace ui

namespace ui {

ReportBandPlacer::ReportBandPlacer(const ReportStrip &frame, const ReportBandPlace &band)
    : frame_(frame),
      band_(band),
      overhead_(band.pitch - band.sample_height),
      samples_end_(band.top + band.pitch + band.sample_height),
      top_(band.top) {
  for (double cut : frame_.cuts)
    if (cut <= band_.top) placed_.strip.cuts.push_back(cut);
  for (ReportTableSpan span : frame_.tables) {
    if (span.top >= samples_end_) break;  // by their tops: the rest follow the band
    if (span.bottom >= samples_end_) span.bottom = StripPaginator::kOpenEnd;
    placed_.strip.tables.push_back(span);
  }
}

void ReportBandPlacer::AddRow(float height) {
  if (!placed_.row_tops.empty()) placed_.strip.cuts.push_back(pending_cut_);
  placed_.row_tops.push_back(top_);
  pending_cut_ = top_ + height + overhead_ / 2;
  top_ += height + overhead_;
}

void ReportBandPlacer::Finish() {
  finished_ = true;
  // What followed the second sample row's content now follows the last row's.
  placed_.end = top_ - overhead_;
  placed_.shift = placed_.end - samples_end_;
  for (double cut : frame_.cuts)
    if (cut >= samples_end_) placed_.strip.cuts.push_back(cut + placed_.shift);
  std::sort(placed_.strip.cuts.begin(), placed_.strip.cuts.end());
  placed_.strip.tables.clear();
  for (ReportTableSpan span : frame_.tables) {
    if (span.top >= samples_end_) {
      span.top += placed_.shift;
      span.header_bottom += placed_.shift;
    }
    if (span.bottom >= samples_end_) span.bottom += placed_.shift;
    placed_.strip.tables.push_back(span);
  }
  placed_.strip.height = frame_.height + placed_.shift;
}

ReportBandStrip PlaceBandRows(const ReportStrip &frame, const ReportBandPlace &band,
                              const std::vector<float> &heights) {
  ReportBandPlacer placer(frame, band);
  for (float height : heights) placer.AddRow(height);
  placer.Finish();
  return placer.Placed();
}

}  // namespace ui
