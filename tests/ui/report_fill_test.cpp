// Filling report templates with parameters and rows: escaping, the filters,
// the aggregates and the connections they read.
#include "ui/report_fill.h"

#include <gtest/gtest.h>

#include "support/qt/report_rows.h"

namespace ui {
namespace {

using testing_support::ReportRows;

QString Fill(const char *project, const QHash<QString, QString> &params,
             const QHash<QString, ReportRowSource *> &connections) {
  const ReportProject parsed = ParseReportProject(QString::fromUtf8(project), "t.rav");
  ReportFiller filler(parsed.reports.at(0), params, connections);
  return filler.BodyHtml();
}

TEST(ReportFill, ParametersAreEscapedAndKeepTheirBlanks) {
  const QString html = Fill("@report R\n@html\n[{{A}}][{{B}}][{{Unset}}]\n@end\n",
                            {{"A", "<b>&\"x\""}, {"B", "1  2  3"}}, {});
  EXPECT_EQ(html, "[&lt;b&gt;&amp;&quot;x&quot;][1 &nbsp;2 &nbsp;3][]\n");
}

TEST(ReportFill, RowsRepeatWithFieldsMapsAndLookups) {
  ReportRows incomes({{{"CODE", "101"}, {"NAME", "Трудов <договор>"}},
                      {{"CODE", "820"}, {"NAME", "Етажна собственост"}}});
  ReportRows rows({{{"F02", "1"}, {"F10", "820"}},
                   {{"F02", "0"}, {"F10", "101"}},
                   {{"F02", "0"}, {"F10", "999"}}});
  const QString html = Fill(
      "@report R\n@rows Rows\n"
      "{{rowno}}:{{row.F02|map:1=Да,0=Не}}:{{row.F10|lookup:Codes,CODE,NAME}};\n@end\n",
      {}, {{"Rows", &rows}, {"Codes", &incomes}});
  EXPECT_EQ(html, "1:Да:Етажна собственост;\n2:Не:Трудов &lt;договор&gt;;\n3:Не:;\n");
}

TEST(ReportFill, LookupAndSumOnTheWalkedConnectionDoNotMoveItsCursor) {
  ReportRows rows({{{"K", "a"}, {"V", "1.10"}}, {{"K", "b"}, {"V", "2.20"}}});
  const QString html = Fill(
      "@report R\n@rows Rows\n{{row.K}}={{row.K|lookup:Rows,K,V}}/{{sum:Rows.V}}/{{count:Rows}}\n"
      "@end\n",
      {}, {{"Rows", &rows}});
  EXPECT_EQ(html, "a=1.10/3.30/2\nb=2.20/3.30/2\n");
}

TEST(ReportFill, SumIsExactToTheCentAndSkipsNonNumbers) {
  ReportRows rows({{{"F08", "0.10"}},
                   {{"F08", "0.20"}},
                   {{"F08", ""}},
                   {{"F08", "abc"}},
                   {{"F08", "9999999999.99"}}});
  EXPECT_EQ(SumAmounts(rows, "F08"), "10000000000.29");
  ReportRows none;
  EXPECT_EQ(SumAmounts(none, "F08"), "0.00");
}

TEST(ReportFill, BoxesDrawOneCellPerCharacterPaddedToTheCount) {
  const QString html = Fill("@report R\n@html\n{{Id|boxes:4}}|{{Long|boxes:2}}\n@end\n",
                            {{"Id", "1  2  3"}, {"Long", "4  5  6"}}, {});
  EXPECT_EQ(html.count("<td"), 4 + 3);  // a character is never dropped
  EXPECT_TRUE(html.contains(">1</td><td width=\"18\" align=\"center\">2</td>"));
  EXPECT_TRUE(html.contains(">3</td><td width=\"18\" align=\"center\">&nbsp;</td>"));
  EXPECT_TRUE(html.contains(">6</td>"));
}

TEST(ReportFill, MissingConnectionNamesReportAndConnection) {
  try {
    Fill("@report R\n@rows Nowhere\nx\n@end\n", {}, {});
    FAIL() << "no error";
  } catch (const ReportError &error) {
    EXPECT_EQ(QString::fromUtf8(error.what()),
              "Отчетът R чете връзката с данни Nowhere, която липсва.");
  }
}

TEST(ReportFill, FooterCarriesPageNumbers) {
  const ReportProject parsed =
      ParseReportProject("@report R\n@footer {{Who}}: {{page}}/{{pages}}\n", "t.rav");
  const QHash<QString, QString> params{{"Who", "Фирма"}};
  const QHash<QString, ReportRowSource *> none;
  ReportFiller filler(parsed.reports[0], params, none);
  EXPECT_EQ(filler.FooterHtml(2, 5), "Фирма: 2/5");
}

}  // namespace
}  // namespace ui
