// See application.h.
#include "ui/application.h"

#include <exception>

#include "ui/engine_text.h"
#include "ui/ui_driver.h"

namespace ui {

Application::Application(int &argc, char **argv) : QApplication(argc, argv) {}

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
