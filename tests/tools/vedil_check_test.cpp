// vedil-check run as a program: its report, its exit status, and the
// countries table it takes from the data directory beside it, or from
// share/vedil/data when it is installed.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>

#include "agencyfile/agency_record.h"
#include "support/common/countries_table.h"
#include "support/common/temp_dir.h"
#include "ui/codepage.h"
#include "xbase/file/clock.h"

namespace {

using agencyfile::BuildDetailRecord;
using agencyfile::BuildHeaderRecord;
constexpr records::CurrencyUnits kLev = records::kUnitsPerLev;

struct ToolRun {
  int exit_code = -1;
  QString out;
};

// A copy of vedil-check in a fresh directory with data/Countries.dbf (BG and
// DE) beside it.
class VedilCheck : public ::testing::Test {
 protected:
  void SetUp() override {
    const QString program =
        QDir(QString::fromStdString(dir_.path())).filePath("vedil-check" VEDIL_EXE_SUFFIX);
    ASSERT_TRUE(QFile::copy(QStringLiteral(VEDIL_BINARY_DIR "/vedil-check" VEDIL_EXE_SUFFIX), program));
    program_ = program;
    ASSERT_TRUE(QDir(QString::fromStdString(dir_.path())).mkdir("data"));
    testing_support::WriteCountriesTable(dir_.File("data/Countries.dbf"), {"BG", "DE"});
  }

  ToolRun Check(const QString &file) {
    QProcess process;
    process.start(program_, {file});
    EXPECT_TRUE(process.waitForFinished(30000));
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput())};
  }

  QString Write(const char *name, const QByteArray &bytes) {
    const std::string path = dir_.File(name);
    testing_support::WriteFileBytes(path, bytes.toStdString());
    return QString::fromStdString(path);
  }

  // A header of the current year and one line per detail.
  QByteArray File(const QList<agencyfile::DetailValues> &details) {
    agencyfile::HeaderValues h;
    h.payer_id = QStringLiteral("121212121");
    h.payer_name = QStringLiteral("Фирма ООД");
    h.status = QStringLiteral("Target");
    h.tax_year = QString::number(xb::Now().year);
    QStringList lines;
    for (int i = 0; i < details.size(); ++i) {
      agencyfile::DetailValues d = details[i];
      d.record_number = i + 1;
      h.total_income += d.income;
      h.total_tax += d.tax;
      lines.append(BuildDetailRecord(d).text);
    }
    lines.prepend(BuildHeaderRecord(h).text);
    return QByteArray::fromStdString(codepage::ToCp1251(lines.join("\r\n") + "\r\n"));
  }

  static agencyfile::DetailValues Person(const char *code, const char *country = "",
                                         const char *foreign = "0") {
    agencyfile::DetailValues d;
    d.foreign_flag = QString::fromLatin1(foreign);
    d.id_kind = QStringLiteral("1");
    d.identifier = QStringLiteral("1000000012");
    d.names = QStringLiteral("Петър Петров");
    d.country = QString::fromLatin1(country);
    d.address = QStringLiteral("Berlin");
    d.income = 100 * kLev;
    d.income_code = QString::fromLatin1(code);
    return d;
  }

  testing_support::TempDir dir_;
  QString program_;
};

TEST_F(VedilCheck, CorrectFileExitsWithZero) {
  const QString path = Write("ok.txt", File({Person("401"), Person("402", "DE", "1")}));
  const ToolRun run = Check(path);
  EXPECT_EQ(run.exit_code, 0) << run.out.toStdString();
  const QString year = QString::number(xb::Now().year);
  EXPECT_EQ(run.out, QStringLiteral("Име на файл: ") + path +
                         QStringLiteral("\n"
                                        "Данни от заглавния ред\n"
                                        "  Фирма: Фирма ООД\n"
                                        "  Данъчна год.: ") +
                         year +
                         QStringLiteral("\n"
                                        "  [ ] Прекратяване с ликвидация или обявяване в "
                                        "несъстоятелност в срока по чл.162 от ЗКПО.\n"
                                        "  [X] Правоприемник при преобразуване/прехвърляне на "
                                        "предприятие.\n"
                                        "Дължина на запис: V\n"
                                        "Формат  на файла: V\n"
                                        "Формален контрол: V\n"
                                        "Логически контрол: V\n"
                                        "Файлът е коректен !\n"));
}

TEST_F(VedilCheck, IncorrectFileListsItsFaultsAndExitsWithOne) {
  // The country comes from the table beside the program: GR is not in it.
  const QString path =
      Write("bad.txt", File({Person("401"), Person("402", "GR", "1"), Person("401")}));
  const ToolRun run = Check(path);
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_TRUE(
      run.out.contains(QStringLiteral("Логически контрол: X\n"
                                      "Грешки при логическия контрол:\n"
                                      "  № ред   Запис   Поле    Текст грешка\n"
                                      "  00003   00002   06      Няма такъв код държава [GR].\n"
                                      "Файлът е некоректен !\n")))
      << run.out.toStdString();

  // Once the country is known, the repeated line is the fault.
  const ToolRun dup =
      Check(Write("dup.txt", File({Person("401"), Person("402", "DE", "1"), Person("401")})));
  EXPECT_EQ(dup.exit_code, 1);
  EXPECT_TRUE(dup.out.contains(QStringLiteral(
      "  00002   00001   04      идент.[1000000012] с код на дохода [401] е дублиран на 4 ред\n")))
      << dup.out.toStdString();
}

TEST_F(VedilCheck, StopsAtTheFirstSequenceFault) {
  QByteArray bytes = File({Person("401"), Person("402")});
  bytes.replace(141, 5, "00007");  // line 2's record number
  const ToolRun run = Check(Write("seq.txt", bytes));
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_TRUE(run.out.contains(QStringLiteral(
      "Дължина на запис: V\n"
      "Формат  на файла: X  Ред [2] е с неочакван последователен номер на записа [00007]\n"
      "Формален контрол: (не е извършен)\n")))
      << run.out.toStdString();
}

TEST_F(VedilCheck, FilesThatCannotBeCheckedExitWithTwo) {
  const ToolRun missing = Check(QString::fromStdString(dir_.File("none.txt")));
  EXPECT_EQ(missing.exit_code, 2);
  EXPECT_TRUE(missing.out.contains(QStringLiteral("Файлът не може да бъде проверен !")));

  // Letters in the DOS code page (128..175) on the first of two lines.
  QByteArray dos(139, ' ');
  dos.replace(20, 5, "\x94\xa8\xe0\xac\xa0");
  const ToolRun cp866 = Check(Write("dos.txt", dos + "\r\n" + dos + "\r\n"));
  EXPECT_EQ(cp866.exit_code, 2);
  EXPECT_TRUE(cp866.out.contains(QStringLiteral("Кирилицата във файла, не е с кодиране cp-1251!")));
  EXPECT_FALSE(cp866.out.contains(QStringLiteral("Дължина на запис")));

  // Without the countries table a foreign person cannot be checked.
  QFile::remove(QString::fromStdString(dir_.File("data/Countries.dbf")));
  const ToolRun no_table = Check(Write("foreign.txt", File({Person("402", "DE", "1")})));
  EXPECT_EQ(no_table.exit_code, 2);
  EXPECT_TRUE(no_table.out.contains(QStringLiteral("Таблицата с кодовете на държавите [")))
      << no_table.out.toStdString();
}

TEST_F(VedilCheck, AnInstalledCopyReadsTheInstalledCountriesTable) {
  // bin/ and share/vedil/data/ under a prefix; GR is only in the installed table.
  QDir prefix(QString::fromStdString(dir_.File("usr")));
  ASSERT_TRUE(prefix.mkpath("bin") && prefix.mkpath("share/vedil/data"));
  ASSERT_TRUE(QFile::copy(program_, prefix.filePath("bin/vedil-check" VEDIL_EXE_SUFFIX)));
  program_ = prefix.filePath("bin/vedil-check" VEDIL_EXE_SUFFIX);
  testing_support::WriteCountriesTable(dir_.File("usr/share/vedil/data/Countries.dbf"),
                                       {"BG", "GR"});
  const ToolRun run = Check(Write("gr.txt", File({Person("402", "GR", "1")})));
  EXPECT_EQ(run.exit_code, 0) << run.out.toStdString();
}

}  // namespace
