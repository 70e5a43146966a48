// Fills a report definition with parameter values and the rows of its dataset
// connections, giving the HTML that the painter lays out on pages.
#pragma once

#include <QHash>
#include <QString>
#include <map>

#include "ui/report_project.h"
#include "ui/report_row_source.h"

namespace ui {

class ReportFiller {
 public:
  // Connections are not owned and must outlive the filler.
  ReportFiller(const ReportDefinition &report, const QHash<QString, QString> &params,
               const QHash<QString, ReportRowSource *> &connections);

  // The report body: every block in order, @rows blocks once per row. A block
  // or placeholder naming a connection that was not given raises ReportError.
  QString BodyHtml();
  // The footer line of one page.
  QString FooterHtml(int page, int pages);

 private:
  QString Expand(const ReportTemplate &pieces, ReportRowSource *row, int rowno, int page,
                 int pages);
  QString ApplyFilters(const ReportPiece &piece, QString value);
  ReportRowSource *Connection(const QString &name) const;
  const QHash<QString, QString> &LookupTable(const ReportFilter &filter);
  const QString &Aggregate(const ReportPiece &piece);
  void Prepare(const ReportTemplate &pieces);

  const ReportDefinition &report_;
  const QHash<QString, QString> &params_;
  const QHash<QString, ReportRowSource *> &connections_;
  // Built on first use, one walk of the connection each.
  std::map<QString, QHash<QString, QString>> lookups_;
  std::map<QString, QString> aggregates_;
};

// The text as HTML: escaped, with a run of blanks kept as it is.
QString EscapeReportText(const QString &text);

// The sum of amounts written with a point ("12.50"), exact to the cent, as a
// text with two decimals; texts that are not numbers are skipped.
QString SumAmounts(ReportRowSource &rows, const QString &field);

}  // namespace ui
