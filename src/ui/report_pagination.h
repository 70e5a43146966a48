// Cutting a report laid out as one long strip into A4 pages: a page ends only
// where a cut is allowed (between two lines of text, between two table rows),
// so that no table row is split over two pages, and a page that starts inside
// a table with header rows shows those rows again at its top.
//
// The strip of a report with a detail band is the frame's strip (two sample
// rows where the band stands) with the band's rows put in their place: it
// has the cuts and tables the strip would have had with every row laid out.
#pragma once

#include <vector>

namespace ui {

// A table of the strip, in strip coordinates.
struct ReportTableSpan {
  double top = 0;            // top of the table
  double header_bottom = 0;  // bottom of its header rows; == top when none
  double bottom = 0;         // bottom of the table
};

// A laid-out strip: where it may be cut (ascending), its tables, its height.
struct ReportStrip {
  std::vector<double> cuts;
  std::vector<ReportTableSpan> tables;
  double height = 0;
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

// Where the sample rows of a band stand in the frame's strip: the content
// top of the first, the content height of one, and the distance from one
// row's content top to the next one's.
struct ReportBandPlace {
  double top = 0;
  double sample_height = 0;
  double pitch = 0;
};

// The rows of a band with these content heights, in their place.
struct ReportBandStrip {
  ReportStrip strip;
  std::vector<double> row_tops;  // content top of every row
  double shift = 0;  // how far what follows the band moved from the frame
  double end = 0;    // where the band's rows end and the frame goes on
};

// frame: the frame's cuts, tables and height; a cut between the two sample
// rows is dropped. heights: at least one row. Linear in the rows, apart
// from sorting the cuts.
ReportBandStrip PlaceBandRows(const ReportStrip &frame, const ReportBandPlace &band,
                              const std::vector<float> &heights);

}  // namespace ui
