// The record editor driven as the user would: kinds, typing, leaving fields,
// "Запис" and "Отказ", over an income table held in memory, with the shipped
// reference tables and the message boxes recorded by the scripted driver.
#include "records/insert_edit_dlg.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "records/income_row.h"
#include "shell/window_flags.h"
#include "support/common/memory_dataset.h"
#include "ui/codepage.h"
#include "ui/scripted_ui_driver.h"

namespace records {
namespace {

using Row = std::vector<std::string>;

// Text as the table stores it.
std::string Cp(const char *text) { return codepage::ToCp1251(QString::fromUtf8(text)); }

std::vector<testing_support::TMemoryDataSet::Column> IncomeColumns() {
  return {{"F01", xb::TFieldType::ftString, 5},  {"F02", xb::TFieldType::ftString, 1},
          {"F03", xb::TFieldType::ftString, 1},  {"F04", xb::TFieldType::ftString, 13},
          {"F05", xb::TFieldType::ftString, 40}, {"F06", xb::TFieldType::ftString, 2},
          {"F07", xb::TFieldType::ftString, 40}, {"F08", xb::TFieldType::ftString, 13},
          {"F09", xb::TFieldType::ftString, 13}, {"F10", xb::TFieldType::ftString, 5}};
}

class InsertEditDlgTest : public ::testing::Test {
 protected:
  InsertEditDlgTest() : table_(IncomeColumns()) {
    dialog_.SetTableDataSet(&table_);
    dialog_.SetDataDir(QStringLiteral(VEDIL_SOURCE_DIR "/data/tables"));
    // The duplicate search over the saved rows: identifier and code equal.
    dialog_.SetDuplicateFinder([this](const QString &id, const QString &code) -> qint64 {
      const auto rows = table_.Rows();
      for (std::size_t i = 0; i < rows.size(); ++i) {
        if (QString::fromStdString(rows[i][3]) == id && QString::fromStdString(rows[i][9]) == code)
          return qint64(i + 1);
      }
      return 0;
    });
  }
  ~InsertEditDlgTest() override {
    dialog_.hide();
    shell::InsertMode = shell::EditMode = false;
  }

  void Open(bool insert) {
    table_.Open();
    shell::InsertMode = insert;
    shell::EditMode = !insert;
    dialog_.show();
    dialog_.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog_));
  }

  template <typename T>
  T *Get(const char *name) {
    T *w = dialog_.findChild<T *>(name);
    EXPECT_NE(w, nullptr) << name;
    return w;
  }
  QLineEdit *Edit(int n) { return Get<QLineEdit>(QString("Edit%1").arg(n).toLatin1()); }
  void Type(int field, const QString &text) {
    Edit(field)->setFocus();
    Edit(field)->clear();
    for (QChar c : text) {
      // keyClicks handles Latin-1 only; other letters go as text events.
      if (c.unicode() < 0x80) {
        QTest::keyClicks(Edit(field), QString(c));
      } else {
        QTest::sendKeyEvent(QTest::Click, Edit(field), Qt::Key_unknown, QString(c), Qt::NoModifier);
      }
    }
  }
  void ChooseKind(int kind) {
    auto *combo = Get<QComboBox>("ComboBox1");
    combo->setCurrentIndex(kind);
    emit combo->activated(kind);
  }
  void Save() { Get<QPushButton>("OKBtn")->click(); }
  QString Focused() {
    return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
  }

  ui::ScriptedUiDriver ui_;
  testing_support::TMemoryDataSet table_;
  TInsertEditDlg dialog_;
};

TEST_F(InsertEditDlgTest, EmptyRowListsEveryMissingFieldAndFocusesTheFirst) {
  Open(true);
  Edit(5)->setFocus();
  Save();
  ASSERT_EQ(ui_.messages().size(), 1u);
  EXPECT_EQ(ui_.messages()[0].caption, "Задължителни полета, контрол на данните");
  EXPECT_EQ(ui_.messages()[0].text,
            "3 Въведете ЕГН  \r9 Въведете име на лицето  \r"
            "19 Въведете код на дохода или изберете с бутона ...  \r"
            "15 Въведете размера на дохода  \r");
  EXPECT_EQ(Focused(), "Edit1");
  EXPECT_TRUE(table_.Rows().empty());
}

TEST_F(InsertEditDlgTest, SavesAPersonAndAppendsTheNextRow) {
  Open(true);
  Type(1, "7501010010");
  Type(2, "Иван Петров");
  Type(7, "3071");
  Type(5, "1234");  // leaving the code field stores it and shows its name
  EXPECT_FALSE(Get<QPlainTextEdit>("Memo1")->toPlainText().isEmpty());
  Type(6, "");
  Edit(5)->setFocus();  // leaving an empty tax field fills 0.00
  EXPECT_EQ(Edit(6)->text(), "0.00");
  Save();
  EXPECT_EQ(ui_.MessageTexts(), QStringList({"Успешен запис !     "}));
  ASSERT_EQ(table_.Rows().size(), 1u);
  EXPECT_EQ(table_.Rows()[0], Row({"", "0", "0", "7501010010", Cp("Иван Петров"), "", "", "1234.00",
                                   "0.00", "3071"}));
  // Ready for the next row: empty fields, a new row being inserted.
  EXPECT_EQ(Edit(1)->text(), "");
  EXPECT_EQ(table_.State(), xb::TDataSetState::dsInsert);
  EXPECT_TRUE(dialog_.isVisible());
  // Closing discards the empty row appended for the next entry.
  Get<QPushButton>("CancelBtn")->click();
  EXPECT_EQ(table_.State(), xb::TDataSetState::dsBrowse);
  EXPECT_EQ(table_.Rows().size(), 1u);
}

TEST_F(InsertEditDlgTest, AmountsAreStoredWithTwoDecimals) {
  Open(true);
  Type(1, "7501010010");
  Type(2, "Иван");
  Type(7, "301");
  Type(5, "12.5");
  Type(6, "1");
  Save();
  ASSERT_EQ(table_.Rows().size(), 1u);
  EXPECT_EQ(table_.Rows()[0][7], "12.50");
  EXPECT_EQ(table_.Rows()[0][8], "1.00");
}

TEST_F(InsertEditDlgTest, FiltersUndoAThirdDecimalAndALetter) {
  Open(true);
  Type(5, "12.34");
  QTest::keyClick(Edit(5), Qt::Key_5);
  EXPECT_EQ(Edit(5)->text(), "12.34");
  EXPECT_EQ(Edit(5)->cursorPosition(), 5);  // one left of where the refused key left it
  Type(7, "30");
  QTest::keyClick(Edit(7), Qt::Key_A);
  EXPECT_EQ(Edit(7)->text(), "30");
  EXPECT_EQ(Edit(7)->cursorPosition(), 2);
}

TEST_F(InsertEditDlgTest, CodeFieldExitCheck) {
  Open(true);
  Type(7, "307");
  Edit(5)->setFocus();
  ASSERT_EQ(ui_.messages().size(), 1u);
  EXPECT_TRUE(ui_.messages()[0].text.startsWith("Недопустим код доход"));
  EXPECT_EQ(Edit(7)->text(), "307");
  EXPECT_EQ(Focused(), "Edit7");

  ui_.ClearRecords();
  Type(7, "3071");
  Edit(5)->setFocus();
  EXPECT_TRUE(ui_.messages().empty());
  EXPECT_EQ(RowGet(table_, kF10), "3071");

  Edit(7)->setFocus();
  Edit(7)->setText("+301");
  Edit(5)->setFocus();
  EXPECT_TRUE(ui_.messages().empty());
  EXPECT_EQ(Edit(7)->text(), "301");

  Type(7, "820");  // a code of the condominium kind, with kind ЕГН
  Edit(5)->setFocus();
  EXPECT_EQ(ui_.MessageTexts(),
            QStringList({" Невалиден код доход [820] при вид идентификатор [ЕГН].    "}));
  EXPECT_EQ(Edit(7)->text(), "");
}

TEST_F(InsertEditDlgTest, CountryFieldExitCheck) {
  Open(true);
  Get<QRadioButton>("RadioButton2")->click();
  EXPECT_TRUE(Edit(3)->isEnabled());
  const struct {
    const char *typed, *message, *after;
  } cases[] = {{"bg", "България е с код-държава <BG>.(изберете друг код.)", "BG"},
               {"1A", "Код-държава трябва да е две латински букви.", "1A"},
               {"QQ", "Няма такъв код-държава.", "QQ"}};
  for (const auto &c : cases) {
    SCOPED_TRACE(c.typed);
    ui_.ClearRecords();
    Type(3, c.typed);
    Edit(4)->setFocus();
    EXPECT_EQ(ui_.MessageTexts(), QStringList({c.message}));
    EXPECT_EQ(Edit(3)->text(), c.after);
    EXPECT_EQ(Focused(), "Edit3");
  }
  ui_.ClearRecords();
  Type(3, "de");
  Edit(4)->setFocus();
  EXPECT_TRUE(ui_.messages().empty());
  EXPECT_EQ(Get<QLabel>("Label4")->text(), "(7) Адрес в [DE] Германия");
}

TEST_F(InsertEditDlgTest, CondominiumKindFillsAndLocksItsFields) {
  Open(true);
  ChooseKind(kKindCondominium);
  EXPECT_EQ(Edit(7)->text(), "820");
  EXPECT_EQ(Edit(3)->text(), "BG");
  EXPECT_FALSE(Edit(1)->isEnabled());
  EXPECT_FALSE(Edit(2)->isEnabled());
  EXPECT_FALSE(Edit(7)->isEnabled());
  EXPECT_TRUE(Edit(4)->isEnabled());
  EXPECT_EQ(Focused(), "Edit4");
  Type(5, "500");
  Save();
  EXPECT_EQ(ui_.MessageTexts(),
            QStringList({"14 Въведете адрес на лицето/етажната собственост  \r"}));
  ui_.ClearRecords();
  Type(4, "София, ул. Шипка 1");
  Save();
  ASSERT_EQ(table_.Rows().size(), 1u);
  EXPECT_EQ(table_.Rows()[0],
            Row({"", "0", "4", "", "", "BG", Cp("София, ул. Шипка 1"), "500.00", "0.00", "820"}));
}

TEST_F(InsertEditDlgTest, SecondInterestRowIsRefusedAsADuplicate) {
  table_.AddRow({"", "0", "0", "7501010010", "Иван", "", "", "10.00", "0.00", "301"});
  table_.AddRow({"", "0", "4", "", "", "", "", "20.00", "0.00", "821"});
  Open(true);
  ChooseKind(kKindBankInterest);
  EXPECT_EQ(Edit(7)->text(), "821");
  EXPECT_EQ(Edit(3)->text(), "");
  EXPECT_FALSE(Edit(4)->isEnabled());
  EXPECT_EQ(Focused(), "Edit5");
  Type(5, "30");
  Save();
  ASSERT_EQ(ui_.messages().size(), 1u);
  EXPECT_EQ(ui_.messages()[0].caption, "Предупреждение");
  EXPECT_TRUE(ui_.messages()[0].text.contains("Имате въведен ред (2) със същите"));
  EXPECT_EQ(Focused(), "ComboBox1");
  EXPECT_EQ(table_.Rows().size(), 2u);
}

TEST_F(InsertEditDlgTest, EditingWithoutChangesSaves) {
  table_.AddRow(
      {"00001", "1", "2", "1234567892", "John Smith", "DE", "Berlin", "100.00", "0.00", "301"});
  Open(false);
  EXPECT_EQ(dialog_.windowTitle(), "Редактиране");
  EXPECT_TRUE(Get<QRadioButton>("RadioButton2")->isChecked());
  EXPECT_EQ(Get<QComboBox>("ComboBox1")->count(), 3);
  EXPECT_EQ(dialog_.SelectedKind(), kKindServiceNo);
  EXPECT_EQ(Get<QLabel>("Label4")->text(), "(7) Адрес в [DE] Германия");
  Save();
  EXPECT_EQ(ui_.MessageTexts(), QStringList({"Успешен запис на промените !     "}));
  EXPECT_EQ(dialog_.result(), QDialog::Accepted);
  EXPECT_EQ(table_.Rows()[0], Row({"00001", "1", "2", "1234567892", "John Smith", "DE", "Berlin",
                                   "100.00", "0.00", "301"}));
}

TEST_F(InsertEditDlgTest, StoredRowsOpenInTheStateTheirValuesGive) {
  const struct {
    Row row;
    int kind;
    bool identifier_on, code_on;
  } cases[] = {
      {{"", "0", "4", "", "", "BG", "София", "1.00", "0.00", "820"},
       kKindCondominium,
       false,
       false},
      {{"", "0", "4", "", "", "", "", "1.00", "0.00", "821"}, kKindBankInterest, false, false},
      {{"", "0", "4", "", "", "", "", "0.00", "0.00", ""}, kKindCondominium, false, true},
      {{"", "0", "3", "123456786", "ЕТ", "", "", "1.00", "0.00", "301"}, kKindEIK, true, true},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.row[2] + "/" + c.row[9]);
    testing_support::TMemoryDataSet table(IncomeColumns());
    table.AddRow(c.row);
    table.Open();
    dialog_.SetTableDataSet(&table);
    shell::EditMode = true;
    shell::InsertMode = false;
    dialog_.show();
    EXPECT_EQ(dialog_.SelectedKind(), c.kind);
    EXPECT_EQ(Edit(1)->isEnabled(), c.identifier_on);
    EXPECT_EQ(Edit(7)->isEnabled(), c.code_on);
    dialog_.hide();
    dialog_.reject();
    EXPECT_EQ(table.State(), xb::TDataSetState::dsBrowse);
  }
}

TEST_F(InsertEditDlgTest, RowTheWindowCannotShowIsRefusedNotChanged) {
  // A foreign person with kind 3: no kind of the three-kind list fits.
  table_.AddRow({"", "1", "3", "123456786", "Company", "DE", "Berlin", "100.00", "0.00", "301"});
  Open(false);
  EXPECT_EQ(dialog_.SelectedKind(), kKindNone);
  Save();
  ASSERT_EQ(ui_.messages().size(), 1u);
  EXPECT_TRUE(ui_.messages()[0].text.startsWith("27 Изберете вид идентификатор"));
  EXPECT_EQ(Focused(), "ComboBox1");
  dialog_.reject();
  EXPECT_EQ(table_.Rows()[0][2], "3");
}

TEST_F(InsertEditDlgTest, StoredAmountTheFilterRefusesIsNotReplacedByAnEarlierOne) {
  table_.AddRow({"", "0", "0", "7501010010", "Иван", "", "", "100.00", "0.00", "301"});
  table_.AddRow({"", "0", "0", "7501010010", "Иван", "", "", "1e5", "0.00", "302"});
  Open(false);  // the first row: its amount becomes the field's last accepted text
  EXPECT_EQ(Edit(5)->text(), "100.00");
  dialog_.hide();
  dialog_.reject();
  table_.Next();
  shell::EditMode = true;
  dialog_.show();
  EXPECT_EQ(Edit(5)->text(), "");
}

}  // namespace
}  // namespace records
