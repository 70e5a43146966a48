// The record editor over the real income table: a TXbaseDataSet on dvel.dbf
// and the duplicate search through the rebuilt dvel.ntx.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "records/income_table.h"
#include "records/insert_edit_dlg.h"
#include "shell/app_paths.h"
#include "shell/window_flags.h"
#include "support/common/temp_dir.h"
#include "ui/scripted_ui_driver.h"
#include "xbase/dataset/xbase_dataset.h"

namespace records {
namespace {

class EditorOnTableTest : public ::testing::Test {
 protected:
  EditorOnTableTest() {
    shell::InitAppPaths(QString::fromStdString(dir_.File("vedil")));
    EXPECT_TRUE(PrepareIncomeTable(nullptr));
    table_.SetDatabaseName(shell::DataDir().toStdString());
    table_.SetTableName("dvel.dbf");
    table_.TranslateASCII = false;
    table_.Open();
    dialog_.SetTableDataSet(&table_);
    dialog_.SetDataDir(QStringLiteral(VEDIL_SOURCE_DIR "/data/tables"));
  }
  ~EditorOnTableTest() override {
    dialog_.hide();
    shell::InsertMode = shell::EditMode = false;
  }

  void Show(bool insert) {
    shell::InsertMode = insert;
    shell::EditMode = !insert;
    dialog_.show();
    dialog_.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog_));
  }
  void SaveInterestRow(const char *income) {
    auto *combo = dialog_.findChild<QComboBox *>("ComboBox1");
    combo->setCurrentIndex(kKindBankInterest);
    emit combo->activated(kKindBankInterest);
    auto *edit5 = dialog_.findChild<QLineEdit *>("Edit5");
    edit5->clear();
    QTest::keyClicks(edit5, income);
    dialog_.findChild<QPushButton *>("OKBtn")->click();
  }

  testing_support::TempDir dir_;
  ui::ScriptedUiDriver ui_;
  xb::TXbaseDataSet table_;
  TInsertEditDlg dialog_;
};

TEST_F(EditorOnTableTest, SecondInterestRowIsRefusedAndAnUnchangedEditSaves) {
  Show(true);
  SaveInterestRow("30");
  EXPECT_EQ(ui_.MessageTexts(), QStringList({"Успешен запис !     "}));
  ui_.ClearRecords();
  SaveInterestRow("40");
  ASSERT_EQ(ui_.messages().size(), 1u);
  EXPECT_EQ(ui_.messages()[0].caption, "Предупреждение");
  EXPECT_TRUE(ui_.messages()[0].text.contains("Имате въведен ред (1) със същите"));
  dialog_.findChild<QPushButton *>("CancelBtn")->click();
  EXPECT_EQ(table_.RecordCount(), 1);

  ui_.ClearRecords();
  table_.First();
  Show(false);
  dialog_.findChild<QPushButton *>("OKBtn")->click();
  EXPECT_EQ(ui_.MessageTexts(), QStringList({"Успешен запис на промените !     "}));
  table_.First();
  EXPECT_EQ(table_.StringGet("F03"), "4");
  EXPECT_EQ(table_.StringGet("F08"), "30.00");
  EXPECT_EQ(table_.StringGet("F09"), "0.00");
  EXPECT_EQ(table_.StringGet("F10"), "821");
  EXPECT_EQ(table_.StringGet("F06"), "");
}

}  // namespace
}  // namespace records
