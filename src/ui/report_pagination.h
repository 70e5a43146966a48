// Cutting a report laid out as one long strip into A4 pages: a page ends only
// where a cut is allowed (between two lines of text, between two table rows),
// so that no table row is split over two pages, and a page that starts inside
// a table with header rows shows those rows again at its top.
#pragma once

#include <vector>

namespace ui {

// A table of the strip, in strip coordinates.
struct ReportTableSpan {
  double top = 0;            // top of the table
  double header_bottom = 0;  // bottom of its header rows; == top when none
  double bottom = 0;         // bottom of the table
};

// The part of the strip one page shows, and the header strip drawn above it.
struct ReportPageSlice {
  double top = 0, bottom = 0;
  bool repeat_header = false;
  double header_top = 0, header_bottom = 0;
};

// cuts: the allowed cut positions, ascending. A unit taller than a page is
// cut where the page ends. Linear in the number of cuts and pages.
std::vector<ReportPageSlice> PaginateStrip(const std::vector<double> &cuts,
                                           const std::vector<ReportTableSpan> &tables,
                                           double strip_height, double page_height);

}  // namespace ui
