// See application.h.
#include "ui/application.h"

#include <QDir>
#include <QFontDatabase>
#include <exception>

#include "ui/engine_text.h"
#include "ui/ui_driver.h"

namespace ui {

namespace {

// Fonts built into the program (the Windows build carries the reports' DejaVu
// Sans, which Windows lacks: a report in a stand-in font breaks its lines
// and columns otherwise than on Linux). Nothing elsewhere.
void RegisterBuiltInFonts() {
  const QDir fonts(QStringLiteral(":/fonts"));
  for (const QString &name : fonts.entryList({QStringLiteral("*.ttf")}, QDir::Files)) {
    QFontDatabase::addApplicationFont(fonts.filePath(name));
  }
}

}  // namespace

Application::Application(int &argc, char **argv) : QApplication(argc, argv) {
  RegisterBuiltInFonts();
}

bool Application::notify(QObject *receiver, QEvent *event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::exception &e) {
    ShowEscapedError(e.what());
  } catch (...) {
    ShowEscapedError("Unknown error");
  }
  return true;
}

void ShowEscapedError(const char *what) { ShowErrorBox(EngineErrorText(what)); }

}  // namespace ui
