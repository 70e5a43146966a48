// Which @rows blocks are detail bands, how they split into cells, and that a
// cell's text is what QTextDocument shows for the HTML the filler writes.
#include "ui/report_row_band.h"

#include <gtest/gtest.h>

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextTable>

#include "ui/report_fill.h"

namespace ui {
namespace {

ReportTemplate RowsTemplate(const QString &rows) {
  const ReportProject project =
      ParseReportProject("@report R\n@rows C\n" + rows + "\n@end\n", "t.rav");
  return project.reports.at(0).blocks.at(0).body;
}

TEST(ReportRowBand, OneRowOfTextCellsIsABand) {
  struct Case {
    const char *rows;
    int cells;  // 0: no band
  };
  static const Case kCases[] = {
      {"<tr><td>{{row.A}}</td><td align=\"right\">{{row.B|map:1=Да}}</td></tr>", 2},
      {"  <TR style=\"font-size:7pt\">\n <TD>x {{rowno}} &amp;&nbsp;&#8212;</TD>\n<th>{{row.A}}</th>"
       "</TR>  ",
       2},
      {"<tr><td title=\"a>b\">{{row.A}}</td></tr>", 1},                 // '>' quoted in a tag
      {"<tr><td>{{row.A|lookup:C,K,V}}</td></tr>", 1},
      {"<tr><td><b>{{row.A}}</b></td></tr>", 0},                        // markup in a cell
      {"<tr><td>{{row.A}}<br></td></tr>", 0},
      {"<tr><td>{{row.A|boxes:4}}</td></tr>", 0},                       // a filter making HTML
      {"<tr><td>{{row.A}}</td></tr><tr><td>{{row.B}}</td></tr>", 0},    // two rows
      {"<p>{{row.A}}</p>", 0},
      {"<tr>{{row.A}}<td>x</td></tr>", 0},                              // text between cells
      {"<tr><td>{{row.A}}</td>", 0},                                    // unclosed row
      {"<tr><td>&bogus; {{row.A}}</td></tr>", 0},                       // unknown reference
      {"<tr></tr>", 0},
  };
  for (const Case &c : kCases) {
    SCOPED_TRACE(c.rows);
    const std::optional<ReportRowBand> band = SplitRowBand(RowsTemplate(c.rows));
    ASSERT_EQ(band.has_value(), c.cells > 0);
    if (band) {
      EXPECT_EQ(band->cells.size(), static_cast<size_t>(c.cells));
    }
  }
  const std::optional<ReportRowBand> band = SplitRowBand(
      RowsTemplate("<tr class=\"r\"><td align=\"right\">x {{rowno}} &amp;&nbsp;&#x41;</td></tr>"));
  ASSERT_TRUE(band);
  EXPECT_EQ(band->row_open, "<tr class=\"r\">");
  EXPECT_EQ(band->cells[0].open, "<td align=\"right\">");
  EXPECT_EQ(band->cells[0].close, "</td>");
  ASSERT_EQ(band->cells[0].content.size(), 3u);
  EXPECT_EQ(band->cells[0].content[0].text, "x ");
  EXPECT_EQ(band->cells[0].content[1].kind, ReportPiece::Kind::kRowNo);
  EXPECT_EQ(band->cells[0].content[2].text, QStringView(u" &\u00a0A"));
}

// What QTextDocument shows in a table cell for html.
QString ShownInCell(const QString &html) {
  QTextDocument doc;
  doc.setHtml("<table><tr><td>" + html + "</td></tr></table>");
  QTextCursor cursor(doc.rootFrame()->firstCursorPosition());
  cursor.movePosition(QTextCursor::NextBlock);
  QTextTable *table = cursor.currentTable();
  if (!table) return QStringLiteral("(no table)");
  return table->cellAt(0, 0).firstCursorPosition().block().text();
}

TEST(ReportRowBand, CellTextIsWhatTheDocumentShowsForTheFillersHtml) {
  const char *const kValues[] = {"Иван Петров",  "  водещи",     "в  средата   три",
                                 "накрая  ",    "a\tb\nc\r\nd", " ", "x ",
                                 "",            "<b>&amp;\"'", "\u00a0нбсп\u00a0 "};
  for (const char *value : kValues) {
    SCOPED_TRACE(value);
    const QString text = QString::fromUtf8(value);
    EXPECT_EQ(CollapseCellText(ValueDisplayChars(text)), ShownInCell(EscapeReportText(text)));
    // With literal text around the value, as a template may have it.
    EXPECT_EQ(CollapseCellText(" \n x" + ValueDisplayChars(text) + "y \n"),
              ShownInCell(" \n x" + EscapeReportText(text) + "y \n"));
  }
}

}  // namespace
}  // namespace ui
