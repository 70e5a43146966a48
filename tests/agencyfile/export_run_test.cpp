// The export and the printing run against a real income table: the file
// byte for byte, the numbering, the stops, the copy and the reports.
#include "agencyfile/export_run.h"

#include <gtest/gtest.h>

#include "support/qt/qt_printers.h"

#include <QDir>
#include <QFile>
#include <algorithm>

#include "agencyfile/agency_record.h"
#include "agencyfile/export_file.h"
#include "agencyfile/export_rows.h"
#include "agencyfile/report_printing.h"
#include "settings/payer_settings.h"
#include "shell/app_paths.h"
#include "shell/payer_record.h"
#include "support/common/temp_dir.h"
#include "ui/codepage.h"
#include "ui/report_output.h"
#include "ui/scripted_ui_driver.h"
#include "xbase/dataset/create_dataset.h"
#include "xbase/dataset/xbase_dataset.h"
#include "xbase/table/dbf_object.h"
#include "xbase/table/dbf_table.h"

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

  // Adds `copies` more records, each the same as the last one, straight into
  // the file (the dataset is closed and opened again around it).
  void RepeatLastRow(int copies) {
    table_.Close();
    const std::string path = dir_.File("data/dvel.dbf");
    std::string bytes = ReadFileBytes(path);
    const auto le16 = [&bytes](int at) { return uint8_t(bytes[at]) | uint8_t(bytes[at + 1]) << 8; };
    const size_t header = le16(8), record = le16(10);
    const uint32_t count = uint8_t(bytes[4]) | uint8_t(bytes[5]) << 8 | uint8_t(bytes[6]) << 16;
    const std::string last = bytes.substr(header + (count - 1) * record, record);
    bytes.resize(header + count * record);
    for (int i = 0; i < copies; ++i) bytes += last;
    bytes += '\x1a';
    const uint32_t total = count + copies;
    for (int i = 0; i < 4; ++i) bytes[4 + i] = char(total >> (8 * i));
    WriteFileBytes(path, bytes);
    table_.Open();
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

// The report's output choice: a PDF file at `path`.
void QueuePdfOutput(ui::ScriptedUiDriver &ui, const std::string &path) {
  ui.QueueModal([pdf = QString::fromStdString(path)](QDialog *dialog) {
    qobject_cast<ui::ReportOutputDialog *>(dialog)->Select({ui::ReportDestination::kPdfFile, pdf});
    return int(QDialog::Accepted);
  });
}

const Row kPerson1 = {"0", "0", "7501010005", "Иван Петров", "", "", "100.00", "10.00", "101"};
const Row kPerson2 = {"0", "0", "7501010006", "Мария Иванова", "", "", "250.50", "0.00", "101"};

TEST_F(ExportTest, TwoRowsGiveTheFileByteForByteThenCopyAndReport2) {
  Add(kPerson1);
  Add(kPerson2);
  TempDir target;
  ui::ScriptedUiDriver ui;
  ui.QueueAnswer(ui::Answer::kYes);
  ui.QueueFolder(QString::fromStdString(target.path()));
  QueuePdfOutput(ui, target.File("r2.pdf"));
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
  QueuePdfOutput(ui, out.File("r1.pdf"));
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

// An income the file would write as 0.00 is no income, however another
// product stored it; such a file would be refused by the checker.
TEST(IsIncompleteRow, AnIncomeWrittenAsZeroIsMissing) {
  struct Case {
    const char *income, *tax, *code;
    bool incomplete;
  } const cases[] = {
      {"100.00", "10.00", "401", false}, {"0.01", "0.00", "401", false},
      {"0.005", "0.00", "401", false},   {"", "10.00", "401", true},
      {"0.00", "10.00", "401", true},    {"0", "0.00", "401", true},
      {"  0.004", "0.00", "401", true},  {"0.000", "0.00", "401", true},
      {"100.00", "", "401", true},       {"100.00", "10.00", "", true},
      {"abc", "10.00", "401", false},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.income);
    EXPECT_EQ(IsIncompleteRow(c.income, c.tax, c.code), c.incomplete);
  }
}

// The limit is checked before the walk and before any question: the last row
// used to get F01 "10000" (its number cut to five characters) after a walk
// over every row and two questions.
TEST_F(ExportTest, MoreRowsThanTheFileHoldsAreRefusedBeforeTheWalkAndAnyQuestion) {
  Add(kPerson1);
  RepeatLastRow(kMaxDetailRecords);  // 100 000 rows
  ASSERT_EQ(table_.RecordCount(), 100000);
  struct Case {
    void (*run)(const DataEntryHost &);
    const char *text;
  } const cases[] = {
      {ExportAgencyFile, "Файлът за ВЕСКОР не е създаден.\nРедовете на файла са повече от 99999."},
      {PrintIncomeReport,
       "Справката за ВЕСКОР не е отпечатана.\nРедовете на файла са повече от 99999."},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.text);
    ui::ScriptedUiDriver ui;
    c.run(host_);
    ASSERT_EQ(ui.messages().size(), 1u);
    EXPECT_EQ(ui.messages()[0].caption, "Внимание !");
    EXPECT_EQ(ui.messages()[0].text, c.text);
    EXPECT_TRUE(ui.progress().empty());
    EXPECT_EQ(persons_asked_, 0);
    table_.Last();
    EXPECT_EQ(table_.FieldByName("F01").AsString(), "");
    EXPECT_FALSE(QFile::exists(AgencyFilePath("121212123")));
  }
}

// Only rows whose F01 is not their number are written again; the walk shows
// its progress without a cancel button.
TEST_F(ExportTest, NumberingRewritesOnlyTheRowsWhoseNumberIsWrong) {
  const char *stored[] = {"00001", "00005", "", "4", "00005"};
  for (const char *f01 : stored) {
    Add(kPerson1);
    table_.Edit();
    table_.FieldByName("F01").SetAsString(f01);
    table_.Post();
  }
  table_.Close();
  {
    xb::DBFObject file(dir_.File("data/dvel.dbf"), true, true);
    const Numbering numbering = NumberCompleteRows(file, nullptr);
    EXPECT_TRUE(numbering.complete());
    EXPECT_EQ(numbering.rewritten, 3);
  }
  table_.Open();
  EXPECT_EQ(F01s(), QStringList({"00001", "00002", "00003", "00004", "00005"}));

  ui::ScriptedUiDriver ui;
  persons_answer_.clear();
  ExportAgencyFile(host_);
  ASSERT_EQ(ui.progress().size(), 1u);
  EXPECT_EQ(ui.progress()[0].caption, "файл за ВЕСКОР");
  EXPECT_EQ(ui.progress()[0].cancel, ui::Cancel::kNotAllowed);
  EXPECT_EQ(ui.progress()[0].last_done, 5);
  EXPECT_TRUE(ui.progress()[0].closed);
}

// A row that another program has locked for editing is not rewritten under
// its feet: the walk stops with the message a save would give, the rows
// before it numbered.
TEST_F(ExportTest, NumberingStopsAtARowLockedByAnotherProgram) {
  for (int i = 0; i < 3; ++i) Add(kPerson1);
  table_.Close();
  xb::DBFObject other(dir_.File("data/dvel.dbf"), true, true);
  other.GoToRecord(2);
  ASSERT_TRUE(other.LockRecord());
  {
    xb::DBFObject file(dir_.File("data/dvel.dbf"), true, true);
    try {
      NumberCompleteRows(file, nullptr);
      ADD_FAILURE() << "the locked row was written";
    } catch (const std::exception &e) {
      EXPECT_STREQ(e.what(), "Record is locked by another user");
    }
  }
  other.UnlockRecord();
  table_.Open();
  EXPECT_EQ(F01s(), QStringList({"00001", "", ""}));
}

// The file holds the rows that were counted and confirmed: a row another
// program appends after the numbering was neither checked nor numbered.
TEST_F(ExportTest, FileHoldsTheRowsCountedNotRowsAppendedSince) {
  for (int i = 0; i < 3; ++i) Add(kPerson1);
  table_.Close();
  xb::DBFObject file(dir_.File("data/dvel.dbf"), true, false);
  const std::optional<AgencyFileText> text =
      BuildAgencyFileFromTable(file, 2, HeaderFromSettings(), nullptr);
  ASSERT_TRUE(text && text->error.isEmpty());
  ASSERT_EQ(text->bytes.size(), 3u * 141);
  EXPECT_EQ(text->bytes.substr(102, 13), "       200.00");
  EXPECT_EQ(text->bytes.substr(282, 5), "00002");
}

// Stopping the writing of the file leaves the old file as it was and asks
// nothing more.
TEST_F(ExportTest, CancelledWritingKeepsTheOldFile) {
  WriteFileBytes(dir_.File("data/121212123.txt"), "previous");
  for (int i = 0; i < 3; ++i) Add(kPerson1);
  ui::ScriptedUiDriver ui;
  ui.QueueAnswer(ui::Answer::kYes);
  ui.CancelProgressAt(1);
  ExportAgencyFile(host_);
  EXPECT_EQ(FileBytes(), "previous");
  EXPECT_EQ(ui.messages().size(), 1u);  // the confirmation only
  EXPECT_TRUE(ui.folder_titles().isEmpty());
  ASSERT_EQ(ui.progress().size(), 2u);
  EXPECT_EQ(ui.progress()[1].caption, "Създаване на файл за ВЕСКОР");
  EXPECT_EQ(ui.progress()[1].cancel, ui::Cancel::kAllowed);
  EXPECT_TRUE(ui.progress()[1].cancelled);
  EXPECT_EQ(table_.RecNo(), 1);
}

// The report walks every row; the grid comes back to the row it was on. A
// row found incomplete stays current instead.
TEST_F(ExportTest, PrintingReturnsToTheRowItWasOnUnlessARowIsIncomplete) {
  for (int i = 0; i < 4; ++i) Add(kPerson1);
  table_.SetRecNo(3);
  ui::ScriptedUiDriver ui;
  TempDir out;
  QueuePdfOutput(ui, out.File("r1.pdf"));
  PrintIncomeReport(host_);
  EXPECT_EQ(ReadFileBytes(out.File("r1.pdf")).substr(0, 5), "%PDF-");
  EXPECT_EQ(table_.RecNo(), 3);

  table_.SetRecNo(2);
  table_.Edit();
  table_.FieldByName("F10").SetAsString("");
  table_.Post();
  table_.SetRecNo(4);
  PrintIncomeReport(host_);
  EXPECT_EQ(ui.MessageTexts().back(), QString::fromUtf8(kIncompleteRowText));
  EXPECT_EQ(table_.RecNo(), 2);
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
