// Running the reports; see report_printing.h.
#include "agencyfile/report_printing.h"

#include "shell/app_paths.h"
#include "ui/report_renderer.h"
#include "ui/ui_driver.h"

namespace agencyfile {

QString ReportProjectPath() {
  return shell::AppDir() + shell::ChangeFileExt(shell::ExeName(), QStringLiteral(".rav"));
}

bool RunReport(ui::ReportRenderer &renderer, const ReportRun &run, const QString &report,
               const ReportParams &params, const ReportParams &after_select) {
  renderer.SetProjectFile(ReportProjectPath());
  SetReportParams(renderer, params);
  struct HandlerDetached {
    const ReportRun &run;
    explicit HandlerDetached(const ReportRun &r) : run(r) {
      if (run.set_activation_handler) run.set_activation_handler(false);
    }
    ~HandlerDetached() {
      if (run.set_activation_handler) run.set_activation_handler(true);
    }
  } detached(run);
  if (!renderer.SelectReport(report)) {
    ui::MessageBox(run.parent, run.caption, renderer.ErrorText(), ui::Icon::kError);
    return false;
  }
  SetReportParams(renderer, after_select);
  if (renderer.Execute(run.parent)) return true;
  if (!renderer.ErrorText().isEmpty())
    ui::MessageBox(run.parent, run.caption, renderer.ErrorText(), ui::Icon::kError);
  return false;
}

}  // namespace agencyfile
