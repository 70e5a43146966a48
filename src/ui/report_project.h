// The report project file: a UTF-8 text file of our own that holds one or more
// named reports, each a page setup and a sequence of HTML blocks with
// placeholders. LoadReportProject parses it; report_renderer.h fills and draws it.
//
// Grammar, one directive per line (leading blanks ignored outside blocks):
//
//   # comment                     a comment line (outside blocks only)
//   @report NAME                  starts a report; NAME is matched exactly
//   @page A4 portrait|landscape L T R B
//                                 paper, orientation, margins in millimetres
//   @font FAMILY SIZE             default font of the report, size in points
//   @footer TEMPLATE              one line drawn at the bottom of every page;
//                                 {{page}} and {{pages}} are the page numbers
//   @html                         HTML copied once into the report, up to @end
//   @rows CONNECTION              HTML repeated for every row of the named
//                                 dataset connection, up to @end
//   @end                          ends an @html or @rows block
//
// Placeholders inside blocks and the footer:
//
//   {{Name}}                      the named text parameter (empty when unset)
//   {{row.FIELD}}                 a field of the current row (@rows only)
//   {{rowno}}                     the 1-based position of the row (@rows only)
//   {{count:CONNECTION}}          the number of rows of a connection
//   {{sum:CONNECTION.FIELD}}      the sum of a field holding amounts, 2 decimals
//   {{page}}, {{pages}}           page number and page count (footer only)
//
// A placeholder may end in filters, applied left to right:
//
//   |map:A=X,B=Y                  replaces the value A by X, B by Y (others stay)
//   |lookup:CONNECTION,KEY,RESULT the RESULT field of the connection's row whose
//                                 KEY field equals the value ("" when none)
//   |boxes:N                      draws a spaced identifier (every character
//                                 followed by two blanks) as N boxed cells
//
// Values are HTML-escaped where they are inserted; runs of blanks are kept.
#pragma once

#include <QString>
#include <stdexcept>
#include <vector>

namespace ui {

// A project file that cannot be read or parsed (what() names file and line),
// or a report that names a connection it was not given.
class ReportError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct ReportFilter {
  enum class Kind { kMap, kLookup, kBoxes };
  Kind kind = Kind::kMap;
  std::vector<std::pair<QString, QString>> map;  // kMap: value -> replacement
  QString connection, key_field, result_field;   // kLookup
  int boxes = 0;                                 // kBoxes: number of cells
};

// One piece of a template: literal HTML or a placeholder.
struct ReportPiece {
  enum class Kind { kLiteral, kParam, kField, kRowNo, kCount, kSum, kPage, kPages };
  Kind kind = Kind::kLiteral;
  QString text;        // kLiteral: the HTML; kParam: the parameter name;
                       // kField, kSum: the field name
  QString connection;  // kCount, kSum
  std::vector<ReportFilter> filters;
};

using ReportTemplate = std::vector<ReportPiece>;

struct ReportBlock {
  QString connection;  // empty for @html, the connection of @rows
  ReportTemplate body;
};

struct ReportPageSetup {
  bool landscape = false;
  double left_mm = 15, top_mm = 15, right_mm = 15, bottom_mm = 15;
};

struct ReportDefinition {
  QString name;
  ReportPageSetup page;
  QString font_family = QStringLiteral("DejaVu Sans");
  double font_points = 9;
  ReportTemplate footer;
  std::vector<ReportBlock> blocks;
};

struct ReportProject {
  std::vector<ReportDefinition> reports;

  // The report named exactly so, or nullptr.
  const ReportDefinition *Find(const QString &name) const;
};

// Parses project text; source names the file in error messages.
ReportProject ParseReportProject(const QString &text, const QString &source);

// Reads and parses the file at path; a missing or unreadable file and any
// syntax error raise ReportError.
ReportProject LoadReportProject(const QString &path);

}  // namespace ui
