// A filter on a line edit that undoes any change making its text invalid: the
// last accepted text comes back and the caret stays where the rejected key was
// typed. Empty text is always accepted (caret at the start) but does not
// replace the remembered text. The filter runs on every change: typing,
// pasting, and texts set by the program.
#pragma once

#include <QObject>
#include <QString>
#include <functional>

class QLineEdit;

namespace ui {

class InputFilter : public QObject {
  Q_OBJECT

 public:
  using Predicate = std::function<bool(const QString &)>;
  // Attached to `edit` and owned by it.
  InputFilter(QLineEdit *edit, Predicate accepts);

  const QString &last_accepted() const { return last_accepted_; }

 private:
  void OnTextChanged(const QString &text);

  QLineEdit *edit_;
  Predicate accepts_;
  QString last_accepted_;
  bool restoring_ = false;
};

// True when the whole text is a signed 64-bit whole number: an optional sign
// and decimal digits.
bool IsWholeNumber(const QString &text);

// Attaches a whole-number filter to `edit`.
InputFilter *AttachWholeNumberFilter(QLineEdit *edit);

}  // namespace ui
