// A filtered field undoes refused changes: it gets back the last accepted
// text with the caret one place left of where the refused key left it.
#include "ui/input_filter.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QTest>

namespace {

bool DigitsOnly(const QString &text) {
  for (QChar c : text) {
    if (!c.isDigit()) return false;
  }
  return true;
}

TEST(InputFilter, UndoesARefusedKeyStrokeWithTheCaretOneLeft) {
  QLineEdit edit;
  auto *filter = new ui::InputFilter(&edit, DigitsOnly);
  QTest::keyClicks(&edit, "12");
  edit.setCursorPosition(1);
  QTest::keyClick(&edit, Qt::Key_A);  // "1a2", caret after the a
  EXPECT_EQ(edit.text(), "12");
  EXPECT_EQ(edit.cursorPosition(), 1);
  EXPECT_EQ(filter->remembered(), "12");
  edit.setText("x");  // set by the program: filtered too
  EXPECT_EQ(edit.text(), "12");
}

TEST(InputFilter, EmptyTextAndForgetting) {
  QLineEdit edit;
  auto *remembering = new ui::InputFilter(&edit, DigitsOnly);
  edit.setText("5");
  edit.clear();
  QTest::keyClick(&edit, Qt::Key_A);
  EXPECT_EQ(edit.text(), "");  // the empty text was remembered

  QLineEdit other;
  new ui::InputFilter(&other, DigitsOnly, ui::InputFilter::EmptyText::kNotRemembered);
  other.setText("5");
  other.clear();
  QTest::keyClick(&other, Qt::Key_A);
  EXPECT_EQ(other.text(), "5");  // back to the last non-empty text

  edit.setText("7");
  remembering->Forget();
  edit.setText("7b");
  EXPECT_EQ(edit.text(), "");
}

}  // namespace
