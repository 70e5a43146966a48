// The application-wide hook that turns each mouse-wheel step into an Up or
// Down key press for the widget with the focus: forward is Up, back is Down,
// in every window of the program (in the data grid: one row up or down).
#pragma once

#include <QObject>

namespace ui {

class WheelToArrowKeys : public QObject {
  Q_OBJECT

 public:
  using QObject::QObject;
  bool eventFilter(QObject *watched, QEvent *event) override;
};

// Installs the hook on the application; it needs no window. Idempotent.
void InstallWheelToArrowKeys();

}  // namespace ui
