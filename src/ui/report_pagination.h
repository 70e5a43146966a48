// Cutting a report laid out as one long strip into A4 pages: a page ends only
// where a cut is allowed (between two lines of text, between two table rows),
// so that no table row is split over two pages, and a page that starts inside
// a table with header rows shows those rows again at its top.
//
// The strip of a report with a detail band is the frame's strip (two sample
// rows where the band stands) with the band's rows put in their place: it
// has the cuts and tables the strip would have had with every row laid out.
//
// Both can go step by step while the rows are read: a page is cut as soon as
// the cuts laid out so far decide where it ends, and it ends where it would
// have ended had every row been laid out first.
#pragma once

#include <cstdint>
#include <limits>
#include <optional>
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

// Cuts pages off a strip that grows at its bottom.
class StripPaginator {
 public:
  explicit StripPaginator(double page_height) : page_height_(page_height) {}

  // Cuts every page that what is known decides. cuts: the allowed cut
  // positions known so far, ascending; a later call passes the same ones
  // and those laid out since, all below none of them. tables: those known so
  // far, by their top; one not ended yet has the bottom kOpenEnd. height:
  // the strip's height once it is complete; the last page is then cut.
  void Advance(const std::vector<double> &cuts, const std::vector<ReportTableSpan> &tables,
               std::optional<double> height);
  bool Done() const { return done_; }
  const std::vector<ReportPageSlice> &Pages() const { return pages_; }

  static constexpr double kOpenEnd = std::numeric_limits<double>::infinity();

 private:
  double page_height_;
  double y_ = 0;      // where the next page begins
  size_t table_ = 0;  // the first table not ended above y_
  bool done_ = false;
  std::vector<ReportPageSlice> pages_;
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

// Puts the band's rows in their place one after the other. Until Finish the
// strip holds the frame's cuts above the band, the cuts between the rows
// added so far, and the frame's tables that begin above the band's end, a
// table the rows run on with the bottom StripPaginator::kOpenEnd.
class ReportBandPlacer {
 public:
  // frame: the frame's cuts, tables and height; a cut between the two
  // sample rows is dropped.
  ReportBandPlacer(const ReportStrip &frame, const ReportBandPlace &band);
  void AddRow(float height);
  // Ends the band after the rows added (at least one); what follows it in
  // the frame comes after the last row.
  void Finish();
  bool Finished() const { return finished_; }
  int64_t Rows() const { return static_cast<int64_t>(placed_.row_tops.size()); }
  // The content top, in the strip, of the row after the last one added.
  double NextTop() const { return top_; }
  const ReportBandStrip &Placed() const { return placed_; }

 private:
  ReportStrip frame_;
  ReportBandPlace band_;
  double overhead_, samples_end_;
  double top_;
  double pending_cut_ = 0;  // below the last row, kept until a row follows
  bool finished_ = false;
  ReportBandStrip placed_;
};

// frame: the frame's cuts, tables and height; a cut between the two sample
// rows is dropped. heights: at least one row. Linear in the rows, apart
// from sorting the cuts.
ReportBandStrip PlaceBandRows(const ReportStrip &frame, const ReportBandPlace &band,
                              const std::vector<float> &heights);

}  // namespace ui
