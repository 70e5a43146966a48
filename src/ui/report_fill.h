// Fills a report definition with parameter values and the rows of its dataset
// connections: the HTML that the frame of the pages is laid out from, and
// the plain text of the cells that the detail band paints directly.
#pragma once

#include <QHash>
#include <QString>
#include <cstdint>
#include <functional>
#include <map>

#include "ui/report_project.h"
#include "ui/report_row_source.h"

namespace ui {

// Progress of a long step: (done, total), total 0 when not known. Returning
// false asks the step to stop.
using ReportSteps = std::function<bool(int64_t done, int64_t total)>;

class ReportFiller {
 public:
  // Connections are not owned and must outlive the filler.
  ReportFiller(const ReportDefinition &report, const QHash<QString, QString> &params,
               const QHash<QString, ReportRowSource *> &connections);

  // Walks every connection that the report's lookups, counts and sums read,
  // once each, so that filling later reads no connection but the rows being
  // written. False when steps asked to stop. Without it, each lookup or
  // aggregate walks its connection when first needed.
  bool Prepare(const ReportSteps &steps = {});

  // The report body: every block in order, @rows blocks once per row. A block
  // or placeholder naming a connection that was not given raises ReportError.
  QString BodyHtml();
  // The HTML of the blocks [from, to), @rows blocks once per row.
  QString BlocksHtml(size_t from, size_t to);
  // The footer line of one page; pages 0 when not known yet ("…").
  QString FooterHtml(int page, int pages);
  // The text a cell of a detail band (report_row_band.h) shows for the
  // current row of `row`, as the HTML the filler would write would show it.
  QString CellText(const ReportTemplate &content, ReportRowSource &row, int rowno);

  ReportRowSource *Connection(const QString &name) const;

 private:
  QString Expand(const ReportTemplate &pieces, ReportRowSource *row, int rowno, int page,
                 int pages);
  QString Value(const ReportPiece &piece, ReportRowSource *row, int rowno, int page, int pages);
  QString Filtered(const ReportPiece &piece, QString value);
  const QHash<QString, QString> &LookupTable(const ReportFilter &filter);
  const QString &Aggregate(const ReportPiece &piece);
  void PrepareBlock(const ReportTemplate &pieces);

  const ReportDefinition &report_;
  const QHash<QString, QString> &params_;
  const QHash<QString, ReportRowSource *> &connections_;
  // Built on first use or by Prepare, one walk of the connection each.
  std::map<QString, QHash<QString, QString>> lookups_;
  std::map<QString, QString> aggregates_;
};

// The text as HTML: escaped, with a run of blanks kept as it is.
QString EscapeReportText(const QString &text);

// The sum of amounts written with a point ("12.50"), exact to the cent, as a
// text with two decimals; texts that are not numbers are skipped.
QString SumAmounts(ReportRowSource &rows, const QString &field);

}  // namespace ui
