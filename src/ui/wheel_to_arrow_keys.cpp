// See wheel_to_arrow_keys.h.
#include "ui/wheel_to_arrow_keys.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWheelEvent>
#include <QWidget>

namespace ui {

bool WheelToArrowKeys::eventFilter(QObject *watched, QEvent *event) {
  if (event->type() != QEvent::Wheel) return QObject::eventFilter(watched, event);
  // The application sees the wheel first at the window, then at the widget
  // under the pointer; taking it at the first sight makes one key per step.
  const auto *wheel = static_cast<QWheelEvent *>(event);
  const int key = wheel->angleDelta().y() > 0 ? Qt::Key_Up : Qt::Key_Down;
  QWidget *target = QApplication::focusWidget();
  if (target == nullptr) target = qobject_cast<QWidget *>(watched);
  if (target != nullptr) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(target, &press);
  }
  return true;
}

void InstallWheelToArrowKeys() {
  QCoreApplication *app = QCoreApplication::instance();
  if (app == nullptr || app->findChild<WheelToArrowKeys *>(QString(), Qt::FindDirectChildrenOnly))
    return;
  app->installEventFilter(new WheelToArrowKeys(app));
}

}  // namespace ui
