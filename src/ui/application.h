// The program's QApplication: errors thrown by event handlers (the engine's
// EXbaseError and every other std::exception) are caught where Qt dispatches
// the event and shown in an error box; the program goes on.
#pragma once

#include <QApplication>

namespace ui {

class Application : public QApplication {
 public:
  Application(int &argc, char **argv);
  bool notify(QObject *receiver, QEvent *event) override;
};

// Shows an error that escaped an event handler. Used by Application::notify;
// also by code that catches at another boundary.
void ShowEscapedError(const char *what);

}  // namespace ui
