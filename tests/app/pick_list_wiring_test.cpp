// The record editor's lookup buttons as start-up wires them: each opens its
// pick list over the reference tables of the program's data directory, and
// the choice lands in the editor.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

#include "app/main_window.h"
#include "records/insert_edit_dlg.h"
#include "records/lookup_country.h"
#include "records/lookup_income.h"
#include "shell/app_paths.h"
#include "support/common/temp_dir.h"
#include "ui/scripted_ui_driver.h"

namespace {

TEST(PickListWiring, TheEditorsLookupButtonsOpenTheTwoPickLists) {
  testing_support::TempDir dir;
  shell::InitAppPaths(QString::fromStdString(dir.File("vedil")));
  QDir().mkpath(shell::DataDir());
  for (const char *name :
       {shell::kIncomesTableName, shell::kCountriesTableName, shell::kCountriesIndexName}) {
    QFile::copy(QStringLiteral(VEDIL_SOURCE_DIR "/data/tables/") + name,
                shell::DataFile(QString::fromUtf8(name)));
  }
  ui::ScriptedUiDriver ui;
  app::TForm1 form;
  const app::ProgramWindows windows = app::CreateProgramWindows(&form);
  ASSERT_NE(windows.lookup_country, nullptr);
  ASSERT_NE(windows.lookup_income, nullptr);
  records::TInsertEditDlg *editor = windows.insert_edit_dlg;
  auto *button = editor->findChild<QToolButton *>("SpeedButton3");
  ASSERT_TRUE(button->isEnabled());

  ui.QueueModal([list = windows.lookup_income](QDialog *) {
    EXPECT_TRUE(list->DataSet().Locate("CODE", {"401"}));
    list->findChild<QPushButton *>("BitBtn1")->click();
    return list->result();
  });
  button->click();
  EXPECT_EQ(ui.modals(), QStringList({"TLookupIncome"}));
  EXPECT_EQ(editor->CodeField()->text(), "401");
  EXPECT_FALSE(windows.lookup_income->DataSet().Active());

  ui.QueueModal([list = windows.lookup_country](QDialog *) {
    EXPECT_TRUE(list->DataSet().Locate("CODE", {"AT"}));
    list->findChild<QPushButton *>("BitBtn1")->click();
    return list->result();
  });
  editor->SpeedButton1Click();
  EXPECT_EQ(ui.modals(), QStringList({"TLookupIncome", "TLookupCountry"}));
  EXPECT_EQ(editor->CountryField()->text(), "AT");
  EXPECT_EQ(editor->AddressLabel()->text(), "(7) Адрес в [AT] Австрия");
}

}  // namespace
