// The payer data dialog, driven headless through the scripted UI driver:
// activation from the file, the numeric filter, the copy button, saving, and
// the change question of "Изход" and Esc with its three answers.
#include "settings/config_dlg.h"

#include <gtest/gtest.h>

#include "support/qt/qt_printers.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

#include "settings/payer_check.h"
#include "settings/payer_fields.h"
#include "settings/payer_settings.h"
#include "shell/app_paths.h"
#include "shell/payer_record.h"
#include "support/common/temp_dir.h"
#include "support/qt/valid_payer.h"
#include "ui/scripted_ui_driver.h"
#include "xbase/file/clock.h"

namespace {

using testing_support::ReadFileBytes;

const QString kQuestion = QStringLiteral("Има промени в параметрите. Да се съхранят ли ?      ");

using testing_support::ValidPayerRecord;

class ConfigDlgTest : public testing::Test {
 protected:
  ConfigDlgTest() {
    shell::InitAppPaths(QString::fromStdString(dir_.File("vedil")));
    xb::SetClockForTesting(xb::LocalTime{2020, 3, 1});
    settings::WriteSettingsTemplate(shell::SettingsFilePath());
    shell::PayerData = {};
  }
  ~ConfigDlgTest() override { xb::SetClockForTesting(std::nullopt); }

  // Creates and shows the dialog, as the main window's command does.
  void Open() {
    dlg_ = std::make_unique<settings::TConfigDlg>();
    dlg_->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(dlg_.get()));
  }
  template <typename T = QLineEdit>
  T *Get(const char *name) {
    T *w = dlg_->findChild<T *>(name);
    EXPECT_NE(w, nullptr) << name;
    return w;
  }
  std::string Ini() const { return ReadFileBytes(dir_.File("vedil.ini")); }

  testing_support::TempDir dir_;
  ui::ScriptedUiDriver ui_;
  std::unique_ptr<settings::TConfigDlg> dlg_;
};

// The reference for "Изход" is what the dialog showed: a fresh file's empty
// status word shows as "Active" and is no change of the user's.
TEST_F(ConfigDlgTest, FreshFileClosesOnExitWithoutAQuestion) {
  Open();
  const std::string before = Ini();
  Get<QPushButton>("CancelBtn")->click();
  EXPECT_TRUE(ui_.messages().empty());
  EXPECT_FALSE(dlg_->isVisible());
  EXPECT_EQ(Ini(), before);

  // A change made in it still asks.
  Open();
  Get("Edit2")->setText("Фирма");
  ui_.QueueAnswer(ui::Answer::kNo);
  Get<QPushButton>("CancelBtn")->click();
  ASSERT_EQ(ui_.messages().size(), 1u);
  EXPECT_EQ(ui_.messages()[0].caption, QStringLiteral("Изход"));
  EXPECT_EQ(ui_.messages()[0].text, kQuestion);
  EXPECT_EQ(ui_.messages()[0].buttons, ui::Buttons::kYesNoCancel);
  EXPECT_FALSE(dlg_->isVisible());
  EXPECT_EQ(Ini(), before);
}

TEST_F(ConfigDlgTest, EscWithChangesCancelShowsTheFirstProblemAndYesStaysOnAFailedCheck) {
  settings::SavePayerRecord(ValidPayerRecord());
  Open();
  Get("Edit6")->setText("100");
  ui_.QueueAnswer(ui::Answer::kCancel);
  QTest::keyClick(Get("Edit2"), Qt::Key_Escape);
  ui_.QueueAnswer(ui::Answer::kYes);
  Get("Edit2")->setFocus();
  QTest::keyClick(Get("Edit2"), Qt::Key_Escape);
  const QString warning =
      QStringLiteral(" Въведете ПК (4-цифрен) на адреса за кореспонденция на платеца  ...        ");
  EXPECT_EQ(ui_.MessageTexts(), QStringList({kQuestion, warning, kQuestion, warning}));
  EXPECT_EQ(ui_.messages()[1].caption, QStringLiteral("Предупреждение"));
  EXPECT_EQ(ui_.messages()[1].icon, ui::Icon::kWarning);
  EXPECT_TRUE(dlg_->isVisible());
  EXPECT_EQ(QApplication::focusWidget(), Get("Edit6"));
  EXPECT_EQ(shell::PayerData[shell::kOwnerPK], QStringLiteral("100"));  // the dialog's values
}

TEST_F(ConfigDlgTest, UnchangedValidDataClosesWithoutAQuestion) {
  settings::SavePayerRecord(ValidPayerRecord());
  Open();
  Get<QPushButton>("CancelBtn")->click();
  EXPECT_TRUE(ui_.messages().empty());
  EXPECT_FALSE(dlg_->isVisible());
}

TEST_F(ConfigDlgTest, SaveWritesTheFileInTemplateOrderAndTellsTheMainWindow) {
  settings::SavePayerRecord(ValidPayerRecord());
  Open();
  QSignalSpy saved(dlg_.get(), &settings::TConfigDlg::PayerDataSaved);
  Get("Edit2")->setText("Ново име");
  Get<QCheckBox>("CheckBox1")->setChecked(true);
  Get<QCheckBox>("CheckBox2")->setChecked(true);
  Get<QComboBox>("ComboBox1")->setCurrentIndex(1);
  Get<QPushButton>("OKBtn")->click();
  EXPECT_TRUE(ui_.messages().empty());
  EXPECT_EQ(saved.count(), 1);
  EXPECT_FALSE(dlg_->isVisible());
  EXPECT_EQ(shell::PayerData[shell::kOwnerName], QStringLiteral("Ново име"));
  EXPECT_EQ(shell::PayerData[shell::kStatus], QStringLiteral("StoppedTarget"));
  const std::string ini = Ini();
  EXPECT_NE(ini.find("FiscalYear=2020\r\n"), std::string::npos);
  EXPECT_NE(ini.find("OwnerName=\xCD\xEE\xE2\xEE \xE8\xEC\xE5\r\nStatus=StoppedTarget\r\n"),
            std::string::npos);

  // Shown again: both flags on, nothing changed, no question.
  Get<QCheckBox>("CheckBox1")->setChecked(false);
  dlg_->show();
  EXPECT_TRUE(Get<QCheckBox>("CheckBox1")->isChecked());
  EXPECT_TRUE(Get<QCheckBox>("CheckBox2")->isChecked());
  Get<QPushButton>("CancelBtn")->click();
  EXPECT_TRUE(ui_.messages().empty());
}

TEST_F(ConfigDlgTest, WarningsNameTheStreetKindAndTheIdentifierLength) {
  shell::PayerRecord v = ValidPayerRecord();
  v[shell::kOwnerAddr] = "бул.";
  v[shell::kOwnerAddrName] = "";
  settings::SavePayerRecord(v);
  settings::LoadPayerData();
  Open();
  Get<QPushButton>("OKBtn")->click();
  Get("Edit7")->setText("Витоша");
  Get("Edit1")->setText("1234567891");
  Get<QPushButton>("OKBtn")->click();
  Get("Edit1")->setText("12345678");
  Get<QPushButton>("OKBtn")->click();
  EXPECT_EQ(ui_.MessageTexts(),
            QStringList(
                {" Въведете наименование бул.  ...        ",
                 " Невалиден 10-значен ЕИК (ЕГН) на платеца  ...        ",
                 " Въведете 9-значен (Булстат) или 10-значен (ЕГН) ЕИК на платеца  ...        "}));
  EXPECT_EQ(QApplication::focusWidget(), Get("Edit1"));
  EXPECT_TRUE(dlg_->isVisible());
}

// The dialog is never taller than the screen leaves room for; when it does
// not fit, its form scrolls so that the focused control is in view, the two
// buttons always.
TEST_F(ConfigDlgTest, DialogFitsTheScreenAndShowsTheFocusedControl) {
  Open();
  const QRect available = dlg_->screen()->availableGeometry();
  EXPECT_LE(dlg_->height(), available.height() - 40);
  auto *scroll = dlg_->findChild<QScrollArea *>();
  ASSERT_NE(scroll, nullptr);
  auto visible = [&](QWidget *w) {
    const QRect inside(w->mapTo(scroll->viewport(), QPoint()), w->size());
    return scroll->viewport()->rect().contains(inside);
  };
  for (const char *name : {"Edit24", "ComboBox1", "Edit13", "CheckBox2", "Edit1"}) {
    SCOPED_TRACE(name);
    auto *w = Get<QWidget>(name);
    w->setFocus();
    QApplication::processEvents();
    EXPECT_TRUE(visible(w));
  }
  for (const char *name : {"OKBtn", "CancelBtn"}) {
    auto *b = Get<QPushButton>(name);
    EXPECT_TRUE(dlg_->rect().contains(QRect(b->mapTo(dlg_.get(), QPoint()), b->size()))) << name;
  }
}

// A kind chosen earlier and left unsaved with No stays in PayerData; the
// warning must follow the kind the dialog shows now.
TEST_F(ConfigDlgTest, IdentifierWarningFollowsTheKindTheDialogShows) {
  settings::SavePayerRecord(ValidPayerRecord());  // kind ЕИК
  settings::LoadPayerData();
  Open();
  emit Get<QComboBox>("ComboBox2")->activated(0);  // the service number
  ui_.QueueAnswer(ui::Answer::kNo);
  Get<QPushButton>("CancelBtn")->click();
  ASSERT_FALSE(dlg_->isVisible());

  Open();
  EXPECT_EQ(Get<QComboBox>("ComboBox2")->currentText(), QStringLiteral("ЕИК"));
  Get("Edit1")->setText("121212122");
  Get<QPushButton>("OKBtn")->click();
  EXPECT_EQ(ui_.MessageTexts().last(),
            QStringLiteral(" Невалиден 9-значен ЕИК (Булстат) на платеца  ...        "));
}

// The field holds what the kind allows: 13 digits for a ЕИК, 10 for the
// service number.
TEST_F(ConfigDlgTest, ThirteenDigitEikCanBeTypedAndSaved) {
  settings::SavePayerRecord(ValidPayerRecord());
  Open();
  QLineEdit *id = Get("Edit1");
  id->clear();
  id->setFocus();
  QTest::keyClicks(id, "00000000007021");
  EXPECT_EQ(id->text(), QStringLiteral("0000000000702"));
  Get<QPushButton>("OKBtn")->click();
  EXPECT_TRUE(ui_.messages().empty());
  EXPECT_NE(Ini().find("OwnerNo=0000000000702\r\n"), std::string::npos);

  Open();
  id = Get("Edit1");
  EXPECT_EQ(id->text(), QStringLiteral("0000000000702"));
  Get<QComboBox>("ComboBox2")->setCurrentIndex(0);
  EXPECT_EQ(id->text(), QStringLiteral("0000000000702"));  // kept for the check, not cut
  id->clear();
  QTest::keyClicks(id, "12345678901");
  EXPECT_EQ(id->text(), QStringLiteral("1234567890"));
}

TEST_F(ConfigDlgTest, AYearNotOfferedShowsNoSelectionAndIsRefused) {
  shell::PayerRecord v = ValidPayerRecord();
  v[shell::kFiscalYear] = "2015";
  settings::SavePayerRecord(v);
  Open();
  EXPECT_EQ(Get<QComboBox>("ComboBox1")->currentIndex(), -1);
  Get<QPushButton>("OKBtn")->click();
  EXPECT_EQ(ui_.MessageTexts(), QStringList({" Изберете данъчна година  ...        "}));
  EXPECT_EQ(QApplication::focusWidget(), Get<QComboBox>("ComboBox1"));
}

TEST_F(ConfigDlgTest, NumericFilterUndoesTheRejectedKeystroke) {
  Open();
  QLineEdit *pk = Get("Edit6");
  pk->setFocus();
  QTest::keyClicks(pk, "1000");
  pk->setCursorPosition(2);
  QTest::keyClick(pk, Qt::Key_A);
  EXPECT_EQ(pk->text(), QStringLiteral("1000"));
  EXPECT_EQ(pk->cursorPosition(), 2);
  // A pasted or set text is filtered too; empty is accepted with the caret at 0.
  pk->setText("12x4");
  EXPECT_EQ(pk->text(), QStringLiteral("1000"));
  pk->clear();
  EXPECT_EQ(pk->text(), QString());
  EXPECT_EQ(pk->cursorPosition(), 0);
  // The entrance field has no filter.
  QTest::keyClicks(Get("Edit20"), "A");
  EXPECT_EQ(Get("Edit20")->text(), QStringLiteral("A"));
  // A sign is a whole number; the limit of 10 characters holds.
  Get("Edit24")->setText("-5");
  EXPECT_EQ(Get("Edit24")->text(), QStringLiteral("-5"));
  Get("Edit1")->setText("123456789012345");
  EXPECT_EQ(Get("Edit1")->text(), QStringLiteral("1234567890"));
}

TEST_F(ConfigDlgTest, CopyButtonCopiesTheCorrespondenceAddress) {
  shell::PayerRecord v = ValidPayerRecord();
  v[shell::kOwnerAddr] = "ж.к.";
  v[shell::kOwnerAddrBl] = "бл.";
  v[shell::kOwnerAddrVh] = "Б";
  v[shell::kOwnerAddrEt] = "4";
  v[shell::kOwnerAddrAp] = "12";
  for (int i : {shell::kOwnerObl8, shell::kOwnerObst8, shell::kOwnerNM8, shell::kOwnerPK8,
                shell::kOwnerAddr8, shell::kOwnerAddrName8, shell::kOwnerAddrNo8}) {
    v[i] = "";
  }
  settings::SavePayerRecord(v);
  Open();
  Get<QToolButton>("BitBtn1")->click();
  const shell::PayerRecord r = dlg_->TakePayerDataFromDialog();
  const std::pair<int, int> pairs[] = {
      {shell::kOwnerObl, shell::kOwnerObl8},       {shell::kOwnerObst, shell::kOwnerObst8},
      {shell::kOwnerNM, shell::kOwnerNM8},         {shell::kOwnerPK, shell::kOwnerPK8},
      {shell::kOwnerAddr, shell::kOwnerAddr8},     {shell::kOwnerAddrName, shell::kOwnerAddrName8},
      {shell::kOwnerAddrBl, shell::kOwnerAddrBl8}, {shell::kOwnerAddrNo, shell::kOwnerAddrNo8},
      {shell::kOwnerAddrVh, shell::kOwnerAddrVh8}, {shell::kOwnerAddrEt, shell::kOwnerAddrEt8},
      {shell::kOwnerAddrAp, shell::kOwnerAddrAp8},
  };
  for (const auto &[from, to] : pairs) EXPECT_EQ(r[to], v[from]) << shell::kPayerKeys[to];
}

// Every value of the file shows in the control the payer values' table names,
// which takes the table's limit and filter, and comes back from the dialog.
TEST_F(ConfigDlgTest, EachValueShowsInItsControlAndComesBack) {
  shell::PayerRecord v = ValidPayerRecord();
  v[shell::kOwnerAddrBl] = "бл.";
  v[shell::kOwnerAddrVh] = "Б";
  v[shell::kOwnerAddrEt] = "4";
  v[shell::kOwnerAddrAp] = "12";
  v[shell::kOwnerAddrEt8] = "7";
  v[shell::kOwnerPhone] = "02 981";
  v[shell::kOwnerEMail] = "a@b.bg";
  v[shell::kAuthorizedPersonName] = "Иван Иванов";
  v[shell::kAuthorizedPersonID] = "0000000077";
  v[shell::kStatus] = "Target";
  settings::SavePayerRecord(v);
  Open();
  for (const settings::PayerField &field : settings::kPayerFields) {
    SCOPED_TRACE(shell::kPayerKeys[field.index]);
    if (field.kind == settings::PayerControl::kList) {
      EXPECT_EQ(Get<QComboBox>(field.control)->currentText(), v[field.index]);
    } else if (field.kind == settings::PayerControl::kEdit) {
      QLineEdit *edit = Get(field.control);
      EXPECT_EQ(edit->text(), v[field.index]);
      // The identifier's limit follows its kind (13 for a ЕИК).
      EXPECT_EQ(edit->maxLength(), field.index == shell::kOwnerNo ? 13 : field.limit);
      edit->setText("9x");
      EXPECT_EQ(edit->text(),
                field.numeric ? v[field.index] : QStringLiteral("9x").left(field.limit));
      edit->setText(v[field.index]);
    }
  }
  EXPECT_EQ(dlg_->TakePayerDataFromDialog(), v);
}

TEST_F(ConfigDlgTest, EnterMovesToTheNextControlAndKindListWritesPayerData) {
  Open();
  Get("Edit2")->setFocus();
  QTest::keyClick(Get("Edit2"), Qt::Key_Return);
  EXPECT_EQ(QApplication::focusWidget(), Get("Edit3"));
  Get<QPushButton>("OKBtn")->setFocus();
  QTest::keyClick(Get<QPushButton>("OKBtn"), Qt::Key_Return);
  EXPECT_EQ(QApplication::focusWidget(), Get<QPushButton>("CancelBtn"));
  EXPECT_TRUE(ui_.messages().empty());  // Enter pressed no button

  auto *kind = Get<QComboBox>("ComboBox2");
  emit kind->activated(1);
  EXPECT_EQ(shell::PayerData[shell::kOwnerNoType], QStringLiteral("ЕИК"));
  emit kind->activated(0);
  EXPECT_EQ(shell::PayerData[shell::kOwnerNoType],
            QStringLiteral("Служебен № от регистъра на ВЕСКОР"));
}

}  // namespace
