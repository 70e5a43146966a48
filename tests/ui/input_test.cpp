// Synthetic key strokes reach the widget that has the focus when they are
// processed, in order; the wheel hook turns steps into Up and Down; focus and
// pointer helpers.
#include <gtest/gtest.h>

#include "support/qt/qt_printers.h"

#include <QApplication>
#include <QCursor>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <QWidget>

#include "ui/input.h"
#include "ui/wheel_to_arrow_keys.h"

namespace {

// Records the key events it receives as "+Key" / "-Key" with held modifiers.
class KeyRecorder : public QLineEdit {
 public:
  using QLineEdit::QLineEdit;
  QStringList log;

 protected:
  bool event(QEvent *e) override {
    if (e->type() == QEvent::KeyPress || e->type() == QEvent::KeyRelease) {
      auto *k = static_cast<QKeyEvent *>(e);
      log << QString("%1%2%3")
                 .arg(e->type() == QEvent::KeyPress ? "+" : "-")
                 .arg(k->key(), 0, 16)
                 .arg(k->modifiers() & Qt::ControlModifier ? "^" : "");
      return true;
    }
    return QLineEdit::event(e);
  }
};

struct Window {
  QWidget top;
  KeyRecorder *first = new KeyRecorder(&top);
  QLineEdit *second = new QLineEdit(&top);
  QPushButton *button = new QPushButton("OK", &top);
  Window() {
    first->setObjectName("first");
    second->setObjectName("second");
    auto *layout = new QVBoxLayout(&top);
    layout->addWidget(first);
    layout->addWidget(second);
    layout->addWidget(button);
    top.show();
    top.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&top));
  }
};

TEST(SimulateKey, CtrlEndArrivesInOrderAtTheFocusWidget) {
  Window w;
  w.first->setFocus();
  ui::SimulateKey(Qt::Key_End, Qt::ControlModifier);
  EXPECT_TRUE(w.first->log.isEmpty());  // queued, not sent
  QCoreApplication::processEvents();
  const QString ctrl = QString::number(Qt::Key_Control, 16);
  const QString end = QString::number(Qt::Key_End, 16);
  EXPECT_EQ(w.first->log,
            QStringList({"+" + ctrl + "^", "+" + end + "^", "-" + end + "^", "-" + ctrl}));
}

TEST(SimulateKey, GoesToTheWidgetFocusedWhenProcessed) {
  Window w;
  w.second->setFocus();
  ui::SimulateKey(Qt::Key_X);
  w.first->setFocus();  // focus moves before the queue is processed
  QCoreApplication::processEvents();
  EXPECT_EQ(w.first->log.size(), 2);
}

TEST(SimulateTab, MovesTheFocusForwardAndBack) {
  Window w;
  w.second->setFocus();
  ui::SimulateTab();
  QCoreApplication::processEvents();
  EXPECT_EQ(QApplication::focusWidget(), w.button);
  ui::SimulateTab(true);
  ui::SimulateTab(true);
  QCoreApplication::processEvents();
  EXPECT_EQ(QApplication::focusWidget(), w.first);
}

TEST(WheelToArrowKeys, ForwardIsUpBackAndZeroAreDown) {
  Window w;
  ui::InstallWheelToArrowKeys();
  ui::InstallWheelToArrowKeys();  // a second install adds no second hook
  w.first->setFocus();
  for (int delta : {120, -120, 0}) {
    QWheelEvent wheel(QPointF(5, 5), w.second->mapToGlobal(QPointF(5, 5)), QPoint(),
                      QPoint(0, delta), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(w.second, &wheel);  // over another widget
  }
  const QString up = QString::number(Qt::Key_Up, 16);
  const QString down = QString::number(Qt::Key_Down, 16);
  EXPECT_EQ(w.first->log, QStringList({"+" + up, "+" + down, "+" + down}));
}

TEST(FocusInputControl, OnlyInputControlsTakeTheFocus) {
  Window w;
  auto *group = new QGroupBox(&w.top);
  auto *a = new QRadioButton("a", group);
  auto *b = new QRadioButton("b", group);
  (new QVBoxLayout(group))->addWidget(a);
  group->layout()->addWidget(b);
  b->setChecked(true);
  w.top.layout()->addWidget(group);

  w.second->setFocus();
  ui::FocusInputControl(w.button);
  ui::FocusInputControl(nullptr);
  EXPECT_EQ(QApplication::focusWidget(), w.second);
  ui::FocusInputControl(w.first);
  EXPECT_EQ(QApplication::focusWidget(), w.first);
  ui::FocusInputControl(group);
  EXPECT_EQ(QApplication::focusWidget(), b);
}

TEST(MovePointerTo, ClientCoordinatesOfTheWidget) {
  Window w;
  w.button->setGeometry(10, 20, 140, 44);
  EXPECT_EQ(ui::CentreOf(w.button), QPoint(80, 42));
  ui::MovePointerTo(&w.top, QPoint(125, 42));
  EXPECT_EQ(QCursor::pos(), w.top.mapToGlobal(QPoint(125, 42)));
}

}  // namespace
