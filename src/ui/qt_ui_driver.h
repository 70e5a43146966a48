// The UI driver of the running program: Qt's message boxes, file and folder
// dialogs, the real file copy and a QProgressDialog for long operations.
#pragma once

#include "ui/ui_driver.h"

namespace ui {

class QtUiDriver : public UiDriver {
 public:
  Answer ShowMessage(const MessageRequest &request) override;
  OpenFileResult OpenFile(const OpenFileRequest &request) override;
  QString ChooseFolder(QWidget *owner, const QString &title) override;
  bool CopyFileToFolder(const QString &file, const QString &folder) override;
  int ShowModal(QDialog *dialog) override;
  std::unique_ptr<ProgressSession> BeginProgress(const ProgressRequest &request) override;
};

}  // namespace ui
