// The number-of-persons dialog, driven as the user would: typing, "Запис",
// "Отказ", with the message boxes recorded by the scripted driver.
#include "records/total_persons_dlg.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "ui/scripted_ui_driver.h"

namespace records {
namespace {

class TotalPersonsDlgTest : public ::testing::Test {
 protected:
  // Shows the dialog for `rows` rows; `typed` are the texts typed one after
  // the other, each followed by "Запис" (an empty entry presses "Отказ").
  int Ask(qint64 rows, const QStringList &typed) {
    ui_.QueueModal([&](QDialog *d) {
      d->show();
      d->activateWindow();
      EXPECT_TRUE(QTest::qWaitForWindowActive(d));
      auto *edit = d->findChild<QLineEdit *>("Edit1");
      for (const QString &text : typed) {
        if (text.isEmpty()) {
          d->findChild<QPushButton *>("CancelBtn")->click();
          break;
        }
        edit->clear();
        QTest::keyClicks(edit, text);
        auto *ok = d->findChild<QPushButton *>("OKBtn");
        ok->setFocus();
        ok->click();
        if (d->result() == QDialog::Accepted) break;
        focus_after_warning_ = QApplication::focusWidget();
      }
      d->hide();
      return d->result();
    });
    return dialog_.AskPersonsCount(rows, &count_);
  }

  ui::ScriptedUiDriver ui_;
  TTotalPersonsDlg dialog_;
  QString count_ = "previous";
  QWidget *focus_after_warning_ = nullptr;
};

TEST_F(TotalPersonsDlgTest, AcceptsCountsUpToTheRowCountAsTyped) {
  for (const char *typed : {"5", "0", "005"}) {
    EXPECT_EQ(Ask(5, {typed}), QDialog::Accepted) << typed;
    EXPECT_EQ(count_, typed);
  }
  EXPECT_TRUE(ui_.messages().empty());
}

TEST_F(TotalPersonsDlgTest, WarnsForMoreThanTheRowsAndStaysOpen) {
  EXPECT_EQ(Ask(5, {"6", "4"}), QDialog::Accepted);
  ASSERT_EQ(ui_.messages().size(), 1u);
  EXPECT_EQ(ui_.messages()[0].caption, "Внимание !");
  EXPECT_EQ(ui_.messages()[0].icon, ui::Icon::kWarning);
  EXPECT_TRUE(ui_.messages()[0].text.endsWith("        въведения брой редове : 5"));
  ASSERT_NE(focus_after_warning_, nullptr);
  EXPECT_EQ(focus_after_warning_->objectName(), "Edit1");
  EXPECT_EQ(count_, "4");
}

TEST_F(TotalPersonsDlgTest, RefusesEmptyAndFractionalCounts) {
  EXPECT_NE(Ask(5, {"3.5", "", ""}), QDialog::Accepted);
  EXPECT_EQ(ui_.MessageTexts(),
            QStringList({"Броят лица трябва да е цяло число, написано само с цифри !"}));
  ui_.ClearRecords();
  ui_.QueueModal([](QDialog *d) {
    d->findChild<QLineEdit *>("Edit1")->clear();
    d->findChild<QPushButton *>("OKBtn")->click();
    return d->result();
  });
  EXPECT_NE(dialog_.AskPersonsCount(5, &count_), QDialog::Accepted);
  EXPECT_EQ(ui_.MessageTexts(), QStringList({"Въведете брой лица, за които подавате справката !"}));
  EXPECT_EQ(count_, "previous");
}

TEST_F(TotalPersonsDlgTest, UndoesALetterAndKeepsTheCountOnCancel) {
  ui_.QueueModal([](QDialog *d) {
    auto *edit = d->findChild<QLineEdit *>("Edit1");
    edit->clear();
    QTest::keyClicks(edit, "2x");
    EXPECT_EQ(edit->text(), "2");
    EXPECT_EQ(edit->cursorPosition(), 1);
    d->findChild<QPushButton *>("CancelBtn")->click();
    return d->result();
  });
  EXPECT_EQ(dialog_.AskPersonsCount(5, &count_), QDialog::Rejected);
  EXPECT_EQ(count_, "previous");
  // The field keeps its text for the next showing.
  EXPECT_EQ(dialog_.findChild<QLineEdit *>("Edit1")->text(), "2");
}

}  // namespace
}  // namespace records
