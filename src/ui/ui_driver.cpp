// Selection of the UI driver and the shortcuts of ui_driver.h.
#include "ui/ui_driver.h"

#include <QGuiApplication>

#include "ui/qt_ui_driver.h"

namespace ui {
namespace {

UiDriver *g_driver = nullptr;

}  // namespace

namespace {

class SilentProgress : public ProgressSession {
 public:
  bool Update(int64_t) override { return true; }
  void SetLabel(const QString &) override {}
  void SetTotal(int64_t) override {}
};

}  // namespace

std::unique_ptr<ProgressSession> UiDriver::BeginProgress(const ProgressRequest &) {
  return std::make_unique<SilentProgress>();
}

UiDriver &Driver() {
  static QtUiDriver qt_driver;
  return g_driver != nullptr ? *g_driver : qt_driver;
}

UiDriver *SetDriver(UiDriver *driver) {
  UiDriver *previous = g_driver;
  g_driver = driver;
  return previous;
}

Answer MessageBox(QWidget *parent, const QString &caption, const QString &text, Icon icon,
                  Buttons buttons) {
  return Driver().ShowMessage(MessageRequest{parent, caption, text, icon, buttons});
}

OpenFileResult OpenFileDialog(const OpenFileRequest &request) { return Driver().OpenFile(request); }

QString ChooseFolder(QWidget *owner, const QString &title) {
  return Driver().ChooseFolder(owner, title);
}

bool CopyFileToFolder(const QString &file, const QString &folder) {
  return Driver().CopyFileToFolder(file, folder);
}

int ShowModal(QDialog *dialog) { return Driver().ShowModal(dialog); }

void ShowErrorBox(const QString &text) {
  MessageBox(nullptr, QGuiApplication::applicationDisplayName(), text, Icon::kError);
}

}  // namespace ui
