// The input filter of a text field: every change of the text (typed, pasted
// or set by the program) that the field's rule refuses is undone at once.
// The field gets back the last text the rule accepted, the caret moves one
// place left of where it was (not below 0) and the selection length is kept,
// so a refused key stroke leaves the field as it was.
#pragma once

#include <QObject>
#include <QString>
#include <functional>

class QLineEdit;

namespace ui {

class InputFilter : public QObject {
 public:
  using Rule = std::function<bool(const QString &)>;

  // Whether an empty text, which every filter accepts, also becomes the
  // remembered text.
  enum class EmptyText { kRemembered, kNotRemembered };

  // Filters `edit` (which owns the filter) with `rule`.
  InputFilter(QLineEdit *edit, Rule rule, EmptyText empty = EmptyText::kRemembered);

  // The last accepted text.
  const QString &remembered() const { return remembered_; }
  // Forgets the last accepted text, so that a refused first key stroke leaves
  // the field empty.
  void Forget() { remembered_.clear(); }

 private:
  void OnTextChanged(const QString &text);

  QLineEdit *edit_;
  Rule rule_;
  EmptyText empty_;
  QString remembered_;
  bool restoring_ = false;
};

// The whole-number rule of the numeric fields: an optional sign followed by
// decimal digits whose value fits in a signed 64-bit integer.
bool IsWholeNumber(const QString &text);

}  // namespace ui
