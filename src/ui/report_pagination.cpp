// Page cutting of a laid-out report; see report_pagination.h.
#include "ui/report_pagination.h"

#include <algorithm>

namespace ui {

std::vector<ReportPageSlice> PaginateStrip(const std::vector<double> &cuts,
                                           const std::vector<ReportTableSpan> &tables,
                                           double strip_height, double page_height) {
  constexpr double kEpsilon = 0.01;
  std::vector<ReportPageSlice> pages;
  double y = 0;
  size_t table = 0;
  do {
    ReportPageSlice page;
    page.top = y;
    while (table < tables.size() && tables[table].bottom <= y + kEpsilon) ++table;
    double available = page_height;
    if (!pages.empty() && table < tables.size()) {
      const ReportTableSpan &span = tables[table];
      const double header = span.header_bottom - span.top;
      // A page that begins after the header rows of a table repeats them,
      // unless they alone would fill the page.
      if (span.header_bottom < y + kEpsilon && span.top < y && header > 0 &&
          header < page_height / 2) {
        page.repeat_header = true;
        page.header_top = span.top;
        page.header_bottom = span.header_bottom;
        available -= header;
      }
    }
    const double limit = y + available;
    if (limit >= strip_height - kEpsilon) {
      page.bottom = strip_height;
    } else {
      // The last cut on the page, unless the unit after it would not fit on
      // a page of its own either: then the page is filled and the unit cut.
      auto after = std::upper_bound(cuts.begin(), cuts.end(), limit + kEpsilon);
      const double next = after == cuts.end() ? strip_height : *after;
      const bool has_cut = after != cuts.begin() && *(after - 1) > y + kEpsilon;
      page.bottom = has_cut && next - *(after - 1) <= available ? *(after - 1) : limit;
    }
    pages.push_back(page);
    y = page.bottom;
  } while (y < strip_height - kEpsilon);
  return pages;
}

}  // namespace ui

namespace ui {

ReportBandStrip PlaceBandRows(const ReportStrip &frame, const ReportBandPlace &band,
                              const std::vector<float> &heights) {
  const double overhead = band.pitch - band.sample_height;
  const double samples_end = band.top + band.pitch + band.sample_height;
  ReportBandStrip out;
  out.row_tops.reserve(heights.size());
  double top = band.top;
  for (size_t i = 0; i < heights.size(); ++i) {
    out.row_tops.push_back(top);
    if (i + 1 < heights.size()) out.strip.cuts.push_back(top + heights[i] + overhead / 2);
    top += heights[i] + overhead;
  }
  // What followed the second sample row's content now follows the last row's.
  out.end = top - overhead;
  out.shift = out.end - samples_end;
  for (double cut : frame.cuts) {
    if (cut <= band.top)
      out.strip.cuts.push_back(cut);
    else if (cut >= samples_end)
      out.strip.cuts.push_back(cut + out.shift);
  }
  std::sort(out.strip.cuts.begin(), out.strip.cuts.end());
  for (ReportTableSpan span : frame.tables) {
    if (span.top >= samples_end) {
      span.top += out.shift;
      span.header_bottom += out.shift;
    }
    if (span.bottom >= samples_end) span.bottom += out.shift;
    out.strip.tables.push_back(span);
  }
  out.strip.height = frame.height + out.shift;
  return out;
}

}  // namespace ui
