// Parsing of report project files: a well-formed project and the errors that
// name the line of a broken one.
#include "ui/report_project.h"

#include <gtest/gtest.h>

namespace ui {
namespace {

TEST(ReportProject, ParsesReportsPageFontFooterAndBlocks) {
  const ReportProject project = ParseReportProject(
      "# two reports\n"
      "@report First\n"
      "@page A4 landscape 10 12 14 16\n"
      "@font DejaVu Serif 10.5\n"
      "@footer Страница {{page}} от {{pages}}\n"
      "@html\n"
      "<h1>{{Title|map:a=b,c=d}}</h1>\n"
      "@end\n"
      "@rows Conn\n"
      "<p>{{rowno}} {{row.F10|lookup:Codes,CODE,NAME}} {{Id|boxes:9}}</p>\n"
      "@end\n"
      "@report Second\n"
      "@html\n"
      "{{count:Conn}} {{sum:Conn.F08}}\n"
      "@end\n",
      "test.rav");
  ASSERT_EQ(project.reports.size(), 2u);
  const ReportDefinition *first = project.Find("First");
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(project.Find("first"), nullptr);
  EXPECT_TRUE(first->page.landscape);
  EXPECT_EQ(first->page.left_mm, 10);
  EXPECT_EQ(first->page.bottom_mm, 16);
  EXPECT_EQ(first->font_family, "DejaVu Serif");
  EXPECT_EQ(first->font_points, 10.5);
  ASSERT_EQ(first->footer.size(), 4u);
  EXPECT_EQ(first->footer[1].kind, ReportPiece::Kind::kPage);
  ASSERT_EQ(first->blocks.size(), 2u);
  EXPECT_TRUE(first->blocks[0].connection.isEmpty());
  EXPECT_EQ(first->blocks[1].connection, "Conn");

  const ReportTemplate &html = first->blocks[0].body;
  ASSERT_EQ(html.size(), 3u);
  EXPECT_EQ(html[0].text, "<h1>");
  EXPECT_EQ(html[1].kind, ReportPiece::Kind::kParam);
  ASSERT_EQ(html[1].filters.size(), 1u);
  EXPECT_EQ(html[1].filters[0].map.size(), 2u);
  EXPECT_EQ(html[2].text, "</h1>\n");

  const ReportTemplate &rows = first->blocks[1].body;
  EXPECT_EQ(rows[1].kind, ReportPiece::Kind::kRowNo);
  EXPECT_EQ(rows[3].kind, ReportPiece::Kind::kField);
  EXPECT_EQ(rows[3].filters[0].connection, "Codes");
  EXPECT_EQ(rows[3].filters[0].result_field, "NAME");
  EXPECT_EQ(rows[5].filters[0].boxes, 9);

  const ReportTemplate &second = project.Find("Second")->blocks[0].body;
  EXPECT_EQ(second[0].kind, ReportPiece::Kind::kCount);
  EXPECT_EQ(second[2].kind, ReportPiece::Kind::kSum);
  EXPECT_EQ(second[2].connection, "Conn");
  EXPECT_EQ(second[2].text, "F08");
}

TEST(ReportProject, BrokenProjectNamesFileAndLine) {
  struct Case {
    const char *text;
    const char *error;
  };
  static const Case kCases[] = {
      {"@html\n@end\n", "p.rav, ред 1: @html преди @report"},
      {"@report A\n@frame\n", "p.rav, ред 2: непозната директива @frame"},
      {"@report A\n@report A\n", "p.rav, ред 2: повторен отчет A"},
      {"@report A\n\n@html\n<p>\n", "p.rav, ред 3: блокът няма @end"},
      {"@report A\n@html\n{{row.F01}}\n@end\n", "p.rav, ред 3: {{row.F01}} е извън @rows"},
      {"@report A\n@html\n{{page}}\n@end\n", "p.rav, ред 3: {{page}} е само за @footer"},
      {"@report A\n@html\n{{X|upper}}\n@end\n", "p.rav, ред 3: непознат филтър \"upper\""},
      {"@report A\n@html\n{{X|boxes:0}}\n@end\n",
       "p.rav, ред 3: boxes иска брой клетки от 1 до 64"},
      {"@report A\n@html\n{{X\n@end\n", "p.rav, ред 3: незатворено {{"},
      {"@report A\n@page A5 portrait 1 1 1 1\n",
       "p.rav, ред 2: @page иска A4 portrait|landscape и четири полета"},
      {"@report A\n@rows\n@end\n", "p.rav, ред 2: @rows без име на връзка"},
  };
  for (const Case &c : kCases) {
    SCOPED_TRACE(c.text);
    try {
      ParseReportProject(QString::fromUtf8(c.text), "p.rav");
      ADD_FAILURE() << "no error";
    } catch (const ReportError &error) {
      EXPECT_EQ(QString::fromUtf8(error.what()), QString::fromUtf8(c.error));
    }
  }
}

TEST(ReportProject, MissingFileIsAnError) {
  EXPECT_THROW(LoadReportProject("/nonexistent/vedil.rav"), ReportError);
}

}  // namespace
}  // namespace ui
