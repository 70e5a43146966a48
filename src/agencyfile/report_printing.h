// Running the two reports from the data entry window: the report project
// beside the program, the parameters, and the window's activation handler
// detached while the renderer's windows are open, so that closing them does
// not set the data entry window up again. A missing project file or report
// is told to the user, and the handler is attached again in every case.
#pragma once

#include <QString>
#include <functional>

#include "agencyfile/report_parameters.h"

class QWidget;

namespace ui {
class ReportRenderer;
}

namespace agencyfile {

// AppDir + the program's name with the extension ".rav".
QString ReportProjectPath();

struct ReportRun {
  QWidget *parent = nullptr;
  // Detaches (false) and attaches again (true) the window's activation handler.
  std::function<void(bool attached)> set_activation_handler;
  // Caption of the message that explains a report that could not run.
  QString caption;
};

// Names the project file, sets `params`, detaches the activation handler,
// selects `report`, sets `after_select`, executes, and attaches the handler
// again. False when the report could not be selected or produced (the user
// was told why) or the output choice was cancelled.
bool RunReport(ui::ReportRenderer &renderer, const ReportRun &run, const QString &report,
               const ReportParams &params, const ReportParams &after_select);

}  // namespace agencyfile
