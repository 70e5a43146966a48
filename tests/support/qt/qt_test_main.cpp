// Test entry for everything above the engine: a child process runs its body
// (support/common/child_process.h) without any window; otherwise an offscreen
// ui::Application (the program's own, so errors thrown by handlers end in an
// error box as in the program), then GoogleTest. The platform is set here because test
// discovery runs the program without CTest's environment. Until a test
// installs a ScriptedUiDriver, any message box or dialog fails the test
// instead of waiting for a user who is not there.
#include <gtest/gtest.h>

#include <QDialog>

#include "support/common/child_process.h"
#include "ui/application.h"
#include "ui/ui_driver.h"

namespace {

class UnexpectedUiDriver : public ui::UiDriver {
 public:
  ui::Answer ShowMessage(const ui::MessageRequest &request) override {
    ADD_FAILURE() << "unexpected message box: " << request.caption.toStdString() << ": "
                  << request.text.toStdString();
    return request.buttons == ui::Buttons::kYesNo ? ui::Answer::kNo
           : request.buttons == ui::Buttons::kOk  ? ui::Answer::kOk
                                                  : ui::Answer::kCancel;
  }
  ui::OpenFileResult OpenFile(const ui::OpenFileRequest &request) override {
    ADD_FAILURE() << "unexpected open-file dialog: " << request.title.toStdString();
    return {};
  }
  QString ChooseFolder(QWidget *, const QString &title) override {
    ADD_FAILURE() << "unexpected folder dialog: " << title.toStdString();
    return {};
  }
  bool CopyFileToFolder(const QString &file, const QString &) override {
    ADD_FAILURE() << "unexpected file copy: " << file.toStdString();
    return false;
  }
  int ShowModal(QDialog *dialog) override {
    ADD_FAILURE() << "unexpected modal window: " << dialog->objectName().toStdString();
    return QDialog::Rejected;
  }
};

}  // namespace

int main(int argc, char **argv) {
  testing_support::RunChildIfAsked(argc, argv);
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  ui::Application app(argc, argv);
  UnexpectedUiDriver unexpected;
  ui::SetDriver(&unexpected);
  ::testing::InitGoogleTest(&argc, argv);
  const int result = RUN_ALL_TESTS();
  ui::SetDriver(nullptr);
  return result;
}
