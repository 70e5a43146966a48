// The main window: its creation step on a fresh and on a prepared program
// directory, the caption, the commands and the pointer, the exit question,
// the file choice for the checker.
#include "app/main_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCursor>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>
#include <QTextBrowser>
#include <QToolButton>

#include "agencyfile/check_file_dlg.h"
#include "app/help_window.h"
#include "records/data_entry_dlg.h"
#include "settings/config_dlg.h"
#include "settings/payer_settings.h"
#include "shell/app_paths.h"
#include "shell/window_flags.h"
#include "support/common/temp_dir.h"
#include "support/qt/qt_printers.h"
#include "support/qt/valid_payer.h"
#include "ui/input.h"
#include "ui/scripted_ui_driver.h"
#include "ui/xbase_navigator.h"
#include "xbase/file/clock.h"

namespace {

using testing_support::ReadFileBytes;
using testing_support::WriteFileBytes;

const QString kExitQuestion = QStringLiteral("Сигурни ли сте, че искате да излезете ?  ");

using testing_support::ValidPayerRecord;

class MainWindowTest : public testing::Test {
 protected:
  MainWindowTest() {
    shell::InitAppPaths(QString::fromStdString(dir_.File("vedil")));
    xb::SetClockForTesting(xb::LocalTime{2020, 3, 1});
  }
  ~MainWindowTest() override {
    if (form_) {
      ui_.QueueAnswer(ui::Answer::kYes);
      form_->close();
    }
    xb::SetClockForTesting(std::nullopt);
  }
  void Create() {
    form_ = std::make_unique<app::TForm1>();
    windows_ = app::CreateProgramWindows(form_.get());
    form_->SetDataEntryDlg(&data_entry_);
    data_entry_.setObjectName("TDataEntryDlg");
    form_->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form_.get()));
  }
  QPushButton *Button(const char *name) { return form_->findChild<QPushButton *>(name); }
  QPoint Pointer() const { return form_->mapFromGlobal(QCursor::pos()); }

  testing_support::TempDir dir_;
  ui::ScriptedUiDriver ui_;
  QDialog data_entry_;
  std::unique_ptr<app::TForm1> form_;
  app::ProgramWindows windows_;
};

TEST_F(MainWindowTest, FreshStartWritesTheTemplateAndDisablesDataEntry) {
  Create();
  EXPECT_TRUE(QFileInfo::exists(QString::fromStdString(dir_.File("data/dvel.dbf"))));
  EXPECT_FALSE(form_->end_requested());
  const std::string ini = ReadFileBytes(dir_.File("vedil.ini"));
  EXPECT_EQ(std::count(ini.begin(), ini.end(), '\n'), 34);
  EXPECT_FALSE(Button("BitBtn1")->isEnabled());
  for (const char *name : {"BitBtn2", "BitBtn3", "BitBtn4"}) {
    EXPECT_TRUE(Button(name)->isEnabled()) << name;
  }
  EXPECT_EQ(form_->windowTitle(), QStringLiteral(" Справка по ОРВЕЛ  ver. 7.0 (2019)    "));
  EXPECT_EQ(form_->findChild<QLabel *>("Label3")->text(), QStringLiteral("ver. 7.0 (2019)"));
  EXPECT_EQ(Button("BitBtn2")->text(), QStringLiteral("Данни за платеца"));
  EXPECT_EQ(Button("BitBtn5")->toolTip(),
            QStringLiteral("Проверка на текстов файл (съгласно утвърден от ВЕСКОР формат) "
                           "създаден с друг продукт"));
  EXPECT_EQ(Button("BitBtn1")->geometry(), QRect(88, 96, 140, 44));
  EXPECT_TRUE(ui_.messages().empty());
}

TEST_F(MainWindowTest, ValidPayerDataEnableDataEntryAndNameTheCaption) {
  settings::WriteSettingsTemplate(shell::SettingsFilePath());
  settings::SavePayerRecord(ValidPayerRecord());
  Create();
  EXPECT_TRUE(Button("BitBtn1")->isEnabled());
  EXPECT_EQ(form_->windowTitle(),
            QStringLiteral(" Справка по ОРВЕЛ  ver. 7.0 (2019)    Фирма ООД"));

  Button("BitBtn1")->click();
  EXPECT_EQ(ui_.modals(), QStringList({"TDataEntryDlg"}));
  EXPECT_EQ(Pointer(), ui::CentreOf(Button("BitBtn3")) + QPoint(45, 0));
}

// The program's own data entry window, as the main window's start-up made
// it: its navigator opens the record editor, its two buttons start the export
// and the printing (which stop at once on an empty table).
TEST_F(MainWindowTest, DataEntryWindowIsWiredToTheEditorTheExportAndThePrinting) {
  settings::WriteSettingsTemplate(shell::SettingsFilePath());
  settings::SavePayerRecord(ValidPayerRecord());
  Create();
  records::TDataEntryDlg *entry = windows_.data_entry_dlg;
  ASSERT_NE(entry, nullptr);
  ui_.QueueAnswer(ui::Answer::kNo);  // no carry-over
  entry->show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(entry));
  QApplication::processEvents();
  ui_.ClearRecords();

  entry->findChild<QPushButton *>("BitBtn1")->click();
  entry->findChild<QToolButton *>("SpeedButton1")->click();
  ASSERT_EQ(ui_.messages().size(), 2u);
  EXPECT_EQ(ui_.messages()[0].caption, "файл за ВЕСКОР");
  EXPECT_EQ(ui_.messages()[1].caption, "Печат на справка за ВЕСКОР");
  for (const auto &m : ui_.messages()) EXPECT_EQ(m.text, "Няма въведени данни !    ");

  entry->findChild<ui::TXbaseNavigator *>("XbaseNavigator1")
      ->ButtonAction(ui::TXbaseNavigateBtn::nbInsert);
  EXPECT_EQ(ui_.modals(), QStringList({"TInsertEditDlg"}));
  EXPECT_TRUE(shell::InsertMode);
  shell::InsertMode = false;
  entry->reject();
}

TEST_F(MainWindowTest, SavingPayerDataEnablesDataEntryAndRenamesTheCaption) {
  Create();
  ui_.QueueModal([](QDialog *d) {
    d->show();
    settings::WriteSettingsTemplate(shell::SettingsFilePath());
    settings::SavePayerRecord(ValidPayerRecord());
    d->hide();
    d->show();  // activation reads the saved file into the controls
    d->findChild<QLineEdit *>("Edit2")->setText("Друго име");
    d->findChild<QPushButton *>("OKBtn")->click();
    return d->result();
  });
  Button("BitBtn2")->click();
  EXPECT_EQ(ui_.modals(), QStringList({"TConfigDlg"}));
  EXPECT_TRUE(ui_.messages().empty()) << ui_.MessageTexts().join('|').toStdString();
  EXPECT_TRUE(Button("BitBtn1")->isEnabled());
  EXPECT_EQ(form_->windowTitle(),
            QStringLiteral(" Справка по ОРВЕЛ  ver. 7.0 (2019)    Друго име"));
  EXPECT_EQ(Pointer(), ui::CentreOf(Button("BitBtn2")) + QPoint(45, 0));
}

TEST_F(MainWindowTest, EscAsksBeforeTheEndAndNoKeepsTheWindow) {
  Create();
  ui_.QueueAnswer(ui::Answer::kNo);
  QTest::keyClick(Button("BitBtn3"), Qt::Key_Escape);
  ui_.QueueAnswer(ui::Answer::kNo);
  Button("BitBtn3")->click();
  EXPECT_TRUE(form_->isVisible());
  ASSERT_EQ(ui_.MessageTexts(), QStringList({kExitQuestion, kExitQuestion}));
  EXPECT_EQ(ui_.messages()[0].caption, QStringLiteral("Изход"));
  EXPECT_EQ(ui_.messages()[0].buttons, ui::Buttons::kYesNo);
  // On the version label, at its stated place.
  auto *label3 = form_->findChild<QLabel *>("Label3");
  EXPECT_EQ(label3->pos(), QPoint(454, 376));
  EXPECT_EQ(Pointer(), QPoint(454, 376 + label3->height() / 2 - 5));
  EXPECT_EQ(form_->findChild<QLabel *>("Label1")->pos(), QPoint(398, 631));

  ui_.QueueAnswer(ui::Answer::kYes);
  form_->close();
  EXPECT_FALSE(form_->isVisible());
  form_.reset();
}

TEST_F(MainWindowTest, PickFileToCheck) {
  Create();
  ui_.QueueOpenFile({false, QString(), "abc"});
  EXPECT_EQ(form_->PickFileToCheck("txt"), QString());
  ASSERT_EQ(ui_.open_file_requests().size(), 1u);
  const ui::OpenFileRequest &r = ui_.open_file_requests()[0];
  EXPECT_EQ(r.title, QStringLiteral("Проверка на файл .TXT"));
  EXPECT_EQ(r.filter_description, QStringLiteral("Text files (*.txt)"));
  EXPECT_EQ(r.filter_pattern, QStringLiteral("*.TXT"));
  EXPECT_TRUE(r.must_exist);
  ASSERT_EQ(ui_.messages().size(), 1u);
  EXPECT_EQ(ui_.messages()[0].caption, QStringLiteral("Проверка на файл"));
  EXPECT_EQ(ui_.messages()[0].text, QStringLiteral("Отказ ...abc"));
  EXPECT_EQ(ui_.messages()[0].icon, ui::Icon::kInformation);

  ui_.QueueOpenFile({true, "/some/file.TXT", "file.TXT"});
  EXPECT_EQ(form_->PickFileToCheck("txt"), QStringLiteral("/some/file.TXT"));
  QCoreApplication::processEvents();  // the queued key strokes land harmlessly
}

TEST_F(MainWindowTest, CheckCommandStoresTheFileAndOpensTheChecker) {
  Create();
  ASSERT_NE(windows_.check_file_dlg, nullptr);
  EXPECT_EQ(windows_.check_file_dlg->parent(), form_.get());
  ASSERT_TRUE(Button("BitBtn5")->isEnabled());
  form_->SetCheckFileDlg(nullptr);
  EXPECT_FALSE(Button("BitBtn5")->isEnabled());  // no checker window
  QDialog checker;
  checker.setObjectName("TCheckFileDlg");
  form_->SetCheckFileDlg(&checker);
  ASSERT_TRUE(Button("BitBtn5")->isEnabled());
  ui_.QueueOpenFile({true, "/a/b.txt", "b.txt"});
  Button("BitBtn5")->click();
  EXPECT_EQ(shell::FileToCheck, QStringLiteral("/a/b.txt"));
  EXPECT_EQ(ui_.modals(), QStringList({"TCheckFileDlg"}));
  Button("BitBtn5")->click();  // cancelled: no checker
  EXPECT_EQ(shell::FileToCheck, QString());
  EXPECT_EQ(ui_.modals().size(), 1);
  EXPECT_EQ(Pointer(), ui::CentreOf(Button("BitBtn5")) + QPoint(45, 0));
  form_->SetCheckFileDlg(nullptr);
}

TEST_F(MainWindowTest, HelpOpensTheShippedFileWithoutWaitingAndNamesTheHome) {
  WriteFileBytes(dir_.File("vedil.html"), "<html><body><h1>Помощ за програмата</h1></body></html>");
  Create();
  Button("BitBtn4")->click();
  ASSERT_NE(form_->help_window(), nullptr);
  EXPECT_TRUE(form_->help_window()->isVisible());
  EXPECT_TRUE(form_->help_window()->browser()->toPlainText().contains("Помощ за програмата"));
  // The folder to back up, as the user would type it.
  const auto *home = form_->help_window()->findChild<QLabel *>("HomeFolderLabel");
  ASSERT_NE(home, nullptr);
  EXPECT_TRUE(home->isVisible());
  const QString folder = QDir::toNativeSeparators(QString::fromStdString(dir_.path()) + "/");
  EXPECT_TRUE(home->text().contains("\n" + folder + "\n")) << home->text().toStdString();
  EXPECT_TRUE(ui_.modals().isEmpty());
  // Closing the program closes the help window too.
  ui_.QueueAnswer(ui::Answer::kYes);
  form_->close();
  EXPECT_FALSE(form_->help_window()->isVisible());
  form_.reset();
}

TEST_F(MainWindowTest, ShippedHelpFileIsThere) {
  const QString shipped = QStringLiteral(VEDIL_SOURCE_DIR "/data/vedil.html");
  app::HelpWindow help;
  help.Open(shipped);
  EXPECT_TRUE(help.browser()->toPlainText().contains("Данни за платеца"));
  help.close();
}

TEST_F(MainWindowTest, DoubleClickOnTheTitleShowsTheCreditLine) {
  Create();
  auto *label6 = form_->findChild<QLabel *>("Label6");
  QTest::mouseDClick(label6, Qt::LeftButton);
  ASSERT_EQ(ui_.messages().size(), 1u);
  EXPECT_EQ(ui_.messages()[0].caption, QStringLiteral("ОРВЕЛ"));
  EXPECT_EQ(ui_.messages()[0].icon, ui::Icon::kInformation);
}

TEST_F(MainWindowTest, ASettingsFileThatCannotBeWrittenIsReported) {
  // The program "directory" is a plain file: nothing can be written below it.
  WriteFileBytes(dir_.File("file"), "");
  shell::InitAppPaths(QString::fromStdString(dir_.File("file/vedil")));
  Create();
  EXPECT_FALSE(Button("BitBtn1")->isEnabled());
  ASSERT_EQ(ui_.messages().size(), 1u);
  EXPECT_EQ(ui_.messages()[0].icon, ui::Icon::kError);
  EXPECT_TRUE(ui_.messages()[0].text.contains(QString::fromStdString(dir_.File("file/vedil.ini"))))
      << ui_.messages()[0].text.toStdString();
}

TEST_F(MainWindowTest, AnUnreadableIncomeTableIsShownAndEndsTheProgram) {
  ASSERT_TRUE(QDir().mkpath(QString::fromStdString(dir_.File("data"))));
  WriteFileBytes(dir_.File("data/dvel.dbf"), "not a table");
  form_ = std::make_unique<app::TForm1>();
  EXPECT_TRUE(form_->end_requested());
  ASSERT_FALSE(ui_.messages().empty());
  EXPECT_EQ(ui_.messages()[0].icon, ui::Icon::kError);
  form_.reset();  // never shown, so nothing to ask
}

}  // namespace
