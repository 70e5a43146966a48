// Every message box, file or folder choice, file copy and modal showing of a
// window goes through one replaceable driver. The program uses the Qt driver
// (qt_ui_driver.h); tests install a ScriptedUiDriver (scripted_ui_driver.h)
// that records each call and answers from a script, without a display.
#pragma once

#include <QString>
#include <memory>

#include "ui/progress.h"

class QDialog;
class QWidget;

namespace ui {

enum class Icon { kNone, kInformation, kWarning, kQuestion, kError };
enum class Buttons { kOk, kOkCancel, kYesNo, kYesNoCancel };
enum class Answer { kOk, kCancel, kYes, kNo };

struct MessageRequest {
  QWidget *parent = nullptr;
  QString caption;
  QString text;
  Icon icon = Icon::kNone;
  Buttons buttons = Buttons::kOk;
};

struct OpenFileRequest {
  QWidget *parent = nullptr;
  QString title;
  // One filter entry: the text shown ("Text files (*.txt)") and the pattern
  // that picks the files ("*.TXT"). Patterns match without regard to case.
  QString filter_description;
  QString filter_pattern;
  bool must_exist = true;
  // A file to write: the dialog says "save" and asks before replacing one.
  bool for_saving = false;
};

struct OpenFileResult {
  bool accepted = false;
  QString path;             // the chosen file when accepted
  QString file_name_field;  // what the dialog's file name field held
};

class UiDriver {
 public:
  virtual ~UiDriver() = default;
  virtual Answer ShowMessage(const MessageRequest &request) = 0;
  virtual OpenFileResult OpenFile(const OpenFileRequest &request) = 0;
  // A folder chosen by the user, or empty text on cancel.
  virtual QString ChooseFolder(QWidget *owner, const QString &title) = 0;
  // Copies `file` into `folder`, replacing a file of the same name there.
  virtual bool CopyFileToFolder(const QString &file, const QString &folder) = 0;
  // Shows the dialog modally; returns its result code (QDialog::Accepted...).
  virtual int ShowModal(QDialog *dialog) = 0;
  // The progress dialog of a long operation (see progress.h). This default
  // shows nothing and never cancels.
  virtual std::unique_ptr<ProgressSession> BeginProgress(const ProgressRequest &request);
};

// The driver in use: the Qt driver unless a test installed another.
UiDriver &Driver();
// Installs `driver` (not owned); nullptr goes back to the Qt driver. Returns
// the driver that was installed before.
UiDriver *SetDriver(UiDriver *driver);

// Shortcuts through Driver().
Answer MessageBox(QWidget *parent, const QString &caption, const QString &text, Icon icon,
                  Buttons buttons = Buttons::kOk);
OpenFileResult OpenFileDialog(const OpenFileRequest &request);
QString ChooseFolder(QWidget *owner, const QString &title);
bool CopyFileToFolder(const QString &file, const QString &folder);
int ShowModal(QDialog *dialog);

// The error box of an error that reached the event dispatch: the
// application's title as caption, the error icon, an OK button.
void ShowErrorBox(const QString &text);

}  // namespace ui
