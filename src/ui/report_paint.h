// Lays a filled report out on A4 pages and paints the pages on a printer: a
// real printer, the preview's, or a PDF file.
#pragma once

#include <QPrinter>
#include <functional>

#include "ui/report_fill.h"
#include "ui/report_project.h"

namespace ui {

// Sets the printer's page layout from the report, paints every page with its
// footer, and returns the number of pages. on_page runs before each page is
// painted, with the 1-based page number.
int PaintReport(const ReportDefinition &report, ReportFiller &filler, QPrinter &printer,
                const std::function<void(int page)> &on_page);

}  // namespace ui
