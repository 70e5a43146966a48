// Undo of refused text changes (see input_filter.h).
#include "ui/input_filter.h"

#include <QLineEdit>
#include <algorithm>

namespace ui {

InputFilter::InputFilter(QLineEdit *edit, Rule rule, EmptyText empty)
    : QObject(edit), edit_(edit), rule_(std::move(rule)), empty_(empty) {
  connect(edit, &QLineEdit::textChanged, this, &InputFilter::OnTextChanged);
}

void InputFilter::OnTextChanged(const QString &text) {
  if (restoring_) return;
  if (text.isEmpty()) {
    if (empty_ == EmptyText::kRemembered) remembered_.clear();
    return;
  }
  if (rule_(text)) {
    remembered_ = text;
    return;
  }
  const int caret = edit_->cursorPosition();
  const int selection = edit_->selectedText().size();
  restoring_ = true;
  edit_->setText(remembered_);
  restoring_ = false;
  const int position = std::min(std::max(caret - 1, 0), int(remembered_.size()));
  if (selection > 0) {
    edit_->setSelection(position, selection);
  } else {
    edit_->setCursorPosition(position);
  }
}

bool IsWholeNumber(const QString &text) {
  const qsizetype start = text.startsWith(QLatin1Char('+')) || text.startsWith(QLatin1Char('-'));
  if (text.size() == start) return false;
  for (qsizetype i = start; i < text.size(); ++i) {
    if (text[i] < QLatin1Char('0') || text[i] > QLatin1Char('9')) return false;
  }
  bool ok = false;
  text.toLongLong(&ok);
  return ok;
}

}  // namespace ui
