// The record editor's two pick lists over the shipped reference tables,
// driven as the user would through the scripted UI driver: opening on the
// editor's value, refused choices that keep the list open, accepted choices
// written into the editor, Esc, and the editor's checks after the list closes.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <functional>

#include "records/income_table.h"
#include "records/insert_edit_dlg.h"
#include "records/lookup_country.h"
#include "records/lookup_income.h"
#include "shell/app_paths.h"
#include "shell/window_flags.h"
#include "support/common/temp_dir.h"
#include "ui/codepage.h"
#include "ui/db_grid.h"
#include "ui/scripted_ui_driver.h"
#include "xbase/dataset/xbase_dataset.h"

namespace records {
namespace {

const QString kTables = QStringLiteral(VEDIL_SOURCE_DIR "/data/tables");

class PickListsTest : public ::testing::Test {
 protected:
  PickListsTest() {
    shell::InitAppPaths(QString::fromStdString(dir_.File("vedil")));
    EXPECT_TRUE(PrepareIncomeTable(nullptr));
    table_.SetDatabaseName(shell::DataDir().toStdString());
    table_.SetTableName("dvel.dbf");
    table_.TranslateASCII = false;
    table_.Open();
    editor_.SetTableDataSet(&table_);
    editor_.SetDataDir(kTables);
    countries_.SetDataDir(kTables);
    incomes_.SetDataDir(kTables);
    editor_.SetCountryPickList([this](TInsertEditDlg &e) { countries_.Execute(e); });
    editor_.SetIncomePickList([this](TInsertEditDlg &e) { incomes_.Execute(e); });
  }
  ~PickListsTest() override {
    editor_.hide();
    shell::InsertMode = shell::EditMode = false;
  }

  void ShowEditor() {
    shell::InsertMode = true;
    shell::EditMode = false;
    editor_.show();
    editor_.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&editor_));
  }
  template <typename T>
  T *Get(const char *name) {
    T *w = editor_.findChild<T *>(name);
    EXPECT_NE(w, nullptr) << name;
    return w;
  }
  void ChooseKind(int kind) {
    auto *combo = Get<QComboBox>("ComboBox1");
    combo->setCurrentIndex(kind);
    emit combo->activated(kind);
  }
  // The user's steps inside the next pick list shown; its result is recorded.
  void InList(TPickListDlg &list, std::function<void()> steps) {
    ui_.QueueModal([this, &list, steps](QDialog *d) {
      EXPECT_EQ(d, &list);
      EXPECT_TRUE(list.DataSet().Active());
      steps();
      list_result_ = d->result();
      return d->result();
    });
  }
  static QString Current(TPickListDlg &list, const char *field) {
    return codepage::FromCp1251(list.DataSet().FieldByName(field).AsString());
  }
  static void MoveTo(TPickListDlg &list, const char *code) {
    ASSERT_TRUE(list.DataSet().Locate("CODE", {code})) << code;
  }
  static void Choose(TPickListDlg &list) { list.findChild<QPushButton *>("BitBtn1")->click(); }
  QString Focused() {
    return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
  }

  testing_support::TempDir dir_;
  ui::ScriptedUiDriver ui_;
  xb::TXbaseDataSet table_;
  TInsertEditDlg editor_;
  TLookupCountry countries_;
  TLookupIncome incomes_;
  int list_result_ = -1;
};

TEST_F(PickListsTest, CountryListRefusesBulgariaAndWritesAnotherChoiceIntoTheEditor) {
  ShowEditor();
  Get<QRadioButton>("RadioButton2")->click();  // a foreign person
  InList(countries_, [&] {
    MoveTo(countries_, "BG");
    Choose(countries_);
    EXPECT_EQ(countries_.result(), QDialog::Rejected);  // still open
    MoveTo(countries_, "DE");
    Choose(countries_);
  });
  Get<QLineEdit>("Edit3")->setFocus();
  Get<QToolButton>("SpeedButton1")->click();
  EXPECT_EQ(list_result_, QDialog::Accepted);
  ASSERT_EQ(ui_.messages().size(), 1u);
  EXPECT_EQ(ui_.messages()[0].caption, "Внимание !");
  EXPECT_EQ(ui_.messages()[0].text, "Изберете код различен от BG      ");
  EXPECT_EQ(ui_.messages()[0].icon, ui::Icon::kWarning);
  EXPECT_EQ(Get<QLineEdit>("Edit3")->text(), "DE");
  EXPECT_EQ(Get<QLabel>("Label4")->text(), "(7) Адрес в [DE] Германия");
  // The list's table is open only while it shows.
  EXPECT_FALSE(countries_.DataSet().Active());
  // The Tab sent after the list closed leaves the country field: its check
  // passes and the focus goes on to the address.
  QApplication::processEvents();
  EXPECT_EQ(Focused(), "Edit4");
  EXPECT_EQ(ui_.messages().size(), 1u);
}

TEST_F(PickListsTest, CountryListOpensInNameOrderOnTheEditorsCodeAndEscLeavesTheEditorAlone) {
  ShowEditor();
  Get<QRadioButton>("RadioButton2")->click();
  Get<QLineEdit>("Edit3")->setText(QStringLiteral("FR"));
  InList(countries_, [&] {
    EXPECT_EQ(Current(countries_, "CODE"), "FR");
    // The rows run in name order (1251 bytes) through the tag "Countries".
    xb::TXbaseDataSet &table = countries_.DataSet();
    const int fr_record = table.RecNo();
    table.First();
    std::string previous;
    int rows = 0;
    for (; !table.Eof(); table.Next(), ++rows) {
      const std::string name = table.StringGet("NAME");
      EXPECT_LE(previous, name) << rows;
      previous = name;
    }
    EXPECT_EQ(rows, table.RecordCount());
    EXPECT_FALSE(table.IsSequenced());
    table.SetRecNo(fr_record);
    countries_.show();
    QTest::keyClick(countries_.Grid(), Qt::Key_Escape);
  });
  countries_.Execute(editor_);
  EXPECT_EQ(list_result_, QDialog::Rejected);
  EXPECT_EQ(Get<QLineEdit>("Edit3")->text(), "FR");
  EXPECT_TRUE(ui_.messages().empty());
  EXPECT_FALSE(countries_.DataSet().Active());
}

TEST_F(PickListsTest, EditorChecksRunAfterARealModalListClosed) {
  // The lists run their own modal loop here, as in the program: the editor
  // is not the active window when they close.
  const auto run_modal = [this](std::function<void()> steps) {
    ui_.QueueModal([steps](QDialog *d) {
      QTimer::singleShot(0, d, steps);
      return d->exec();
    });
  };
  ShowEditor();
  // A code chosen: the code field's check stores it in the row.
  run_modal([this] {
    MoveTo(incomes_, "602");
    Choose(incomes_);
  });
  Get<QToolButton>("SpeedButton3")->click();
  EXPECT_TRUE(ui_.messages().empty());
  EXPECT_EQ(Get<QLineEdit>("Edit7")->text(), "602");
  EXPECT_EQ(Focused(), "Edit5");
  EXPECT_EQ(table_.StringGet("F10"), "602");

  Get<QRadioButton>("RadioButton2")->click();
  QLineEdit *country = Get<QLineEdit>("Edit3");
  country->setText(QStringLiteral("bg"));
  country->setFocus();
  // Left without a choice: the Tab leaves the country field, whose check
  // refuses Bulgaria and keeps the focus.
  run_modal([this] { countries_.reject(); });
  Get<QToolButton>("SpeedButton1")->click();
  QApplication::processEvents();
  EXPECT_EQ(ui_.MessageTexts(),
            QStringList({"България е с код-държава <BG>.(изберете друг код.)"}));
  EXPECT_EQ(Focused(), "Edit3");
  EXPECT_EQ(country->text(), "BG");
}

TEST_F(PickListsTest, IncomeListNamesTheKindThat820And821BelongTo) {
  ShowEditor();  // kind "ЕГН" selected
  InList(incomes_, [&] {
    MoveTo(incomes_, "820");
    Choose(incomes_);
    MoveTo(incomes_, "821");
    QTest::keyClick(incomes_.Grid(), Qt::Key_Return);
    EXPECT_EQ(incomes_.result(), QDialog::Rejected);
    incomes_.reject();
  });
  Get<QToolButton>("SpeedButton3")->click();
  EXPECT_EQ(ui_.MessageTexts(),
            QStringList({"Избрания код [820] е валиден само при идентификатор [Етажна "
                         "собственост]. \n      Изберете код различен от [820,821] !    ",
                         "Избрания код [821] е валиден само при идентификатор [Лихви по "
                         "банкови сметки]. \n      Изберете код различен от [820,821] !    "}));
  EXPECT_EQ(Get<QLineEdit>("Edit7")->text(), "");
}

TEST_F(PickListsTest, IncomeChoiceWithNoKindFillsTheCodeAndItsNameAndRunsTheCodeCheck) {
  ShowEditor();
  Get<QComboBox>("ComboBox1")->setCurrentIndex(-1);
  InList(incomes_, [&] {
    MoveTo(incomes_, "820");
    Choose(incomes_);  // refused as for kinds 0 to 3
    MoveTo(incomes_, "3071");
    EXPECT_EQ(incomes_.DescriptionBox()->toPlainText(), Current(incomes_, "NAME"));
    incomes_.Grid()->doubleClicked(incomes_.Grid()->currentIndex());
  });
  Get<QToolButton>("SpeedButton3")->click();
  EXPECT_EQ(list_result_, QDialog::Accepted);
  ASSERT_EQ(ui_.messages().size(), 1u);
  EXPECT_TRUE(ui_.messages()[0].text.startsWith("Избрания код [820]"));
  EXPECT_EQ(Get<QLineEdit>("Edit7")->text(), "3071");
  EXPECT_FALSE(Get<QPlainTextEdit>("Memo1")->toPlainText().isEmpty());
  // The focus went through the code field to the income field, so the code
  // check stored the code in the row being inserted.
  EXPECT_EQ(Focused(), "Edit5");
  EXPECT_EQ(table_.StringGet("F10"), "3071");
}

TEST_F(PickListsTest, IncomeListOpensOnTheEditorsCodeAndKeepsKindFourTo820) {
  ShowEditor();
  ChooseKind(kKindCondominium);  // the editor fills 820
  InList(incomes_, [&] {
    EXPECT_EQ(Current(incomes_, "CODE"), "820");
    EXPECT_EQ(incomes_.DescriptionBox()->toPlainText(), Current(incomes_, "NAME"));
    MoveTo(incomes_, "301");
    Choose(incomes_);
    incomes_.reject();
  });
  incomes_.Execute(editor_);
  EXPECT_EQ(ui_.MessageTexts(),
            QStringList({"Валиден код при идентификатор [етаж.соб.] е [820] !    "}));
  EXPECT_EQ(Get<QLineEdit>("Edit7")->text(), "820");
}

}  // namespace
}  // namespace records
