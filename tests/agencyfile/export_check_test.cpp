// End to end: rows of every kind exported, and the file the export wrote
// accepted by the program's own checker.
#include <gtest/gtest.h>

#include "support/qt/qt_printers.h"

#include <QDir>
#include <QSet>
#include <array>

#include "agencyfile/agency_check.h"
#include "agencyfile/export_run.h"
#include "settings/payer_settings.h"
#include "shell/app_paths.h"
#include "shell/identifier_checks.h"
#include "shell/payer_record.h"
#include "support/common/temp_dir.h"
#include "ui/codepage.h"
#include "ui/scripted_ui_driver.h"
#include "xbase/dataset/create_dataset.h"
#include "xbase/dataset/xbase_dataset.h"

namespace agencyfile {
namespace {

// The first identifier made of prefix and one more digit that check accepts.
QString Valid(const QString &prefix, bool (*check)(const QString &)) {
  for (int digit = 0; digit <= 9; ++digit) {
    const QString candidate = prefix + QString::number(digit);
    if (check(candidate)) return candidate;
  }
  ADD_FAILURE() << "no valid identifier after " << prefix.toStdString();
  return {};
}

// The program in a temp dir with a payer and an empty income table; rows are
// added, exported (the folder choice cancelled) and the file checked.
class ExportCheck : public ::testing::Test {
 protected:
  void SetUp() override {
    shell::InitAppPaths(QString::fromStdString(dir_.File("vedil")));
    QDir().mkpath(shell::DataDir());
    payer_[shell::kFiscalYear] = "2024";
    payer_[shell::kOwnerNoType] = "ЕИК";
    payer_[shell::kOwnerNo] = Valid("12121212", shell::CheckEIK);
    payer_[shell::kOwnerName] = "Етажна собственост и лихви ООД";
    payer_[shell::kOwnerAddr] = "бул.";
    payer_[shell::kOwnerAddrName] = "Цар Освободител и някои други думи";
    payer_[shell::kOwnerAddrNo] = "1234";
    payer_[shell::kOwnerAddrEt] = "12";
    payer_[shell::kStatus] = "StoppedTarget";
    settings::SavePayerRecord(payer_);
    shell::PayerData = payer_;

    table_.SetDatabaseName(shell::DataDir().toStdString());
    table_.SetTableName("dvel.dbf");
    table_.TranslateASCII = false;
    xb::TCreateXbaseDataSet create;
    create.DBFTable = &table_;
    create.DBFType = xb::TxbDBFTypes::DBaseIV;
    create.CreateFields = {"F01;C;5;0",  "F02;C;1;0", "F03;C;1;0",      "F04;C;13;0",
                           "F05;C;40;0", "F06;C;2;0", "F07;C;40;0",     "F08;C;13;0",
                           "F09;C;13;0", "F10;C;5;0", "DATETIME;C;20;0"};
    ASSERT_TRUE(create.CreateTable());
    if (!table_.Active()) table_.Open();
  }

  // F02..F10 of one row.
  void Add(const std::array<QString, 9> &row) {
    table_.Append();
    const char *fields[] = {"F02", "F03", "F04", "F05", "F06", "F07", "F08", "F09", "F10"};
    for (int i = 0; i < 9; ++i)
      table_.FieldByName(fields[i]).SetAsString(codepage::ToCp1251(row[i]));
    table_.Post();
  }

  // Exports the rows and checks the file the export wrote.
  CheckResult ExportAndCheck() {
    QString persons;
    DataEntryHost host;
    host.table = &table_;
    host.persons_count = &persons;
    host.ask_persons_count = [&persons] {
      persons = "1";
      return true;
    };
    ui::ScriptedUiDriver ui;
    ui.QueueAnswer(ui::Answer::kYes);
    ExportAgencyFile(host);  // the folder choice is cancelled
    EXPECT_EQ(ui.messages().size(), 1u) << ui.MessageTexts().join("|").toStdString();

    CheckOptions options;
    options.current_year = 2024;
    options.countries = [](QSet<QString> *codes, QString *) {
      *codes = {"DE", "BG", "FR"};
      return true;
    };
    return CheckAgencyFile(AgencySource::File(FilePath()), options);
  }

  QString FilePath() const { return AgencyFilePath(payer_[shell::kOwnerNo]); }

  testing_support::TempDir dir_;
  shell::PayerRecord payer_;
  xb::TXbaseDataSet table_;
};

std::string Faults(const CheckResult &result) {
  return (result.error + result.formal_faults.join("\n") + result.logical_faults.join("\n"))
      .toStdString();
}

TEST_F(ExportCheck, ExportedFileOfEveryKindPassesTheChecker) {
  const std::array<QString, 9> rows[] = {
      {"0", "0", Valid("750101000", shell::CheckEGN), "Иван Петров Иванов", "", "", "1200.00",
       "120.00", "401"},
      {"0", "1", Valid("100000000", shell::CheckLNCh), "Джон Смит", "", "", "300.50", "0.00",
       "501"},
      {"1", "2", Valid("000000012", shell::CheckServiceNo), "Hans Mueller", "DE",
       "Berlin, Hauptstrasse 1", "5000.00", "500.00", "601"},
      {"1", "2", "0000000000", "Anna Schmidt", "DE", "Hamburg 5", "10.00", "1.00", "302"},
      {"0", "3", Valid("13131313", shell::CheckEIK), "Самоосигуряващ се", "", "", "800.00", "80.00",
       "3071"},
      {"0", "4", "", "", "BG", "София, ул.Шипка 3", "2500.00", "0.00", "820"},
      {"0", "4", "", "", "", "", "45.10", "4.51", "821"},
  };
  for (const auto &row : rows) Add(row);
  const CheckResult result = ExportAndCheck();
  EXPECT_EQ(result.verdict, Verdict::kCorrect) << Faults(result);
  EXPECT_EQ(VerdictBoxText(result.verdict).trimmed(), "Файлът е коректен !");
  EXPECT_EQ(result.formal.state, StageState::kPassed);
  EXPECT_EQ(result.logical.state, StageState::kPassed);
  EXPECT_TRUE(result.liquidation_flag);
  EXPECT_TRUE(result.successor_flag);
}

// Another product stored amounts with three decimals. Each detail record
// rounds its own amount; the header must carry the sum of what the details
// say (0.01 + 0.01 + 1.02), not the rounded sum of the stored values (1.03),
// or the program's own checker refuses the program's own file.
TEST_F(ExportCheck, HeaderTotalsAreTheSumOfTheAmountsAsWritten) {
  const char *incomes[] = {"0.005", "0.005", "1.015"};
  for (int i = 0; i < 3; ++i) {
    Add({"0", "0", Valid(QStringLiteral("75010100%1").arg(i), shell::CheckEGN), "Иван Петров", "",
         "", incomes[i], "0.005", "401"});
  }
  const CheckResult result = ExportAndCheck();
  EXPECT_EQ(result.verdict, Verdict::kCorrect) << Faults(result);
  const QByteArray header = QByteArray::fromStdString(
      testing_support::ReadFileBytes(FilePath().toStdString()).substr(102, 26));
  EXPECT_EQ(header, "         1.04         0.03");
}

}  // namespace
}  // namespace agencyfile
