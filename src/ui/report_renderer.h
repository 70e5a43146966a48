// The report renderer the windows use, in the order they use it: name the
// project file, set named text parameters, give the dataset connections,
// select a report by name, execute it. Executing asks for the output (preview,
// printer or PDF file) and shows the page in progress.
#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <optional>

#include "ui/report_project.h"
#include "ui/report_row_source.h"

class QPrinter;
class QWidget;

namespace ui {

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
  // report is selected, the choice was cancelled, or the report could not be
  // produced (ErrorText then says why).
  bool Execute(QWidget *parent = nullptr);

  // Paints the selected report on printer under the job title, passing each
  // page number to on_page; the number of pages. Raises ReportError.
  int Paint(QPrinter &printer, const std::function<void(int)> &on_page = {}) const;
  // The selected report's filled body, for inspection. Raises ReportError.
  QString BodyHtml() const;

 private:
  bool Produce(QWidget *parent);

  QString project_file_;
  QHash<QString, QString> params_;
  QStringList param_names_;
  QHash<QString, ReportRowSource *> connections_;
  std::optional<ReportDefinition> selected_;
  QString error_;
};

}  // namespace ui
