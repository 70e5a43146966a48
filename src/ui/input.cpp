// See input.h.
#include "ui/input.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QCursor>
#include <QEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRadioButton>
#include <QWidget>

namespace ui {
namespace {

// One queued key event, turned into a QKeyEvent for the focus widget when it
// is processed.
class SyntheticKeyEvent : public QEvent {
 public:
  static QEvent::Type TypeId() {
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
  }
  SyntheticKeyEvent(QEvent::Type key_type, int key, Qt::KeyboardModifiers modifiers)
      : QEvent(TypeId()), key_type_(key_type), key_(key), modifiers_(modifiers) {}

  QEvent::Type key_type() const { return key_type_; }
  int key() const { return key_; }
  Qt::KeyboardModifiers modifiers() const { return modifiers_; }

 private:
  QEvent::Type key_type_;
  int key_;
  Qt::KeyboardModifiers modifiers_;
};

class KeyDispatcher : public QObject {
 public:
  using QObject::QObject;
  bool event(QEvent *event) override {
    if (event->type() != SyntheticKeyEvent::TypeId()) return QObject::event(event);
    const auto *stroke = static_cast<SyntheticKeyEvent *>(event);
    QWidget *target = QApplication::focusWidget();
    if (target == nullptr) target = QApplication::activeModalWidget();
    if (target == nullptr) target = QApplication::activeWindow();
    if (target != nullptr) {
      QKeyEvent key(stroke->key_type(), stroke->key(), stroke->modifiers());
      QApplication::sendEvent(target, &key);
    }
    return true;
  }
};

KeyDispatcher *Dispatcher() {
  static KeyDispatcher *dispatcher = new KeyDispatcher(QCoreApplication::instance());
  return dispatcher;
}

void Post(QEvent::Type type, int key, Qt::KeyboardModifiers held) {
  QCoreApplication::postEvent(Dispatcher(), new SyntheticKeyEvent(type, key, held));
}

struct ModifierKey {
  Qt::KeyboardModifier modifier;
  int key;
};
constexpr ModifierKey kModifiers[] = {
    {Qt::ControlModifier, Qt::Key_Control},
    {Qt::ShiftModifier, Qt::Key_Shift},
    {Qt::AltModifier, Qt::Key_Alt},
};

}  // namespace

void SimulateKey(int key, Qt::KeyboardModifiers modifiers) {
  // A modifier key's own event carries the state before it: QKeyEvent
  // reports it with the key's bit toggled.
  Qt::KeyboardModifiers held;
  for (const ModifierKey &m : kModifiers) {
    if (modifiers & m.modifier) {
      Post(QEvent::KeyPress, m.key, held);
      held |= m.modifier;
    }
  }
  Post(QEvent::KeyPress, key, held);
  Post(QEvent::KeyRelease, key, held);
  for (auto it = std::rbegin(kModifiers); it != std::rend(kModifiers); ++it) {
    if (modifiers & it->modifier) {
      Post(QEvent::KeyRelease, it->key, held);
      held &= ~it->modifier;
    }
  }
}

void SimulateTab(bool backwards) {
  SimulateKey(Qt::Key_Tab, backwards ? Qt::ShiftModifier : Qt::NoModifier);
}

void FocusInputControl(QWidget *control) {
  if (control == nullptr) return;
  if (qobject_cast<QLineEdit *>(control) != nullptr ||
      qobject_cast<QComboBox *>(control) != nullptr) {
    control->setFocus(Qt::OtherFocusReason);
    return;
  }
  if (qobject_cast<QGroupBox *>(control) != nullptr) {
    const auto buttons = control->findChildren<QRadioButton *>();
    if (buttons.isEmpty()) return;
    QRadioButton *target = buttons.constFirst();
    for (QRadioButton *b : buttons) {
      if (b->isChecked()) target = b;
    }
    target->setFocus(Qt::OtherFocusReason);
  }
}

void MovePointerTo(QWidget *widget, QPoint point) {
  if (widget == nullptr) return;
  QCursor::setPos(widget->mapToGlobal(point));
}

QPoint CentreOf(const QWidget *control) {
  const QRect g = control->geometry();
  return QPoint(g.left() + g.width() / 2, g.top() + g.height() / 2);
}

}  // namespace ui
