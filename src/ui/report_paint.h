// Painting a report laid out on pages (report_pages.h) onto a paged device:
// a printer or a PDF file, page after page, at the device's resolution.
#pragma once

#include <QPagedPaintDevice>

#include "ui/report_fill.h"
#include "ui/report_pages.h"

namespace ui {

// Paints every page; steps gets (page, pages) before each page is painted.
// False when steps asked to stop: a printer's job is then aborted, and a
// PDF writer's half-written output is the caller's to discard. A device that cannot be painted
// on raises ReportError naming `target`.
bool PaintPages(ReportPages &pages, QPagedPaintDevice &device, const QString &target,
                const ReportSteps &steps = {});

}  // namespace ui
