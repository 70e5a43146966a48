// Program paths, the amount format and the record editor's message table.
#include "shell/app_paths.h"
#include "shell/choose_directory.h"
#include "shell/display_texts.h"
#include "shell/editor_messages.h"
#include "shell/number_format.h"
#include "shell/payer_record.h"

#include <gtest/gtest.h>

#include "support/qt/qt_printers.h"

#include "ui/scripted_ui_driver.h"

namespace {

// An absolute folder of the platform: Windows names its drive.
#ifdef _WIN32
const QString kRoot = QStringLiteral("C:/");
#else
const QString kRoot = QStringLiteral("/");
#endif

TEST(Globals, FilesBesideTheProgram) {
  shell::InitAppPaths(kRoot + "opt/some dir/vedil.exe");
  EXPECT_EQ(shell::AppDir(), kRoot + "opt/some dir/");
  EXPECT_EQ(shell::ExeName(), QStringLiteral("vedil.exe"));
  EXPECT_EQ(shell::SettingsFilePath(), kRoot + "opt/some dir/vedil.ini");
  EXPECT_EQ(shell::HelpFilePath(), kRoot + "opt/some dir/vedil.html");
  EXPECT_EQ(shell::DataFile(shell::kIncomeTableName), kRoot + "opt/some dir/data/dvel.dbf");

  shell::InitAppPaths(kRoot + "usr/lib/vedil.d/vedil");
  EXPECT_EQ(shell::SettingsFilePath(), kRoot + "usr/lib/vedil.d/vedil.ini");
  EXPECT_EQ(shell::ChangeFileExt(QStringLiteral("a.b.c"), QStringLiteral(".ini")),
            QStringLiteral("a.b.ini"));
}

TEST(Globals, AmountsUseAPointWhateverTheLocale) {
  const QLocale saved;
  QLocale::setDefault(QLocale(QLocale::Bulgarian, QLocale::Bulgaria));
  EXPECT_EQ(shell::FormatFixed(1234.5, 2), QStringLiteral("1234.50"));
  EXPECT_EQ(shell::FormatFixed(-0.004, 2), QStringLiteral("-0.00"));
  double v = 0;
  EXPECT_TRUE(shell::TextToFloat(QStringLiteral(" 12.75 "), &v));
  EXPECT_DOUBLE_EQ(v, 12.75);
  EXPECT_FALSE(shell::TextToFloat(QStringLiteral("12,75"), &v));
  EXPECT_FALSE(shell::TextToFloat(QStringLiteral("1 000"), &v));
  EXPECT_FALSE(shell::TextToFloat(QStringLiteral("nan"), &v));
  EXPECT_EQ(shell::AppFormatSettings().decimal_separator, QLatin1Char('.'));
  EXPECT_EQ(shell::AppFormatSettings().currency_decimals, 2);
  QLocale::setDefault(saved);
}

TEST(Globals, MessageTable) {
  for (int n = 1; n <= shell::kMessageCount; ++n) {
    SCOPED_TRACE(n);
    EXPECT_TRUE(shell::MsgText(n).startsWith(QString::number(n) + QLatin1Char(' ')));
    EXPECT_EQ(shell::MsgKind(n), QLatin1Char('e'));
    EXPECT_GE(shell::MsgField(n), 1);
    EXPECT_LE(shell::MsgField(n), 8);
  }
  EXPECT_EQ(shell::MsgControlName(19), QStringLiteral("Edit7"));
  EXPECT_EQ(shell::MsgControlName(22), QStringLiteral("Edit3"));
  EXPECT_EQ(shell::MsgControlName(26), QStringLiteral("Edit8"));
  EXPECT_EQ(shell::MsgText(25),
            QStringLiteral(
                "25 Годишният размер на дохода за посочения код трябва да превишава 5000 лв."));
  EXPECT_EQ(shell::IdKindNames().size(), 6);
  EXPECT_EQ(shell::FieldCaptions().size(), 13);
  EXPECT_EQ(shell::FieldCaptions().at(6), QStringLiteral("Адрес в чужбина)"));
}

TEST(Globals, PayerKeysInIndexOrder) {
  EXPECT_STREQ(shell::kPayerKeys[shell::kOwnerName], "OwnerName");
  EXPECT_STREQ(shell::kPayerKeys[shell::kStatus], "Status");
  EXPECT_STREQ(shell::kPayerKeys[shell::kOwnerAddrBl8], "OwnerAddrBl8");
  EXPECT_STREQ(shell::kPayerKeys[shell::kAuthorizedPersonID], "AuthorizedPersonID");
}

TEST(Globals, ChooseDirectory) {
  ui::ScriptedUiDriver driver;
  driver.QueueFolder(QStringLiteral("/home/user/out"));
  EXPECT_EQ(shell::ChooseDirectory(nullptr), QStringLiteral("/home/user/out"));
  EXPECT_EQ(shell::ChooseDirectory(nullptr), QString());  // cancelled
  EXPECT_EQ(driver.folder_titles(), QStringList({QStringLiteral("Изберете директория"),
                                                 QStringLiteral("Изберете директория")}));
}

}  // namespace
