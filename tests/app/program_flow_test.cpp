// The program's windows as start-up wires them, end to end: rows typed in the
// record editor opened from the data entry window (a person, a foreign
// person, a condominium and bank interest), then the agency file written by
// the window's "Файл за ВЕСКОР" button, copied into the chosen folder, and
// accepted by the program's own checker.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "agencyfile/agency_check.h"
#include "agencyfile/country_codes.h"
#include "app/main_window.h"
#include "records/data_entry_dlg.h"
#include "settings/payer_settings.h"
#include "shell/app_paths.h"
#include "support/common/temp_dir.h"
#include "support/qt/qt_printers.h"
#include "support/qt/valid_payer.h"
#include "ui/scripted_ui_driver.h"
#include "ui/xbase_navigator.h"
#include "xbase/file/clock.h"

namespace {

// What is typed for one row; kind is the index in the editor's kind list.
struct Entry {
  bool foreign;
  int kind;
  const char *id, *names, *country, *address, *code, *income, *tax;
};

void Type(QDialog *editor, const Entry &e) {
  auto edit = [editor](int n) { return editor->findChild<QLineEdit *>(QString("Edit%1").arg(n)); };
  if (e.foreign) editor->findChild<QRadioButton *>("RadioButton2")->setChecked(true);
  auto *kinds = editor->findChild<QComboBox *>("ComboBox1");
  kinds->setCurrentIndex(e.kind);
  emit kinds->activated(e.kind);
  const std::pair<int, const char *> fields[] = {{1, e.id},      {2, e.names}, {3, e.country},
                                                 {4, e.address}, {7, e.code},  {5, e.income},
                                                 {6, e.tax}};
  for (auto [n, text] : fields) {
    if (edit(n)->isEnabled()) edit(n)->setText(QString::fromUtf8(text));
  }
  editor->findChild<QPushButton *>("OKBtn")->click();
}

TEST(ProgramFlow, RowsTypedInTheEditorBecomeACorrectAgencyFile) {
  testing_support::TempDir dir;
  shell::InitAppPaths(QString::fromStdString(dir.File("vedil")));
  xb::SetClockForTesting(xb::LocalTime{2020, 3, 1});
  QDir().mkpath(shell::DataDir());
  for (const char *name : {shell::kCountriesTableName, shell::kIncomesTableName}) {
    QFile::copy(QStringLiteral(VEDIL_SOURCE_DIR "/data/tables/") + name,
                shell::DataFile(QString::fromUtf8(name)));
  }
  QFile::copy(QStringLiteral(VEDIL_SOURCE_DIR "/data/vedil.rav"),
              shell::AppDir() + shell::kReportProjectName);
  settings::WriteSettingsTemplate(shell::SettingsFilePath());
  settings::SavePayerRecord(testing_support::ValidPayerRecord());
  ui::ScriptedUiDriver ui;
  app::TForm1 form;
  const app::ProgramWindows windows = app::CreateProgramWindows(&form);
  records::TDataEntryDlg *entry = windows.data_entry_dlg;

  ui.QueueAnswer(ui::Answer::kNo);  // no carry-over
  entry->show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(entry));
  QApplication::processEvents();
  ui.ClearRecords();

  const Entry rows[] = {
      {false, 0, "7501010010", "Иван Петров", "", "", "3071", "100", "10"},
      {true, 2, "0000000000", "George Papas", "GR", "Athens, 1 Ermou", "401", "250.5", ""},
      {false, 4, "", "", "", "гр.София, ул.Витоша 1", "", "80", "0"},
      {false, 5, "", "", "", "", "", "12.30", "1.23"},
  };
  ui.QueueModal([&](QDialog *editor) {
    editor->show();
    for (const Entry &e : rows) Type(editor, e);
    editor->reject();
    return int(QDialog::Rejected);
  });
  entry->findChild<ui::TXbaseNavigator *>("XbaseNavigator1")
      ->ButtonAction(ui::TXbaseNavigateBtn::nbInsert);
  EXPECT_EQ(ui.MessageTexts(), QStringList(4, "Успешен запис !     "));
  EXPECT_EQ(entry->Table().RecordCount(), 4);
  EXPECT_EQ(entry->IncomeTotalText(), "442.80");
  EXPECT_EQ(entry->TaxTotalText(), "11.23");

  testing_support::TempDir target;
  const QString folder = QString::fromStdString(target.path());
  ui.ClearRecords();
  ui.QueueModal([](QDialog *persons) {
    persons->findChild<QLineEdit *>("Edit1")->setText("3");
    persons->findChild<QPushButton *>("OKBtn")->click();
    return persons->result();
  });
  ui.QueueAnswer(ui::Answer::kYes);
  ui.QueueFolder(folder);
  ui.QueueModal([](QDialog *) { return int(QDialog::Rejected); });  // Report2's output choice
  entry->findChild<QPushButton *>("BitBtn1")->click();
  EXPECT_EQ(entry->PersonsCount(), "3");
  EXPECT_EQ(ui.modals(), QStringList({"TTotalPersonsDlg", "ReportOutputDialog"}));
  ASSERT_EQ(ui.messages().size(), 2u) << ui.MessageTexts().join('|').toStdString();
  EXPECT_EQ(ui.messages()[0].text,
            "Потвърдете създаване на файл за ВЕСКОР     \nс 4 реда, за 3 лица получили доходи !");
  EXPECT_EQ(ui.messages()[1].text, "Файла [121212121.txt] се намира в [" + folder + "] ...");

  const QString copy = folder + "/121212121.txt";
  const agencyfile::CheckResult result = agencyfile::CheckAgencyFile(
      agencyfile::AgencySource::File(copy), agencyfile::DefaultCheckOptions());
  EXPECT_EQ(result.verdict, agencyfile::Verdict::kCorrect)
      << result.formal_faults.join('\n').toStdString()
      << result.logical_faults.join('\n').toStdString() << result.error.toStdString();
  EXPECT_EQ(agencyfile::VerdictBoxText(result.verdict), "Файлът е коректен !            ");
  entry->reject();
  xb::SetClockForTesting(std::nullopt);
}

}  // namespace
