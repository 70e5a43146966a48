// The detail band of a report: an @rows block that is one table row of text
// cells, as the shipped reports have it. Such a block is not laid out as
// HTML once per row; the renderer measures and paints its cells directly
// (report_pages.h). Any other @rows block is laid out as HTML.
#pragma once

#include <QString>
#include <optional>
#include <vector>

#include "ui/report_project.h"

namespace ui {

// "<tr ...>", then for every cell "<td ...>" (or th), its content and the
// closing tag, then "</tr>", with nothing but blanks between them. A cell's
// content is plain text (character references allowed) and placeholders
// whose filters make text, not markup.
struct ReportRowBand {
  struct Cell {
    QString open;  // the cell's opening tag, exactly as written
    QString close;
    ReportTemplate content;
  };
  QString row_open, row_close;
  std::vector<Cell> cells;
};

// The band of an @rows block, or nullopt when the block is anything else.
std::optional<ReportRowBand> SplitRowBand(const ReportTemplate &body);

// One row of the band with `text` in every cell, the first cell carrying
// the anchor kBandSampleAnchor so that the row can be found once laid out.
QString BandSampleRowHtml(const ReportRowBand &band, const QString &text);
inline constexpr char kBandSampleAnchor[] = "vedil-band-sample";

// The text a value stands for once written into HTML by the filler (see
// EscapeReportText): a blank that starts the value or follows a blank is a
// no-break space.
QString ValueDisplayChars(const QString &value);

// What a cell holding `text` shows: HTML white space (blank, tab, line
// break) collapsed to one blank, none at the start; no-break spaces kept.
QString CollapseCellText(const QString &text);

// Plain text of a literal inside a cell: the character references decoded.
// nullopt for a reference this does not know or for markup.
std::optional<QString> DecodeCellLiteral(const QString &literal);

}  // namespace ui
