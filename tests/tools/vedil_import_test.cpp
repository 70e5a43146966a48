// vedil-import run as a program: its exit status for a clean file, a file
// with rejected lines and a file it cannot read; --dry-run writes nothing,
// --replace keeps a copy of the old table, --export writes the rows back.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>

#include "records/income_table.h"
#include "shell/app_paths.h"
#include "support/common/temp_dir.h"

namespace {

struct ToolRun {
  int exit_code = -1;
  QString out;
};

// A home with the shipped reference tables and an empty dvel.dbf in data/.
class VedilImport : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(QDir().mkpath(Data()));
    for (const char *name : {"Countries.dbf", "Countries.cdx", "Incomes.dbf"})
      ASSERT_TRUE(
          QFile::copy(QStringLiteral(VEDIL_BINARY_DIR "/data/") + name, Data() + "/" + name));
    shell::InitAppPaths(QString::fromStdString(dir_.File("vedil")));
    ASSERT_TRUE(records::PrepareIncomeTable(nullptr));
  }

  QString Data() const { return QString::fromStdString(dir_.File("data")); }

  ToolRun Run(const QStringList &args) {
    QProcess process;
    process.start(QStringLiteral(VEDIL_BINARY_DIR "/vedil-import"), args);
    EXPECT_TRUE(process.waitForFinished(60000));
    return {process.exitCode(),
            QString::fromUtf8(process.readAllStandardOutput() + process.readAllStandardError())};
  }

  QString Write(const char *name, const QByteArray &bytes) {
    const std::string path = dir_.File(name);
    testing_support::WriteFileBytes(path, bytes.toStdString());
    return QString::fromStdString(path);
  }

  testing_support::TempDir dir_;
};

constexpr char kGood[] =
    "ЧФЛ;Вид;Идентификатор;Имена;Доход;Данък;Код\n"
    "0;0;7501010010;Иван Петров;100,50;10;401\n";
constexpr char kMixed[] =
    "0;0;7501010010;Иван Петров;;;100;10;301\n"
    "0;0;7501010011;Грешен ЕГН;;;100;10;301\n";

TEST_F(VedilImport, ExitStatusFollowsTheVerdictsAndDryRunWritesNothing) {
  const QString good = Write("good.csv", kGood);
  const QString mixed = Write("mixed.csv", kMixed);
  const QString rows_csv = QString::fromStdString(dir_.File("rows.csv"));

  ToolRun run = Run({"--dry-run", Data(), mixed});
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_TRUE(run.out.contains("ред 2: 4 Невалиден ЕГН")) << run.out.toStdString();
  EXPECT_TRUE(run.out.contains("приети 1, отхвърлени 1, записани 0")) << run.out.toStdString();

  run = Run({Data(), good});
  EXPECT_EQ(run.exit_code, 0) << run.out.toStdString();
  EXPECT_TRUE(run.out.contains("записани 1")) << run.out.toStdString();
  // The same person and code again is a duplicate of row 1.
  run = Run({Data(), good});
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_TRUE(run.out.contains("Имате въведен ред (1)")) << run.out.toStdString();

  run = Run({"--replace", Data(), mixed});
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_TRUE(run.out.contains("Копие на старата таблица: ")) << run.out.toStdString();

  EXPECT_EQ(Run({"--export", Data(), rows_csv}).exit_code, 0);
  QFile exported(rows_csv);
  ASSERT_TRUE(exported.open(QIODevice::ReadOnly));
  const QByteArray bytes = exported.readAll();
  EXPECT_TRUE(bytes.contains("0;0;7501010010;Иван Петров;;;\"100,00\";\"10,00\";301\r\n"))
      << bytes.toStdString();

  EXPECT_EQ(Run({Data(), QString::fromStdString(dir_.File("missing.csv"))}).exit_code, 2);
  EXPECT_EQ(Run({Data(), Write("binary.csv", QByteArray("\x01\x00\x02", 3))}).exit_code, 2);
  EXPECT_EQ(Run({Data()}).exit_code, 2);
}

}  // namespace
