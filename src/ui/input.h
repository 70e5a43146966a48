// Synthetic key strokes, focus and pointer placement. Key strokes are queued
// behind the events already waiting and are delivered to whichever widget has
// the focus when they are processed, so keys queued before a dialog opens
// reach that dialog.
#pragma once

#include <QPoint>
#include <Qt>

class QWidget;

namespace ui {

// Queues one key stroke: for Ctrl, Shift, Alt (in this order) in `modifiers`
// a key press, then the key's press and release, then the releases of Alt,
// Shift, Ctrl. `key` is a Qt::Key.
void SimulateKey(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);

// Queues a Tab stroke (with Shift held when `backwards`), which moves the
// focus to the next (or previous) control.
void SimulateTab(bool backwards = false);

// Gives the focus to an input control: a line edit, a combo box, or a group
// of radio buttons (its checked button, else its first). Anything else,
// nullptr included, is left alone.
void FocusInputControl(QWidget *control);

// Moves the mouse pointer to `point` in the client coordinates of `widget`.
// Where the platform has no pointer this does nothing.
void MovePointerTo(QWidget *widget, QPoint point);

// The centre of a control in its parent's coordinates:
// (left + width div 2, top + height div 2).
QPoint CentreOf(const QWidget *control);

}  // namespace ui
