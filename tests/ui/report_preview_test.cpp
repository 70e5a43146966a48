// The preview window over a long report: it opens at 115 per cent, paints
// only the pages in view, and its page box and buttons move between pages;
// opened on the first pages, it lays out the rest while shown.
#include "ui/report_preview.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QScrollBar>
#include <QSpinBox>

#include "support/qt/report_rows.h"
#include "support/qt/shipped_report.h"

namespace ui {
namespace {

using testing_support::ReportRows;

TEST(ReportPreview, PaintsOnlyThePagesInViewOfALongReport) {
  const ReportProject project = ParseReportProject(
      "@report R\n@footer {{page}}/{{pages}}\n@html\n<table width=\"100%\" border=\"1\" "
      "cellspacing=\"0\" style=\"border-collapse:collapse; border-color:#000\">\n@end\n"
      "@rows Rows\n<tr><td>{{rowno}}</td><td>{{row.T}}</td></tr>\n@end\n@html\n</table>\n@end\n",
      "t.rav");
  ReportRows rows;
  for (int i = 0; i < 3000; ++i) rows.Add({{"T", QString("ред %1").arg(i)}});
  const QHash<QString, QString> params;
  const QHash<QString, ReportRowSource *> connections{{"Rows", &rows}};
  const ReportDefinition &report = project.reports[0];
  ReportFiller filler(report, params, connections);
  const QPageLayout layout = ReportPageLayout(report.page);
  std::unique_ptr<ReportPages> pages = ReportPages::Lay(report, filler, ReportPageArea(layout));
  ASSERT_GT(pages->Count(), 40);

  int printed = 0;
  ReportPreviewDialog preview(*pages, layout, [&printed] { return ++printed > 0; });
  EXPECT_EQ(preview.objectName(), "ReportPreview");
  EXPECT_EQ(preview.windowTitle(), "Report Preview");
  preview.show();
  QApplication::processEvents();
  ReportPageView *view = preview.View();
  view->viewport()->grab();
  EXPECT_DOUBLE_EQ(view->Zoom(), 1.15);
  EXPECT_GE(view->PaintedPages(), 1);
  EXPECT_LE(view->PaintedPages(), 4);

  auto *page = preview.findChild<QSpinBox *>("PreviewPage");
  ASSERT_NE(page, nullptr);
  EXPECT_EQ(page->maximum(), pages->Count());
  const int before = view->PaintedPages();
  page->setValue(40);
  EXPECT_EQ(view->CurrentPage(), 39);
  view->viewport()->grab();
  EXPECT_LE(view->PaintedPages() - before, 4);
  view->verticalScrollBar()->setValue(view->verticalScrollBar()->value() + 10);
  EXPECT_EQ(page->value(), 40);  // still on that page
  view->ShowPage(12);
  EXPECT_EQ(page->value(), 13);

  view->SetZoom(0.5);
  EXPECT_EQ(view->CurrentPage(), 12);  // zooming keeps the page
  // Printing is the renderer's; a printed report closes the window.
  preview.findChild<QAction *>("PreviewPrint")->trigger();
  EXPECT_EQ(printed, 1);
  EXPECT_EQ(preview.result(), QDialog::Accepted);
}

// A preview opened on the first pages lays out the rest while it is shown:
// the page count fills in and the progress goes once the last page is cut.
TEST(ReportPreview, LaysOutTheRestOfTheRowsWhileShown) {
  QFile file(testing_support::kShippedProject);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const ReportProject project = ParseReportProject(QString::fromUtf8(file.readAll()), "t.rav");
  testing_support::ShippedFixture fixture;
  for (int i = 0; i < 600; ++i) fixture.rows.Add({{"F05", QString("Лице %1").arg(i)}});
  const QHash<QString, ReportRowSource *> connections = fixture.Connections();
  const QHash<QString, QString> &params = fixture.params;
  const ReportDefinition &report = *project.Find("Report1");
  const QPageLayout layout = ReportPageLayout(report.page);
  ReportFiller whole_filler(report, params, connections), filler(report, params, connections);
  const int count = ReportPages::Lay(report, whole_filler, ReportPageArea(layout))->Count();
  std::unique_ptr<ReportPages> pages = ReportPages::Begin(report, filler, ReportPageArea(layout));
  ASSERT_TRUE(pages->Continue(100));
  ASSERT_GT(pages->Count(), 0);

  ReportPreviewDialog preview(*pages, layout, {});
  auto *page = preview.findChild<QSpinBox *>("PreviewPage");
  auto *shown_count = preview.findChild<QLabel *>("PreviewPageCount");
  auto *laying = preview.findChild<QProgressBar *>("PreviewLayoutProgress");
  ASSERT_TRUE(page && shown_count && laying);
  EXPECT_EQ(page->maximum(), pages->Count());
  EXPECT_LT(page->maximum(), count);
  EXPECT_EQ(shown_count->text(), QString(" от %1… ").arg(pages->Count()));
  preview.show();
  for (int turn = 0; turn < 10000 && !pages->Complete(); ++turn) QApplication::processEvents();
  ASSERT_TRUE(pages->Complete());
  QApplication::processEvents();  // the tool bar lays itself out again
  EXPECT_EQ(pages->Count(), count);
  EXPECT_EQ(page->maximum(), count);
  EXPECT_EQ(shown_count->text(), QString(" от %1 ").arg(count));
  EXPECT_TRUE(laying->isHidden());
}

}  // namespace
}  // namespace ui
