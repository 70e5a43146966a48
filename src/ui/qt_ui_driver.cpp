// See qt_ui_driver.h. Qt's own (not the desktop's) file dialogs are used so the
// dialogs look and behave the same everywhere and patterns ignore case.
#include "ui/qt_ui_driver.h"

#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>

#include "ui/file_copy.h"
#include "ui/qt_progress.h"

namespace ui {
namespace {

QMessageBox::Icon ToQt(Icon icon) {
  switch (icon) {
    case Icon::kInformation:
      return QMessageBox::Information;
    case Icon::kWarning:
      return QMessageBox::Warning;
    case Icon::kQuestion:
      return QMessageBox::Question;
    case Icon::kError:
      return QMessageBox::Critical;
    case Icon::kNone:
      break;
  }
  return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons ToQt(Buttons buttons) {
  switch (buttons) {
    case Buttons::kOkCancel:
      return QMessageBox::Ok | QMessageBox::Cancel;
    case Buttons::kYesNo:
      return QMessageBox::Yes | QMessageBox::No;
    case Buttons::kYesNoCancel:
      return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case Buttons::kOk:
      break;
  }
  return QMessageBox::Ok;
}

Answer FromQt(int button, Buttons buttons) {
  switch (button) {
    case QMessageBox::Ok:
      return Answer::kOk;
    case QMessageBox::Yes:
      return Answer::kYes;
    case QMessageBox::No:
      return Answer::kNo;
    case QMessageBox::Cancel:
      return Answer::kCancel;
  }
  // Closed without a button (Esc where there is no Cancel).
  return buttons == Buttons::kYesNo ? Answer::kNo : Answer::kCancel;
}

}  // namespace

Answer QtUiDriver::ShowMessage(const MessageRequest &request) {
  QMessageBox box(ToQt(request.icon), request.caption, request.text, ToQt(request.buttons),
                  request.parent);
  return FromQt(box.exec(), request.buttons);
}

OpenFileResult QtUiDriver::OpenFile(const OpenFileRequest &request) {
  QFileDialog dialog(request.parent, request.title);
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setOption(QFileDialog::HideNameFilterDetails);
  dialog.setFileMode(request.must_exist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
  dialog.setAcceptMode(request.for_saving ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  // The pattern matches names in any letter case ("*.TXT" lists report.txt),
  // as the request promises, whatever the file system tells apart.
  dialog.setFilter(dialog.filter() & ~QDir::CaseSensitive);
  // Qt takes the pattern from the last parentheses and, with details hidden,
  // shows only the description.
  dialog.setNameFilter(request.filter_description + QStringLiteral(" (") + request.filter_pattern +
                       QLatin1Char(')'));
  OpenFileResult result;
  result.accepted = dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty();
  if (result.accepted) result.path = dialog.selectedFiles().constFirst();
  if (auto *name_field = dialog.findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))) {
    result.file_name_field = name_field->text();
  }
  return result;
}

QString QtUiDriver::ChooseFolder(QWidget *owner, const QString &title) {
  return QFileDialog::getExistingDirectory(
      owner, title, QString(), QFileDialog::ShowDirsOnly | QFileDialog::DontUseNativeDialog);
}

bool QtUiDriver::CopyFileToFolder(const QString &file, const QString &folder) {
  return CopyFileIntoFolder(file, folder);
}

int QtUiDriver::ShowModal(QDialog *dialog) { return dialog->exec(); }

std::unique_ptr<ProgressSession> QtUiDriver::BeginProgress(const ProgressRequest &request) {
  return MakeQtProgress(request);
}

}  // namespace ui
