// The report renderer the windows use, in the order they use it: name the
// project file, set named text parameters, give the dataset connections,
// select a report by name, execute it. Executing asks for the output (preview,
// printer or PDF file), then shows the progress ("Report Status") while the
// rows are read and the pages painted, with a cancel button: a cancelled PDF
// file leaves the file that was there before, a cancelled print job is
// withdrawn. The preview opens as soon as its first pages are laid out and
// lays out the rest while it is shown.
#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <optional>

#include "ui/report_fill.h"
#include "ui/report_project.h"
#include "ui/report_row_source.h"

class QPagedPaintDevice;
class QWidget;

namespace ui {

class ReportPages;

class ReportRenderer {
 public:
  void SetProjectFile(const QString &path);
  QString ProjectFile() const { return project_file_; }

  // Sets a parameter; a parameter set again keeps its place in ParamNames.
  void SetParam(const QString &name, const QString &value);
  QString Param(const QString &name) const { return params_.value(name); }
  bool HasParam(const QString &name) const { return params_.contains(name); }
  // Parameter names in the order they were first set.
  const QStringList &ParamNames() const { return param_names_; }
  void ClearParams();

  // The connection is not owned; nullptr removes it.
  void SetConnection(const QString &name, ReportRowSource *source);

  // Reads the project file and selects the report of that exact name. False,
  // with ErrorText, when the file is missing or broken or has no such report.
  bool SelectReport(const QString &name);
  QString SelectedReport() const;
  QString ErrorText() const { return error_; }

  // Asks for the output and produces the selected report there. False when no
  // report is selected, the choice or the progress was cancelled, or the
  // report could not be produced (ErrorText then says why).
  bool Execute(QWidget *parent = nullptr);

  // Lays the selected report out and paints it on device (a QPrinter or a
  // QPdfWriter) with the report's page layout under the job title. steps gets
  // the rows read, then (page, pages) before each page. The number of pages,
  // 0 when steps asked to stop. Raises ReportError.
  int Paint(QPagedPaintDevice &device, const ReportSteps &steps = {}) const;
  // The selected report's filled body, for inspection. Raises ReportError.
  QString BodyHtml() const;

 private:
  bool Produce(QWidget *parent);
  bool Preview(QWidget *parent, ReportPages &pages, ReportFiller &filler);

  QString project_file_;
  QHash<QString, QString> params_;
  QStringList param_names_;
  QHash<QString, ReportRowSource *> connections_;
  std::optional<ReportDefinition> selected_;
  QString error_;
};

}  // namespace ui
