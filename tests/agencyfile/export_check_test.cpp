// End to end: rows of every kind exported, and the file the export wrote
// accepted by the program's own checker.
#include <gtest/gtest.h>

#include "support/qt/qt_printers.h"

#include <QDir>
#include <QSet>

#include "agencyfile/agency_check.h"
#include "agencyfile/export_run.h"
#include "settings/payer_settings.h"
#include "shell/globals.h"
#include "shell/identifier_checks.h"
#include "support/common/temp_dir.h"
#include "ui/codepage.h"
#include "ui/scripted_ui_driver.h"
#include "xbase/create_dataset.h"
#include "xbase/xbase_dataset.h"

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

TEST(ExportCheck, ExportedFileOfEveryKindPassesTheChecker) {
  testing_support::TempDir dir;
  shell::InitAppPaths(QString::fromStdString(dir.File("vedil")));
  QDir().mkpath(shell::DataDir());
  shell::PayerRecord payer;
  payer[shell::kFiscalYear] = "2024";
  payer[shell::kOwnerNoType] = "ЕИК";
  payer[shell::kOwnerNo] = Valid("12121212", shell::CheckEIK);
  payer[shell::kOwnerName] = "Етажна собственост и лихви ООД";
  payer[shell::kOwnerAddr] = "бул.";
  payer[shell::kOwnerAddrName] = "Цар Освободител и някои други думи";
  payer[shell::kOwnerAddrNo] = "1234";
  payer[shell::kOwnerAddrEt] = "12";
  payer[shell::kStatus] = "StoppedTarget";
  settings::SavePayerRecord(payer);
  shell::PayerData = payer;

  xb::TXbaseDataSet table;
  table.SetDatabaseName(shell::DataDir().toStdString());
  table.SetTableName("dvel.dbf");
  table.TranslateASCII = false;
  xb::TCreateXbaseDataSet create;
  create.DBFTable = &table;
  create.DBFType = xb::TxbDBFTypes::DBaseIV;
  create.CreateFields = {"F01;C;5;0",  "F02;C;1;0", "F03;C;1;0",      "F04;C;13;0",
                         "F05;C;40;0", "F06;C;2;0", "F07;C;40;0",     "F08;C;13;0",
                         "F09;C;13;0", "F10;C;5;0", "DATETIME;C;20;0"};
  ASSERT_TRUE(create.CreateTable());
  if (!table.Active()) table.Open();

  const QString rows[][9] = {
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
  for (const auto &row : rows) {
    table.Append();
    const char *fields[] = {"F02", "F03", "F04", "F05", "F06", "F07", "F08", "F09", "F10"};
    for (int i = 0; i < 9; ++i)
      table.FieldByName(fields[i]).SetAsString(codepage::ToCp1251(row[i]));
    table.Post();
  }

  QString persons;
  DataEntryHost host;
  host.table = &table;
  host.persons_count = &persons;
  host.ask_persons_count = [&persons] {
    persons = "6";
    return true;
  };
  ui::ScriptedUiDriver ui;
  ui.QueueAnswer(ui::Answer::kYes);
  ExportAgencyFile(host);  // the folder choice is cancelled
  ASSERT_EQ(ui.messages().size(), 1u) << ui.MessageTexts().join("|").toStdString();

  CheckOptions options;
  options.current_year = 2024;
  options.countries = [](QSet<QString> *codes, QString *) {
    *codes = {"DE", "BG", "FR"};
    return true;
  };
  const CheckResult result =
      CheckAgencyFile(AgencySource::File(AgencyFilePath(payer[shell::kOwnerNo])), options);
  EXPECT_EQ(result.verdict, Verdict::kCorrect)
      << result.error.toStdString() << result.formal_faults.join("\n").toStdString()
      << result.logical_faults.join("\n").toStdString();
  EXPECT_EQ(VerdictBoxText(result.verdict).trimmed(), "Файлът е коректен !");
  EXPECT_EQ(result.formal.state, StageState::kPassed);
  EXPECT_EQ(result.logical.state, StageState::kPassed);
  EXPECT_TRUE(result.liquidation_flag);
  EXPECT_TRUE(result.successor_flag);
}

}  // namespace
}  // namespace agencyfile
