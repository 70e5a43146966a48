// The export and the printing run against a real income table: the file
// byte for byte, the numbering, the stops, the copy and the reports.
#include "agencyfile/export_run.h"

#include <gtest/gtest.h>

#include "support/qt/qt_printers.h"

#include <QDir>
#include <QFile>
#include <algorithm>

#include "agencyfile/report_printing.h"
#include "settings/payer_settings.h"
#include "shell/globals.h"
#include "support/common/temp_dir.h"
#include "ui/codepage.h"
#include "ui/report_output.h"
#include "ui/scripted_ui_driver.h"
#include "xbase/create_dataset.h"
#include "xbase/dbf_table.h"
#include "xbase/xbase_dataset.h"

namespace agencyfile {
namespace {

using testing_support::ReadFileBytes;
using testing_support::TempDir;
using testing_support::WriteFileBytes;

struct Row {
  const char *foreign, *kind, *id, *names, *country, *address, *income, *tax, *code;
};

// The program in a temp dir: settings with a payer, data/dvel.dbf and
// data/Incomes.dbf open as the data entry window has them, the shipped
// report project beside the program.
class ExportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    shell::InitAppPaths(QString::fromStdString(dir_.File("vedil")));
    QDir().mkpath(shell::DataDir());
    QFile::copy(QStringLiteral(VEDIL_SOURCE_DIR "/data/vedil.rav"), ReportProjectPath());
    shell::PayerRecord payer;
    payer[shell::kFiscalYear] = "2024";
    payer[shell::kOwnerNoType] = "ЕИК";
    payer[shell::kOwnerNo] = "121212123";
    payer[shell::kOwnerName] = "Фирма ЕООД";
    payer[shell::kOwnerAddr] = "ул.";
    payer[shell::kOwnerAddrName] = "Витоша";
    payer[shell::kOwnerAddrNo] = "15";
    payer[shell::kStatus] = "Stopped";
    settings::SavePayerRecord(payer);
    shell::PayerData = payer;

    Create(table_, "dvel.dbf",
           {"F01;C;5;0", "F02;C;1;0", "F03;C;1;0", "F04;C;13;0", "F05;C;40;0", "F06;C;2;0",
            "F07;C;40;0", "F08;C;13;0", "F09;C;13;0", "F10;C;5;0", "DATETIME;C;20;0"});
    Create(incomes_, "Incomes.dbf", {"CODE;C;5;0", "NAME;C;60;0"});
    for (auto [code, name] : {std::pair{"101", "Трудови доходи"}, {"820", "Етажна собственост"}}) {
      incomes_.Append();
      incomes_.FieldByName("CODE").SetAsString(code);
      incomes_.FieldByName("NAME").SetAsString(codepage::ToCp1251(name));
      incomes_.Post();
    }
    host_.window = nullptr;
    host_.table = &table_;
    host_.incomes = &incomes_;
    host_.ask_persons_count = [this] {
      ++persons_asked_;
      if (persons_answer_.isEmpty()) return false;
      persons_count_ = persons_answer_;
      return true;
    };
    host_.persons_count = &persons_count_;
    host_.set_activation_handler = [this](bool attached) { activation_ << attached; };
    host_.income_total = [] { return QStringLiteral("350.50"); };
    host_.tax_total = [] { return QStringLiteral("10.00"); };
    table_.AfterPost = [this](xb::TDataSet &) { ++after_posts_; };
  }
  void Create(xb::TXbaseDataSet &ds, const char *name, std::vector<std::string> fields) {
    ds.SetDatabaseName(shell::DataDir().toStdString());
    ds.SetTableName(name);
    ds.TranslateASCII = false;
    xb::TCreateXbaseDataSet create;
    create.DBFTable = &ds;
    create.DBFType = xb::TxbDBFTypes::DBaseIV;
    create.CreateFields = std::move(fields);
    ASSERT_TRUE(create.CreateTable());
    if (!ds.Active()) ds.Open();
  }

  void Add(const Row &row) {
    table_.Append();
    const std::pair<const char *, const char *> values[] = {
        {"F02", row.foreign}, {"F03", row.kind},    {"F04", row.id},
        {"F05", row.names},   {"F06", row.country}, {"F07", row.address},
        {"F08", row.income},  {"F09", row.tax},     {"F10", row.code}};
    for (auto [field, value] : values)
      table_.FieldByName(field).SetAsString(codepage::ToCp1251(QString::fromUtf8(value)));
    table_.Post();
  }

  std::string FileBytes() const { return ReadFileBytes(dir_.File("data/121212123.txt")); }
  QStringList F01s() {
    QStringList out;
    for (table_.First(); !table_.Eof(); table_.Next())
      out << QString::fromStdString(table_.FieldByName("F01").AsString());
    return out;
  }

  TempDir dir_;
  xb::TXbaseDataSet table_, incomes_;
  DataEntryHost host_;
  QString persons_count_, persons_answer_ = "2";
  int persons_asked_ = 0, after_posts_ = 0;
  QList<bool> activation_;
};

const Row kPerson1 = {"0", "0", "7501010005", "Иван Петров", "", "", "100.00", "10.00", "101"};
const Row kPerson2 = {"0", "0", "7501010006", "Мария Иванова", "", "", "250.50", "0.00", "101"};

TEST_F(ExportTest, TwoRowsGiveTheFileByteForByteThenCopyAndReport2) {
  Add(kPerson1);
  Add(kPerson2);
  TempDir target;
  ui::ScriptedUiDriver ui;
  ui.QueueAnswer(ui::Answer::kYes);
  ui.QueueFolder(QString::fromStdString(target.path()));
  const QString pdf = QString::fromStdString(target.File("r2.pdf"));
  ui.QueueModal([pdf](QDialog *dialog) {
    qobject_cast<ui::ReportOutputDialog *>(dialog)->Select({ui::ReportDestination::kPdfFile, pdf});
    return int(QDialog::Accepted);
  });
  after_posts_ = 0;
  ExportAgencyFile(host_);

  const std::string bytes = FileBytes();
  const std::string expected =
      codepage::ToCp1251(QString("00000  121212123    ") + QString("Фирма ЕООД").leftJustified(40) +
                         "  " + QString("ул.Витоша №15").leftJustified(40) + "       350.50" +
                         "        10.00" + "     " + "1 " + "2024") +
      "\r\n" +
      codepage::ToCp1251(QString("0000100") + QString("7501010005").leftJustified(13) +
                         QString("Иван Петров").leftJustified(40) + "  " + QString(40, ' ') +
                         "       100.00" + "        10.00" + "101  " + "      ") +
      "\r\n" +
      codepage::ToCp1251(QString("0000200") + QString("7501010006").leftJustified(13) +
                         QString("Мария Иванова").leftJustified(40) + "  " + QString(40, ' ') +
                         "       250.50" + "         0.00" + "101  " + "      ") +
      "\r\n";
  EXPECT_EQ(bytes, expected);
  EXPECT_EQ(F01s(), QStringList({"00001", "00002"}));
  EXPECT_EQ(after_posts_, 0);  // the window's handlers were detached while numbering
  ASSERT_TRUE(static_cast<bool>(table_.AfterPost));

  EXPECT_EQ(ui.messages().size(), 2u);
  EXPECT_EQ(ui.messages()[0].caption, "Създаване на файл за ВЕСКОР");
  EXPECT_EQ(ui.messages()[0].text,
            "Потвърдете създаване на файл за ВЕСКОР     \nс 2 реда, за 2 лица получили доходи !");
  EXPECT_EQ(ui.messages()[1].caption, "Информация");
  EXPECT_EQ(ui.messages()[1].text, "Файла [121212123.txt] се намира в [" +
                                       QString::fromStdString(target.path()) + "] ...");
  ASSERT_EQ(ui.copies().size(), 1u);
  EXPECT_EQ(ReadFileBytes(target.File("121212123.txt")), bytes);
  EXPECT_EQ(ui.modals(), QStringList({"ReportOutputDialog"}));
  EXPECT_EQ(ReadFileBytes(target.File("r2.pdf")).substr(0, 5), "%PDF-");
  EXPECT_EQ(activation_, QList<bool>({false, true}));
}

TEST_F(ExportTest, IncomeOfZeroStopsAfterNumberingTheRowsBeforeIt) {
  Add(kPerson1);
  Row zero = kPerson2;
  zero.income = "0.00";
  Add(zero);
  Add(kPerson1);
  ui::ScriptedUiDriver ui;
  ExportAgencyFile(host_);
  ASSERT_EQ(ui.messages().size(), 1u);
  EXPECT_EQ(ui.messages()[0].caption, "Внимание !");
  EXPECT_EQ(ui.messages()[0].text,
            "Има непопълнени данни в         \n      <Код на дохода>\n    <Размер на дохода>\n"
            "<Размер на удържания данък>");
  EXPECT_EQ(F01s(), QStringList({"00001", "", ""}));
  EXPECT_EQ(persons_asked_, 0);
  EXPECT_FALSE(QFile::exists(AgencyFilePath("121212123")));
}

TEST_F(ExportTest, EmptyTableCancelledPersonsAndNoAnswerWriteNothing) {
  ui::ScriptedUiDriver ui;
  ExportAgencyFile(host_);
  ASSERT_EQ(ui.messages().size(), 1u);
  EXPECT_EQ(ui.messages()[0].caption, "файл за ВЕСКОР");
  EXPECT_EQ(ui.messages()[0].text, "Няма въведени данни !    ");
  EXPECT_EQ(ui.messages()[0].icon, ui::Icon::kInformation);

  Add(kPerson1);
  persons_answer_.clear();
  ui.ClearRecords();
  ExportAgencyFile(host_);
  EXPECT_TRUE(ui.messages().empty());

  persons_answer_ = "1";
  ui.QueueAnswer(ui::Answer::kNo);
  ExportAgencyFile(host_);
  EXPECT_EQ(ui.messages().size(), 1u);
  EXPECT_TRUE(ui.folder_titles().isEmpty());
  EXPECT_FALSE(QFile::exists(AgencyFilePath("121212123")));
}

TEST_F(ExportTest, OwnDataFolderMakesNoCopyAndCancelledFolderRunsNoReport) {
  Add(kPerson1);
  ui::ScriptedUiDriver ui;
  ui.QueueAnswer(ui::Answer::kYes);
  ui.QueueFolder(QString());  // cancelled
  ExportAgencyFile(host_);
  EXPECT_TRUE(QFile::exists(AgencyFilePath("121212123")));
  EXPECT_EQ(ui.messages().size(), 1u);
  EXPECT_TRUE(ui.modals().isEmpty());
  EXPECT_TRUE(activation_.isEmpty());

  ui.ClearRecords();
  ui.QueueAnswer(ui::Answer::kYes);
  const QString own = shell::AppDir() + "data";
  ui.QueueFolder(own);
  ExportAgencyFile(host_);  // the output choice is cancelled: no report
  EXPECT_TRUE(ui.copies().empty());
  ASSERT_EQ(ui.messages().size(), 2u);
  EXPECT_EQ(ui.messages()[1].text, "Файла [121212123.txt] се намира в [" + own + "] ...");
  EXPECT_EQ(ui.modals(), QStringList({"ReportOutputDialog"}));
  EXPECT_EQ(activation_, QList<bool>({false, true}));
}

TEST_F(ExportTest, FailedCopyWarnsAndRunsNoReport) {
  Add(kPerson1);
  ui::ScriptedUiDriver ui;
  ui.QueueAnswer(ui::Answer::kYes);
  ui.QueueFolder("/somewhere");
  ui.FailNextCopy();
  ExportAgencyFile(host_);
  ASSERT_EQ(ui.messages().size(), 2u);
  EXPECT_EQ(ui.messages()[1].caption, "Внимание");
  EXPECT_EQ(ui.messages()[1].text, "Неуспешно копиране на " + AgencyFilePath("121212123") +
                                       " в <Dir> \n/somewhere...    \n" +
                                       "копие на файла [121212123.txt] има в " + shell::DataDir() +
                                       "     ");
  EXPECT_TRUE(ui.modals().isEmpty());
}

TEST_F(ExportTest, ValueWithoutRoomStopsBeforeTheOldFileIsTouched) {
  WriteFileBytes(dir_.File("data/121212123.txt"), "previous");
  Add(kPerson1);
  Row huge = kPerson2;
  huge.income = "9999999999.99";
  Add(huge);
  ui::ScriptedUiDriver ui;
  ui.QueueAnswer(ui::Answer::kYes);
  ExportAgencyFile(host_);
  ASSERT_EQ(ui.messages().size(), 2u);
  EXPECT_EQ(ui.messages()[1].icon, ui::Icon::kWarning);
  EXPECT_TRUE(ui.messages()[1].text.startsWith("Файлът за ВЕСКОР не е създаден.\n"));
  EXPECT_EQ(FileBytes(), "previous");
  EXPECT_TRUE(ui.folder_titles().isEmpty());
}

TEST_F(ExportTest, UnwritableFileIsReportedAndNothingMoreHappens) {
  Add(kPerson1);
  ASSERT_TRUE(QDir().mkpath(AgencyFilePath("121212123")));  // a folder in the way
  ui::ScriptedUiDriver ui;
  ui.QueueAnswer(ui::Answer::kYes);
  ExportAgencyFile(host_);
  ASSERT_EQ(ui.messages().size(), 2u);
  EXPECT_EQ(ui.messages()[1].icon, ui::Icon::kError);
  EXPECT_TRUE(ui.messages()[1].text.startsWith("Файлът [" + AgencyFilePath("121212123") +
                                               "] не може да бъде записан"));
  EXPECT_TRUE(ui.folder_titles().isEmpty());
}

TEST_F(ExportTest, RowsLeftDeletedArePackedAwaySoDetailsRunWithoutGaps) {
  Add(kPerson1);
  Add(kPerson2);
  Add(kPerson1);
  table_.First();
  table_.Next();
  table_.Delete();  // marked deleted, not packed
  int packs = 0;
  host_.pack_table = [this, &packs] {
    ++packs;
    table_.Close();
    {
      xb::TxbDBFTable file((shell::DataDir() + "dvel.dbf").toStdString(), false, true);
      file.Pack();
    }
    table_.Open();
    return true;
  };
  ui::ScriptedUiDriver ui;
  ui.QueueAnswer(ui::Answer::kYes);
  ExportAgencyFile(host_);
  EXPECT_EQ(packs, 1);
  const std::string bytes = FileBytes();
  ASSERT_EQ(bytes.size(), 3u * 141);
  EXPECT_EQ(bytes.substr(141, 5), "00001");
  EXPECT_EQ(bytes.substr(282, 5), "00002");
  EXPECT_EQ(ui.messages()[0].text,
            "Потвърдете създаване на файл за ВЕСКОР     \nс 2 реда, за 2 лица получили доходи !");
}

TEST_F(ExportTest, RowsLeftDeletedThatStillCannotBePackedStopTheExport) {
  Add(kPerson1);
  Add(kPerson2);
  table_.First();
  table_.Delete();  // marked deleted, not packed
  host_.pack_table = [] { return false; };
  ui::ScriptedUiDriver ui;
  ExportAgencyFile(host_);
  EXPECT_TRUE(ui.messages().empty());
  EXPECT_EQ(persons_asked_, 0);
  EXPECT_FALSE(QFile::exists(AgencyFilePath("121212123")));
}

TEST_F(ExportTest, PrintRunsReport1WithTotalPersonsAndReattachesOnMissingProject) {
  Add(kPerson1);
  Add(kPerson2);
  ui::ScriptedUiDriver ui;
  TempDir out;
  const QString pdf = QString::fromStdString(out.File("r1.pdf"));
  ui.QueueModal([pdf](QDialog *dialog) {
    qobject_cast<ui::ReportOutputDialog *>(dialog)->Select({ui::ReportDestination::kPdfFile, pdf});
    return int(QDialog::Accepted);
  });
  PrintIncomeReport(host_);
  EXPECT_TRUE(ui.messages().empty()) << ui.MessageTexts().join("|").toStdString();
  EXPECT_EQ(ReadFileBytes(out.File("r1.pdf")).substr(0, 5), "%PDF-");
  EXPECT_EQ(activation_, QList<bool>({false, true}));
  EXPECT_EQ(F01s(), QStringList({"00001", "00002"}));

  QFile::remove(ReportProjectPath());
  activation_.clear();
  PrintIncomeReport(host_);
  ASSERT_EQ(ui.messages().size(), 1u);
  EXPECT_EQ(ui.messages()[0].caption, "Печат на справка за ВЕСКОР");
  EXPECT_EQ(ui.messages()[0].text, "Файлът с отчетите [" + ReportProjectPath() + "] не е намерен.");
  EXPECT_EQ(activation_, QList<bool>({false, true}));
}

// The report's progress can be stopped: the PDF that was there stays, nothing
// is told, and the window gets its activation back as after a finished report.
TEST_F(ExportTest, PrintShowsReportProgressAndACancelKeepsTheOldPdf) {
  Add(kPerson1);
  Add(kPerson2);
  ui::ScriptedUiDriver ui;
  TempDir out;
  const QString pdf = QString::fromStdString(out.File("r1.pdf"));
  WriteFileBytes(out.File("r1.pdf"), "last year's report");
  ui.QueueModal([pdf](QDialog *dialog) {
    qobject_cast<ui::ReportOutputDialog *>(dialog)->Select({ui::ReportDestination::kPdfFile, pdf});
    return int(QDialog::Accepted);
  });
  ui.CancelProgressAt(1);
  PrintIncomeReport(host_);
  EXPECT_TRUE(ui.messages().empty()) << ui.MessageTexts().join("|").toStdString();
  EXPECT_EQ(ReadFileBytes(out.File("r1.pdf")), "last year's report");
  EXPECT_EQ(QDir(QString::fromStdString(out.path())).entryList(QDir::Files),
            QStringList({"r1.pdf"}));
  const auto status = std::find_if(ui.progress().begin(), ui.progress().end(),
                                   [](const auto &call) { return call.caption == "Report Status"; });
  ASSERT_NE(status, ui.progress().end());
  EXPECT_EQ(status->cancel, ui::Cancel::kAllowed);
  EXPECT_TRUE(status->cancelled);
  EXPECT_TRUE(status->closed);
  EXPECT_EQ(activation_, QList<bool>({false, true}));
}

}  // namespace
}  // namespace agencyfile
