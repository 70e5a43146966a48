// The checker window: marks, lists, header data and verdict of one check,
// the code-page refusal, and the reset on every opening.
#include "agencyfile/check_file_dlg.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextDocument>

#include "agency_file_fixture.h"
#include "shell/app_paths.h"
#include "shell/window_flags.h"
#include "support/common/countries_table.h"
#include "support/common/temp_dir.h"
#include "ui/scripted_ui_driver.h"
#include "xbase/file/clock.h"

namespace agencyfile {
namespace {

using namespace agencyfile::testing;

class CheckFileDlgTest : public ::testing::Test {
 protected:
  CheckFileDlgTest() {
    shell::InitAppPaths(QString::fromStdString(dir_.File("vedil")));
    QDir(QString::fromStdString(dir_.path())).mkdir(QStringLiteral("data"));
    testing_support::WriteCountriesTable(dir_.File("data/Countries.dbf"), {"BG", "DE"});
    xb::SetClockForTesting(xb::LocalTime{2024, 6, 1});
  }
  ~CheckFileDlgTest() override {
    xb::SetClockForTesting(std::nullopt);
    shell::FileToCheck.clear();
  }

  void Open(const QByteArray &bytes) {
    const std::string path = dir_.File("check.txt");
    testing_support::WriteFileBytes(path, bytes.toStdString());
    shell::FileToCheck = QString::fromStdString(path);
    dlg_.show();
  }

  template <typename T>
  T *Find(const char *name) {
    T *widget = dlg_.findChild<T *>(QLatin1String(name));
    EXPECT_NE(widget, nullptr) << name;
    return widget;
  }
  QString Text(const char *name) { return Find<QLabel>(name)->text(); }
  QColor Colour(const char *name) {
    return Find<QLabel>(name)->palette().color(QPalette::WindowText);
  }
  void Press() { Find<QPushButton>("OKBtn")->click(); }

  testing_support::TempDir dir_;
  ui::ScriptedUiDriver ui_;
  TCheckFileDlg dlg_;
};

TEST_F(CheckFileDlgTest, ACorrectFileGetsFourGreenMarksAndTheHeaderData) {
  AgencyFileBuilder file;
  file.header.status = QStringLiteral("Stopped");
  Open(FileBytes(file.Add(Person()).Add(Foreigner()).Lines()));
  EXPECT_EQ(dlg_.windowTitle(), QStringLiteral(" Проверка на файл"));
  EXPECT_EQ(Text("StaticText1"), QLatin1Char(' ') + shell::FileToCheck + QStringLiteral("  "));
  Press();
  for (const char *mark : {"Label6", "Label2", "Label9", "Label13"}) {
    SCOPED_TRACE(mark);
    EXPECT_EQ(Text(mark), QStringLiteral("V"));
    EXPECT_EQ(Colour(mark), QColor(0, 128, 0));
  }
  EXPECT_EQ(Text("StaticText3"), QStringLiteral(" Фирма ООД "));
  EXPECT_EQ(Text("StaticText2"), QStringLiteral(" 2024  "));
  EXPECT_TRUE(Find<QCheckBox>("CheckBox1")->isChecked());
  EXPECT_FALSE(Find<QCheckBox>("CheckBox2")->isChecked());
  EXPECT_EQ(Text("Label3"), QStringLiteral("Файлът е коректен !"));
  EXPECT_FALSE(Find<QLabel>("Image2")->isVisible());
  ASSERT_EQ(ui_.messages().size(), 1u);
  EXPECT_EQ(ui_.messages()[0].caption, QStringLiteral("Информация"));
  EXPECT_EQ(ui_.messages()[0].text, QStringLiteral("Файлът е коректен !            "));
  EXPECT_EQ(ui_.messages()[0].icon, ui::Icon::kInformation);
  EXPECT_FALSE(Find<QPushButton>("OKBtn")->isEnabled());  // one check per opening
}

// The captions are rich text (for the red asterisk); their blanks must show
// as typed, the two in "Формат  на файла" included.
TEST_F(CheckFileDlgTest, StageCaptionsShowTheirBlanksAsTyped) {
  const std::pair<const char *, const char *> captions[] = {
      {"Label5", "* Формат  на файла"}, {"Label14", "Формален контрол"}};
  for (const auto &[name, shown] : captions) {
    SCOPED_TRACE(name);
    QTextDocument rendered;
    rendered.setHtml(Text(name));
    EXPECT_EQ(rendered.toPlainText(), QString::fromUtf8(shown));
  }
}

TEST_F(CheckFileDlgTest, AnIncorrectFileListsItsFaultsAndResetsOnTheNextOpening) {
  QStringList lines = AgencyFileBuilder().Add(Person()).Lines();
  Put(&lines, 2, 7, QStringLiteral("X"));
  Open(FileBytes(lines));
  Press();
  EXPECT_EQ(Text("Label9"), QStringLiteral("X"));
  EXPECT_EQ(Colour("Label9"), QColor(255, 0, 0));
  EXPECT_EQ(Text("Label13"), QString());
  EXPECT_EQ(Find<QPlainTextEdit>("Memo1")->toPlainText(),
            QStringLiteral("  00002   00001   03      Вид идентификатор може да е интервал, 0, 1, "
                           "2, 3 или 4"));
  EXPECT_EQ(Text("Label3"), QStringLiteral("Файлът е некоректен !"));
  EXPECT_TRUE(Find<QLabel>("Image2")->isVisible());
  ASSERT_EQ(ui_.messages().size(), 1u);
  EXPECT_EQ(ui_.messages()[0].caption, QStringLiteral("Внимание !"));
  EXPECT_EQ(ui_.messages()[0].text, QStringLiteral("Файлът е некоректен !          "));
  EXPECT_EQ(ui_.messages()[0].icon, ui::Icon::kWarning);

  dlg_.reject();
  EXPECT_FALSE(Find<QLabel>("Image2")->isVisible());
  dlg_.show();
  EXPECT_EQ(Text("Label9"), QString());
  EXPECT_EQ(Text("Label3"), QString());
  EXPECT_EQ(Text("StaticText3"), QString(20, QLatin1Char(' ')));
  EXPECT_EQ(Find<QPlainTextEdit>("Memo1")->toPlainText(), QString());
  EXPECT_TRUE(Find<QPushButton>("OKBtn")->isEnabled());
}

TEST_F(CheckFileDlgTest, ALengthFaultShowsItsMessageInRed) {
  QStringList lines = AgencyFileBuilder().Add(Person()).Lines();
  lines[1] += QStringLiteral(" ");
  Open(FileBytes(lines));
  EXPECT_EQ(Text("Label7"), QStringLiteral("  Проверка дължината на записите (вкл.интервалите)"));
  Press();
  EXPECT_EQ(Text("Label6"), QStringLiteral("X"));
  EXPECT_EQ(Text("Label7"), QStringLiteral("ред [2] е с [140] символа, а трябва да е с [139]"));
  EXPECT_EQ(Colour("Label7"), QColor(255, 0, 0));
  EXPECT_EQ(Text("Label2"), QString());
  EXPECT_EQ(
      Text("Label4"),
      QStringLiteral("  Проверка за последователни номера на записите: 00000,00001,00002 ..."));
}

// The check shows its advance with a cancel button; stopping it shows
// nothing and keeps the button for another try.
TEST_F(CheckFileDlgTest, StoppingTheCheckLeavesTheWindowForAnotherTry) {
  AgencyFileBuilder file;
  Open(FileBytes(file.Add(Person()).Add(Foreigner()).Lines()));
  ui_.CancelProgressAt(1);
  Press();
  ASSERT_EQ(ui_.progress().size(), 1u);
  EXPECT_EQ(ui_.progress()[0].caption, QStringLiteral(" Проверка на файл"));
  EXPECT_EQ(ui_.progress()[0].cancel, ui::Cancel::kAllowed);
  EXPECT_TRUE(ui_.progress()[0].cancelled);
  EXPECT_TRUE(ui_.progress()[0].closed);
  EXPECT_TRUE(ui_.messages().empty());
  for (const char *mark : {"Label6", "Label2", "Label9", "Label13", "Label3"}) {
    EXPECT_EQ(Text(mark), QString()) << mark;
  }
  EXPECT_TRUE(Find<QPushButton>("OKBtn")->isEnabled());

  Press();
  EXPECT_EQ(Text("Label3"), QStringLiteral("Файлът е коректен !"));
  EXPECT_FALSE(Find<QPushButton>("OKBtn")->isEnabled());
}

TEST_F(CheckFileDlgTest, AnotherCodePageStopsWithAnErrorBoxAndKeepsTheButton) {
  QByteArray dos(139, ' ');
  dos.replace(20, 5, "\x94\xa8\xe0\xac\xa0");
  Open(dos + "\r\n" + dos + "\r\n");
  Press();
  ASSERT_EQ(ui_.messages().size(), 1u);
  EXPECT_EQ(ui_.messages()[0].caption, QStringLiteral("Грешен формат на текстов файл"));
  EXPECT_EQ(ui_.messages()[0].text,
            QStringLiteral("Кирилицата във файла, не е с кодиране cp-1251!      "));
  EXPECT_EQ(ui_.messages()[0].icon, ui::Icon::kError);
  EXPECT_TRUE(Find<QLabel>("Image2")->isVisible());
  EXPECT_EQ(Text("Label6"), QString());
  EXPECT_EQ(Text("Label3"), QString());
  EXPECT_TRUE(Find<QPushButton>("OKBtn")->isEnabled());
}

}  // namespace
}  // namespace agencyfile
