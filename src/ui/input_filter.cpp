// See input_filter.h.
#include "ui/input_filter.h"

#include <QLineEdit>

namespace ui {

InputFilter::InputFilter(QLineEdit *edit, Predicate accepts)
    : QObject(edit), edit_(edit), accepts_(std::move(accepts)) {
  if (accepts_(edit->text())) last_accepted_ = edit->text();
  connect(edit, &QLineEdit::textChanged, this, &InputFilter::OnTextChanged);
}

void InputFilter::OnTextChanged(const QString &text) {
  if (restoring_) return;
  if (text.isEmpty()) {
    edit_->setCursorPosition(0);
    return;
  }
  if (accepts_(text)) {
    last_accepted_ = text;
    return;
  }
  const int caret = edit_->cursorPosition();
  const int selection = static_cast<int>(edit_->selectedText().size());
  restoring_ = true;
  edit_->setText(last_accepted_);
  restoring_ = false;
  const int position = qMin(caret > 0 ? caret - 1 : caret, static_cast<int>(last_accepted_.size()));
  if (selection > 0) {
    edit_->setSelection(position, selection);
  } else {
    edit_->setCursorPosition(position);
  }
}

bool IsWholeNumber(const QString &text) {
  qsizetype i = 0;
  if (i < text.size() && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) ++i;
  if (i == text.size()) return false;
  for (qsizetype j = i; j < text.size(); ++j) {
    if (text[j] < QLatin1Char('0') || text[j] > QLatin1Char('9')) return false;
  }
  bool ok = false;
  text.toLongLong(&ok);
  return ok;
}

InputFilter *AttachWholeNumberFilter(QLineEdit *edit) {
  return new InputFilter(edit, IsWholeNumber);
}

}  // namespace ui
