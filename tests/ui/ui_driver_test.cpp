// The scripted UI driver, the file copy into a folder, and the error box that
// an exception escaping an event handler ends in.
#include <gtest/gtest.h>

#include "support/qt/qt_printers.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <stdexcept>

#include "support/common/temp_dir.h"
#include "ui/file_copy.h"
#include "ui/scripted_ui_driver.h"

namespace {

using testing_support::ReadFileBytes;
using testing_support::TempDir;
using testing_support::WriteFileBytes;

QString Q(const std::string &s) { return QString::fromStdString(s); }

TEST(ScriptedUiDriver, AnswersFromTheScriptAndRecords) {
  ui::ScriptedUiDriver driver;
  driver.QueueAnswer(ui::Answer::kYes);
  EXPECT_EQ(
      ui::MessageBox(nullptr, "Изход", "Сигурни ли сте?", ui::Icon::kQuestion, ui::Buttons::kYesNo),
      ui::Answer::kYes);
  // An OK box takes no answer from the script.
  driver.QueueAnswer(ui::Answer::kCancel);
  EXPECT_EQ(ui::MessageBox(nullptr, "Информация", "Готово", ui::Icon::kInformation),
            ui::Answer::kOk);
  EXPECT_EQ(ui::MessageBox(nullptr, "Изход", "Има промени", ui::Icon::kQuestion,
                           ui::Buttons::kYesNoCancel),
            ui::Answer::kCancel);
  EXPECT_EQ(driver.unanswered(), 0);
  // Script exhausted: the escape answer, counted.
  EXPECT_EQ(ui::MessageBox(nullptr, "Изход", "?", ui::Icon::kQuestion, ui::Buttons::kYesNo),
            ui::Answer::kNo);
  EXPECT_EQ(driver.unanswered(), 1);

  ASSERT_EQ(driver.messages().size(), 4u);
  EXPECT_EQ(driver.messages()[0].caption, QStringLiteral("Изход"));
  EXPECT_EQ(driver.messages()[1].icon, ui::Icon::kInformation);
  EXPECT_EQ(driver.messages()[2].buttons, ui::Buttons::kYesNoCancel);
  EXPECT_EQ(driver.MessageTexts().at(1), QStringLiteral("Готово"));
}

TEST(ScriptedUiDriver, DialogsFoldersAndModals) {
  ui::ScriptedUiDriver driver;
  driver.QueueOpenFile({true, "/tmp/x.txt", "x.txt"});
  driver.QueueFolder("/tmp/out");
  ui::OpenFileRequest request;
  request.title = "Проверка на файл .TXT";
  EXPECT_EQ(ui::OpenFileDialog(request).path, QStringLiteral("/tmp/x.txt"));
  EXPECT_FALSE(ui::OpenFileDialog(request).accepted);  // nothing queued: cancel
  EXPECT_EQ(driver.open_file_requests().size(), 2u);
  EXPECT_EQ(ui::ChooseFolder(nullptr, "Изберете директория"), QStringLiteral("/tmp/out"));
  EXPECT_EQ(ui::ChooseFolder(nullptr, "Изберете директория"), QString());
  EXPECT_EQ(driver.folder_titles().size(), 2);

  QDialog dialog;
  dialog.setObjectName("TSomeDlg");
  auto *edit = new QLineEdit(&dialog);
  driver.QueueModal([edit](QDialog *d) {
    edit->setText("typed");
    d->accept();
    return d->result();
  });
  EXPECT_EQ(ui::ShowModal(&dialog), QDialog::Accepted);
  EXPECT_EQ(edit->text(), QStringLiteral("typed"));
  EXPECT_EQ(ui::ShowModal(&dialog), QDialog::Rejected);
  EXPECT_EQ(driver.modals(), QStringList({"TSomeDlg", "TSomeDlg"}));
}

TEST(FileCopy, ReplacesAFileOfTheSameNameAndReports) {
  TempDir dir;
  const std::string source = dir.File("src.txt");
  WriteFileBytes(source, std::string("new\r\n\xC4\xE0", 7));
  ASSERT_TRUE(QDir().mkdir(Q(dir.File("out"))));
  WriteFileBytes(dir.File("out/src.txt"), "old contents, longer than the new");

  ui::ScriptedUiDriver driver;
  EXPECT_TRUE(ui::CopyFileToFolder(Q(source), Q(dir.File("out"))));
  EXPECT_EQ(ReadFileBytes(dir.File("out/src.txt")), std::string("new\r\n\xC4\xE0", 7));
  // Copying a file onto itself keeps it.
  EXPECT_TRUE(ui::CopyFileIntoFolder(Q(source), Q(dir.path())));
  EXPECT_EQ(ReadFileBytes(source).size(), 7u);

  EXPECT_FALSE(ui::CopyFileIntoFolder(Q(dir.File("missing.txt")), Q(dir.File("out"))));
  EXPECT_FALSE(ui::CopyFileIntoFolder(Q(source), Q(dir.File("no-such-folder"))));
  driver.FailNextCopy();
  EXPECT_FALSE(ui::CopyFileToFolder(Q(source), Q(dir.File("out"))));
  ASSERT_EQ(driver.copies().size(), 2u);
  EXPECT_TRUE(driver.copies()[0].result);
  EXPECT_FALSE(driver.copies()[1].result);
  // No temporary file is left behind in the folder.
  EXPECT_EQ(QDir(Q(dir.File("out"))).entryList(QDir::Files), QStringList({"src.txt"}));
}

class ThrowingButton : public QPushButton {
 public:
  using QPushButton::QPushButton;
  int presses = 0;

 protected:
  void keyPressEvent(QKeyEvent *) override {
    ++presses;
    throw std::runtime_error("Error reading record 7 of file dvel.dbf");
  }
};

TEST(Application, AnErrorThrownByAHandlerIsShownAndTheProgramGoesOn) {
  ui::ScriptedUiDriver driver;
  ThrowingButton button;
  for (int i = 0; i < 2; ++i) {
    QKeyEvent key(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, "a");
    QApplication::sendEvent(&button, &key);
  }
  EXPECT_EQ(button.presses, 2);
  ASSERT_EQ(driver.messages().size(), 2u);
  EXPECT_EQ(driver.messages()[0].text, QStringLiteral("Error reading record 7 of file dvel.dbf"));
  EXPECT_EQ(driver.messages()[0].icon, ui::Icon::kError);
}

}  // namespace
