// The settings file: profile-file semantics, the template, the atomic write,
// the getters and the composed street address.
#include <gtest/gtest.h>

#include "support/qt/qt_printers.h"

#include <QDir>

#include "settings/payer_settings.h"
#include "settings/settings_file.h"
#include "shell/app_paths.h"
#include "shell/payer_record.h"
#include "support/common/temp_dir.h"

namespace {

using testing_support::ReadFileBytes;
using testing_support::TempDir;
using testing_support::WriteFileBytes;

QString Q(const std::string &s) { return QString::fromStdString(s); }

// The program pointed at a temp dir, so its settings file is dir/vedil.ini.
struct ProgramDir {
  TempDir dir;
  ProgramDir() { shell::InitAppPaths(Q(dir.File("vedil"))); }
  std::string ini() const { return dir.File("vedil.ini"); }
};

TEST(SettingsFile, TemplateIsExactly34LinesWithCrLf) {
  ProgramDir p;
  settings::WriteSettingsTemplate(Q(p.ini()));
  const std::string bytes = ReadFileBytes(p.ini());
  const std::string head = "[Year]\r\nFiscalYear=\r\n[Owner]\r\nOwnerNo=\r\nOwnerNoType=\r\n";
  const std::string tail = "[AuthorizedPerson]\r\nAuthorizedPersonName=\r\nAuthorizedPersonID=\r\n";
  EXPECT_EQ(bytes.substr(0, head.size()), head);
  ASSERT_GT(bytes.size(), tail.size());
  EXPECT_EQ(bytes.substr(bytes.size() - tail.size()), tail);
  size_t lines = 0;
  for (size_t i = 0; i + 1 < bytes.size(); ++i) lines += bytes[i] == '\r' && bytes[i + 1] == '\n';
  EXPECT_EQ(lines, 34u);
  EXPECT_EQ(bytes.find('\n', 0), 7u);
  // Replaces whatever was there.
  WriteFileBytes(p.ini(), "junk");
  settings::WriteSettingsTemplate(Q(p.ini()));
  EXPECT_EQ(ReadFileBytes(p.ini()), bytes);
}

TEST(SettingsFile, ReadingIgnoresCaseTrimsAndUnquotes) {
  TempDir dir;
  // LF-only lines, blanks around everything, 1251 text.
  WriteFileBytes(dir.File("a.ini"),
                 "  [owner]  \n"
                 "ownername =   \xC0\xE1\xE2 \xC5\xCE\xCE\xC4   \n"
                 "OwnerPhone=\"  02 123 \"\n"
                 "OwnerEMail=\"half\n"
                 "OwnerNo\n"
                 "OwnerName=second wins not\n"
                 "[Year]\n"
                 "FiscalYear=2018\n");
  settings::SettingsFile file(Q(dir.File("a.ini")));
  EXPECT_EQ(file.ReadString("OWNER", "OwnerName"), QStringLiteral("Абв ЕООД"));
  EXPECT_EQ(file.ReadString("Owner", "OwnerPhone"), QStringLiteral("  02 123 "));
  EXPECT_EQ(file.ReadString("Owner", "OwnerEMail"), QStringLiteral("\"half"));
  EXPECT_EQ(file.ReadString("Owner", "OwnerNo"), QString());
  EXPECT_EQ(file.ReadString("Owner", "Missing"), QString());
  EXPECT_EQ(file.ReadString("Missing", "OwnerName"), QString());
  EXPECT_EQ(file.ReadString("year", "fiscalyear"), QStringLiteral("2018"));
  // A missing file reads as empty.
  EXPECT_EQ(settings::SettingsFile(Q(dir.File("none.ini"))).ReadString("Year", "FiscalYear"),
            QString());
}

TEST(SettingsFile, WritingReplacesInPlaceAndAddsAtTheEndOfTheSection) {
  TempDir dir;
  WriteFileBytes(dir.File("a.ini"),
                 "[Year]\r\nFiscalYear=2017\r\n\r\n[Owner]\r\nOwnerNo=1\r\nOwnerName=x\r\n");
  settings::SettingsFile file(Q(dir.File("a.ini")));
  file.WriteString("year", "FISCALYEAR", "2018");
  file.WriteString("Year", "Extra", "Я");
  file.WriteString("Owner", "OwnerName", "Нов\r\n[Year]");
  file.WriteString("AuthorizedPerson", "AuthorizedPersonID", "0000000000");
  file.Save();
  EXPECT_EQ(ReadFileBytes(dir.File("a.ini")),
            "[Year]\r\nFISCALYEAR=2018\r\nExtra=\xDF\r\n\r\n[Owner]\r\nOwnerNo=1\r\n"
            "OwnerName=\xCD\xEE\xE2  [Year]\r\n"
            "[AuthorizedPerson]\r\nAuthorizedPersonID=0000000000\r\n");
}

// Reading drops one pair of quotes around a value, so a value in quotes
// lost them on its way through the file.
TEST(SettingsFile, AValueInQuotesKeepsItsQuotesWhenSavedAndReadBack) {
  static const struct {
    const char *value;
    const char *line;  // as written, in code page 1251
    const char *read;
  } kCases[] = {
      {"\"Агро-2000\"", "OwnerName=\"\"\xC0\xE3\xF0\xEE-2000\"\"\r\n", "\"Агро-2000\""},
      {" \"Агро\"  ", "OwnerName=\"\"\xC0\xE3\xF0\xEE\"\"\r\n", "\"Агро\""},
      {"\"\"", "OwnerName=\"\"\"\"\r\n", "\"\""},
      {"\" x", "OwnerName=\" x\r\n", "\" x"},
      {"\"", "OwnerName=\"\r\n", "\""},
      {"ЕТ \"Агро\"", "OwnerName=\xC5\xD2 \"\xC0\xE3\xF0\xEE\"\r\n", "ЕТ \"Агро\""},
      {"  02 123 ", "OwnerName=  02 123 \r\n", "02 123"},
  };
  for (const auto &c : kCases) {
    SCOPED_TRACE(c.value);
    TempDir dir;
    settings::SettingsFile file(Q(dir.File("a.ini")));
    file.WriteString("Owner", "OwnerName", QString::fromUtf8(c.value));
    file.Save();
    EXPECT_EQ(ReadFileBytes(dir.File("a.ini")), std::string("[Owner]\r\n") + c.line);
    EXPECT_EQ(settings::SettingsFile(Q(dir.File("a.ini"))).ReadString("Owner", "OwnerName"),
              QString::fromUtf8(c.read));
  }
}

TEST(SettingsFile, AFileThatCannotBeWrittenIsNamedAndTheOldOneKept) {
  TempDir dir;
  WriteFileBytes(dir.File("a.ini"), "[Year]\r\nFiscalYear=2017\r\n");
  settings::SettingsFile file(Q(dir.File("a.ini")));
  file.WriteString("Year", "FiscalYear", "2018");
  // A directory where the file should be stands for any refused write.
  const std::string blocked = dir.File("blocked/vedil.ini");
  ASSERT_TRUE(QDir().mkpath(Q(blocked)));
  try {
    settings::WriteLinesAtomically(Q(blocked), {"[Year]"});
    FAIL() << "no error";
  } catch (const settings::SettingsWriteError &e) {
    EXPECT_NE(std::string(e.what()).find(blocked), std::string::npos) << e.what();
  }
  EXPECT_THROW(settings::WriteSettingsTemplate(Q(dir.File("no/such/dir/vedil.ini"))),
               settings::SettingsWriteError);
  EXPECT_EQ(ReadFileBytes(dir.File("a.ini")), "[Year]\r\nFiscalYear=2017\r\n");
}

TEST(PayerSettings, GettersAndComposedAddress) {
  ProgramDir p;
  settings::WriteSettingsTemplate(Q(p.ini()));
  settings::SettingsFile file = settings::OpenSettingsFile();
  const struct {
    const char *key, *value;
  } kValues[] = {
      {"OwnerAddr", "ул."},      {"OwnerAddrName", "Витоша"}, {"OwnerAddrNo", "15"},
      {"OwnerAddrEt", "3"},      {"OwnerAddr8", "ж.к."},      {"OwnerAddrName8", "Люлин"},
      {"OwnerAddrBl8", "бл."},   {"OwnerAddrNo8", "12"},      {"OwnerAddrVh8", "А"},
      {"OwnerName", "Фирма   "},
  };
  for (const auto &v : kValues) file.WriteString("Owner", v.key, QString::fromUtf8(v.value));
  file.Save();

  EXPECT_EQ(settings::GetOwnerAddrBl(), QStringLiteral("№"));
  EXPECT_EQ(settings::GetOwnerAddrBl("8"), QStringLiteral("бл.№"));
  EXPECT_EQ(settings::ComposeAddress(), QStringLiteral("ул.Витоша №15 ет.3"));
  EXPECT_EQ(settings::ComposeAddress("8"), QStringLiteral("ж.к.Люлин бл.№12 вх.А"));
  EXPECT_EQ(settings::GetOwnerName(), QStringLiteral("Фирма"));
  EXPECT_EQ(settings::GetFiscalYear(), QString());

  settings::SettingsFile again = settings::OpenSettingsFile();
  again.WriteString("Owner", "OwnerAddrName", QString(300, QLatin1Char('x')));
  again.Save();
  EXPECT_EQ(settings::GetOwnerAddrName().size(), 255);
  EXPECT_EQ(settings::ComposeAddress().size(), 255);
}

TEST(PayerSettings, SavedRecordKeepsTheTemplateOrderAndLoadsBack) {
  ProgramDir p;
  settings::WriteSettingsTemplate(Q(p.ini()));
  shell::PayerRecord values;
  for (int i = 0; i < shell::kPayerValueCount; ++i) values[i] = QStringLiteral("в%1").arg(i);
  settings::SavePayerRecord(values);

  const QString text = QString::fromLatin1(QByteArray::fromStdString(ReadFileBytes(p.ini())));
  const QStringList lines = text.split("\r\n", Qt::SkipEmptyParts);
  ASSERT_EQ(lines.size(), 34);
  for (int i = 0; i < 34; ++i) {
    const QString key = settings::SettingsTemplateLines()[i].section('=', 0, 0);
    EXPECT_TRUE(lines[i].startsWith(key)) << i;
  }
  EXPECT_EQ(lines[5], QString::fromLatin1("OwnerName=\xE2"
                                          "3"));  // 1251 "в"

  shell::PayerData[0] = "stale";
  settings::LoadPayerData();
  EXPECT_EQ(shell::PayerData, values);
}

}  // namespace
