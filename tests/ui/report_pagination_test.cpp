// Cutting a laid-out report into pages: only at allowed cuts, with table
// header rows repeated on the pages a table continues on; the rows of a band
// put where the frame's two sample rows stand.
#include "ui/report_pagination.h"

#include <gtest/gtest.h>

#include <cmath>

namespace ui {
namespace {

TEST(ReportPagination, PagesEndOnlyAtAllowedCuts) {
  // Rows of 30 end at 30, 60, ...; a page holds 100, so three rows a page.
  std::vector<double> cuts;
  for (int y = 30; y <= 300; y += 30) cuts.push_back(y);
  const auto pages = PaginateStrip(cuts, {}, 300, 100);
  ASSERT_EQ(pages.size(), 4u);
  EXPECT_EQ(pages[0].top, 0);
  EXPECT_EQ(pages[0].bottom, 90);
  EXPECT_EQ(pages[1].top, 90);
  EXPECT_EQ(pages[1].bottom, 180);
  EXPECT_EQ(pages[3].bottom, 300);
  for (const auto &page : pages) EXPECT_FALSE(page.repeat_header);
}

TEST(ReportPagination, ContinuedTableRepeatsItsHeaderRows) {
  // A paragraph to 40, then a table from 40 with a header to 60 and rows of
  // 20 to 400; the last cut is the table's end.
  std::vector<double> cuts = {20, 40};
  for (int y = 80; y <= 400; y += 20) cuts.push_back(y);
  const auto pages = PaginateStrip(cuts, {{40, 60, 400}}, 400, 150);
  ASSERT_GE(pages.size(), 3u);
  EXPECT_FALSE(pages[0].repeat_header);
  EXPECT_EQ(pages[0].bottom, 140);
  for (size_t i = 1; i < pages.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_TRUE(pages[i].repeat_header);
    EXPECT_EQ(pages[i].header_top, 40);
    EXPECT_EQ(pages[i].header_bottom, 60);
    EXPECT_EQ(pages[i].top, pages[i - 1].bottom);
    // The header takes 20 of the page: at most 130 of rows fit.
    EXPECT_LE(pages[i].bottom - pages[i].top, 130);
  }
  EXPECT_EQ(pages.back().bottom, 400);
}

TEST(ReportPagination, UnitTallerThanAPageIsCutAtThePageEnd) {
  const auto pages = PaginateStrip({10, 250}, {}, 250, 100);
  ASSERT_EQ(pages.size(), 3u);
  EXPECT_EQ(pages[0].bottom, 100);
  EXPECT_EQ(pages[1].bottom, 200);
  EXPECT_EQ(pages[2].bottom, 250);
}

TEST(ReportPagination, EmptyStripIsOnePage) {
  const auto pages = PaginateStrip({}, {}, 0, 100);
  ASSERT_EQ(pages.size(), 1u);
  EXPECT_EQ(pages[0].bottom, 0);
}

// A frame: a paragraph cut at 20, a table from 30 with its header to 50,
// the two sample rows (content 60..72 and 80..92, pitch 20), a totals row
// cut off at 106 and the table's end at 120, a last paragraph to 140.
const ReportStrip kFrame = {{20, 30, 106, 120, 140}, {{30, 50, 120}}, 140};
const ReportBandPlace kSamples = {60, 12, 20};

TEST(ReportPagination, BandRowsTakeThePlaceOfTheSampleRows) {
  const ReportBandStrip placed = PlaceBandRows(kFrame, kSamples, {12, 24, 12});
  EXPECT_EQ(placed.row_tops, std::vector<double>({60, 80, 112}));
  // Rows of 12, 24, 12 end 12 + 8 + 24 + 8 + 12 = 64 below 60, where the
  // frame's second sample row ended at 92: what follows moves by 32.
  EXPECT_EQ(placed.end, 124);
  EXPECT_EQ(placed.shift, 32);
  EXPECT_EQ(placed.strip.cuts, std::vector<double>({20, 30, 76, 108, 138, 152, 172}));
  ASSERT_EQ(placed.strip.tables.size(), 1u);
  EXPECT_EQ(placed.strip.tables[0].top, 30);
  EXPECT_EQ(placed.strip.tables[0].header_bottom, 50);
  EXPECT_EQ(placed.strip.tables[0].bottom, 152);
  EXPECT_EQ(placed.strip.height, 172);
}

TEST(ReportPagination, ManyBandRowsRunOverPagesRepeatingTheHeader) {
  const std::vector<float> heights(1000, 12);
  const ReportBandStrip placed = PlaceBandRows(kFrame, kSamples, heights);
  const auto pages = PaginateStrip(placed.strip.cuts, placed.strip.tables, placed.strip.height, 700);
  ASSERT_GT(pages.size(), 20u);
  for (size_t i = 1; i + 2 < pages.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_TRUE(pages[i].repeat_header);
    // The pages within the band end between two rows, 4 below a row's content.
    const double from_row = pages[i].bottom - kSamples.top;
    EXPECT_DOUBLE_EQ(std::fmod(from_row - 16, 20), 0);
  }
  EXPECT_EQ(pages.back().bottom, placed.strip.height);
}

}  // namespace
}  // namespace ui
