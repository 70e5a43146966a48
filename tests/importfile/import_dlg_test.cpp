// The import preview window: its counts after the check, adding and
// replacing with the question, the payer warning of an agency file's header,
// and the rejected lines saved as CSV.
#include "importfile/import_dlg.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include "agencyfile/export_file.h"
#include "importfile/csv_export.h"
#include "importfile/import_fixture.h"
#include "importfile/import_write.h"
#include "shell/app_paths.h"
#include "support/qt/qt_printers.h"
#include "ui/scripted_ui_driver.h"

namespace importfile {
namespace {

using testing::Egn;

// A home with the shipped reference tables and one row of Egn(1), code 401.
class ImportDlgTest : public ::testing::Test {
 protected:
  ImportDlgTest() {
    for (const char *name : {"Countries.dbf", "Incomes.dbf"})
      EXPECT_TRUE(
          QFile::copy(QStringLiteral(VEDIL_BINARY_DIR "/data/") + name, shell::DataFile(name)));
    EXPECT_EQ(WriteImportedRows(home_.TablePath(),
                                {{"0", "0", Egn(1), "Първи", "", "", "1.00", "0.00", "401"}},
                                ImportMode::kAdd, QDateTime::currentDateTime())
                  .error,
              QString());
  }

  std::unique_ptr<TImportDlg> Open(const QByteArray &bytes, const QString &payer = "121212121") {
    auto dlg = std::make_unique<TImportDlg>(nullptr, "rows.csv", ReadImportBytes(bytes, "rows.csv"),
                                            shell::DataDir(), payer);
    dlg->FinishCheck();
    return dlg;
  }

  static QString Counts(TImportDlg &dlg) { return dlg.findChild<QLabel *>("CountsLabel")->text(); }

  // Lines: a new person, the table's person again, a bad ЕГН.
  QByteArray Lines() const {
    return ("0;0;" + Egn(2) + ";Втори;;;10;1;401\n0;0;" + Egn(1) +
            ";Пак първи;;;10;1;401\n0;0;7501010011;Грешен;;;10;1;401\n")
        .toUtf8();
  }

  testing::ImportHome home_;
  ui::ScriptedUiDriver ui_;
};

TEST_F(ImportDlgTest, AddingWritesTheAcceptedRowsAfterTheOldOnes) {
  auto dlg = Open(Lines());
  EXPECT_EQ(Counts(*dlg), "Редове във файла: 3   приети: 1   отхвърлени: 2");
  EXPECT_EQ(dlg->Verdicts()[2].reasons.value(0).left(2), "4 ");
  dlg->findChild<QPushButton *>("OKBtn")->click();
  ASSERT_EQ(ui_.messages().size(), 1u);
  EXPECT_EQ(ui_.messages()[0].text, "Записани бяха 1 реда.");
  const std::vector<records::StoredRow> rows = ReadTableRows(home_.TablePath());
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[1].names, "Втори");
}

TEST_F(ImportDlgTest, ReplacingAsksAndKeepsTheOldTable) {
  auto dlg = Open(Lines());
  dlg->findChild<QRadioButton *>("ReplaceRadio")->setChecked(true);
  dlg->FinishCheck();
  // The table's rows go: the person already in it is no duplicate any more.
  EXPECT_EQ(Counts(*dlg), "Редове във файла: 3   приети: 2   отхвърлени: 1");

  ui_.QueueAnswer(ui::Answer::kNo);
  dlg->findChild<QPushButton *>("OKBtn")->click();
  EXPECT_EQ(ReadTableRows(home_.TablePath()).size(), 1u);

  ui_.QueueAnswer(ui::Answer::kYes);
  dlg->findChild<QPushButton *>("OKBtn")->click();
  ASSERT_EQ(ui_.messages().size(), 3u);
  EXPECT_TRUE(
      ui_.messages()[1].text.startsWith("Редовете в таблицата (1) ще бъдат заменени с "
                                        "приетите 2 реда."));
  EXPECT_TRUE(ui_.messages()[2].text.contains("Копие на старата таблица: "));
  const std::vector<records::StoredRow> rows = ReadTableRows(home_.TablePath());
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[1].names, "Пак първи");
  EXPECT_EQ(dlg->Written(), 2);
}

TEST_F(ImportDlgTest, AnotherPayersAgencyFileIsNamedBeforeAnythingIsWritten) {
  agencyfile::HeaderValues header;
  header.payer_id = "999999999";
  header.payer_name = "Друга фирма";
  header.status = "Active";
  header.tax_year = "2025";
  const std::string bytes = agencyfile::BuildAgencyFileText(header, {}).bytes;
  auto dlg = Open(QByteArray::fromStdString(bytes));
  const QLabel *warning = dlg->findChild<QLabel *>("PayerWarning");
  ASSERT_NE(warning, nullptr);
  EXPECT_EQ(warning->text(),
            "Файлът е на платец с идентификатор [999999999], а в настройките е [121212121].");
  EXPECT_EQ(
      Open(QByteArray::fromStdString(bytes), "999999999")->findChild<QLabel *>("PayerWarning"),
      nullptr);
}

TEST_F(ImportDlgTest, RejectedLinesAreSavedWithTheirReasons) {
  auto dlg = Open(Lines());
  const QString path = home_.File("rejected.csv");
  ui_.QueueOpenFile({true, path, path});
  dlg->findChild<QPushButton *>("RejectedBtn")->click();
  ASSERT_TRUE(ui_.open_file_requests().back().for_saving);
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QByteArray bytes = file.readAll();
  EXPECT_TRUE(bytes.contains(";Ред;Причини\r\n"));
  EXPECT_TRUE(bytes.contains(";2;\"За едно лице")) << bytes.toStdString();
  EXPECT_TRUE(bytes.contains(";3;4 Невалиден ЕГН\r\n")) << bytes.toStdString();
}

}  // namespace
}  // namespace importfile
