// Cutting a laid-out report into pages: only at allowed cuts, with table
// header rows repeated on the pages a table continues on.
#include "ui/report_pagination.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace ui
