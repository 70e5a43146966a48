// The carry-over of last year's rows: what a copied row holds, which rows
// come over, both answers to the confirmation, and a copy that stops midway.
#include "records/carry_over.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <algorithm>
#include <stdexcept>

#include "records/income_table.h"
#include "shell/app_paths.h"
#include "support/common/temp_dir.h"
#include "ui/scripted_ui_driver.h"
#include "xbase/dataset/xbase_dataset.h"
#include "xbase/table/db_handler.h"
#include "xbase/table/dbf_builder.h"

namespace records {
namespace {

constexpr const char *kRowFields[] = {"F01", "F02", "F03", "F04", "F05",     "F06",
                                      "F07", "F08", "F09", "F10", "DATETIME"};
using Row = std::vector<std::string>;  // values of kRowFields, in order

// A stored source row: the recipient's data, last year's code and amounts.
Row SourceRow(int n) {
  const std::string id = std::to_string(7501010000 + n);
  return {std::to_string(n),
          n % 2 ? "1" : "0",
          "0",
          id,
          "Иван Петров " + std::to_string(n),
          n % 3 ? "BG" : "GR",
          "София, ул. Витоша " + std::to_string(n),
          "1200.00",
          "120.00",
          "101",
          "2025-12-01 10:00:00"};
}

class CarryOverTest : public ::testing::Test {
 protected:
  CarryOverTest() {
    shell::InitAppPaths(QString::fromStdString(dir_.File("vedil")));
    EXPECT_TRUE(PrepareIncomeTable(nullptr));
    QDir().mkpath(SourceDir());
    table_.TranslateASCII = false;
    table_.SetDatabaseName(QFile::encodeName(shell::DataDir()).toStdString());
    table_.SetTableName(shell::kIncomeTableName);
    table_.AfterPost = [this](xb::TDataSet &t) { after_post_counts_.push_back(t.RecordCount()); };
    table_.Open();
  }

  QString SourceDir() const { return QString::fromStdString(dir_.File("prev/data")); }
  std::string SourcePath() const { return dir_.File("prev/data/dvel.dbf"); }

  // Writes the source table with `fields` (the income table's own when
  // empty); rows marked in `deleted` (1-based) carry the deletion flag.
  void MakeSource(const std::vector<Row> &rows, const std::vector<int> &deleted = {},
                  std::vector<xb::DbfFieldSpec> fields = {}) {
    if (fields.empty()) {
      for (const QString &line : IncomeTableFieldList()) {
        const QStringList p = line.split(QLatin1Char(';'));
        fields.push_back({p[0].toStdString(), 'C', p[2].toInt(), 0});
      }
    }
    xb::CreateDbfTable(SourcePath(), xb::TxbDBFTypes::DBaseIV, fields);
    xb::XBO_dBHandler source(SourcePath(), false, true);
    for (std::size_t r = 0; r < rows.size(); ++r) {
      source.BlankRecord();
      for (std::size_t f = 0; f < rows[r].size(); ++f)
        if (source.FindField(kRowFields[f])) source.StringPut(kRowFields[f], rows[r][f]);
      source.AppendRecord();
      if (std::find(deleted.begin(), deleted.end(), static_cast<int>(r) + 1) != deleted.end())
        source.DeleteRecord();
    }
  }

  // The income table's rows as saved, read from the file.
  std::vector<Row> SavedRows() const {
    xb::XBO_dBHandler saved(
        QFile::encodeName(shell::DataFile(shell::kIncomeTableName)).toStdString(), true, false);
    std::vector<Row> rows;
    for (int64_t r = 1; r <= saved.RecordCount(); ++r) {
      saved.GoToRecord(r);
      Row row;
      for (const char *name : kRowFields) row.push_back(saved.StringGet(name));
      rows.push_back(row);
    }
    return rows;
  }

  static Row Carried(const Row &source) {
    Row row(source.begin(), source.begin() + 7);
    row.insert(row.end(), {"0.00", "0.00", "", ""});
    return row;
  }

  testing_support::TempDir dir_;
  ui::ScriptedUiDriver ui_;
  xb::TXbaseDataSet table_;
  // The record count each time the after-save step ran.
  std::vector<int> after_post_counts_;
};

TEST_F(CarryOverTest, CopiesTheVisibleRowsWithoutCodeAndAmounts) {
  std::vector<Row> source;
  for (int n = 1; n <= 12; ++n) source.push_back(SourceRow(n));
  MakeSource(source, {3, 8});
  ui_.QueueAnswer(ui::Answer::kYes);

  EXPECT_EQ(CarryOverRows(nullptr, table_, SourceDir()), 10);

  std::vector<Row> expected;
  for (int n = 1; n <= 12; ++n)
    if (n != 3 && n != 8) expected.push_back(Carried(source[n - 1]));
  EXPECT_EQ(SavedRows(), expected);
  EXPECT_EQ(after_post_counts_, std::vector<int>{10});  // once, not per row
  ASSERT_EQ(ui_.messages().size(), 2u);
  const auto &confirm = ui_.messages()[0];
  EXPECT_EQ(confirm.caption, "Потвърдете !");
  EXPECT_EQ(confirm.text, "Прехвърляне на данни от предходна година " + SourceDir() +
                              "/dvel.dbf ...   \n(без <Код на дохода>, <Размер на дохода> и "
                              "<Размер на удържания данък>)");
  EXPECT_EQ(confirm.icon, ui::Icon::kWarning);
  EXPECT_EQ(confirm.buttons, ui::Buttons::kYesNo);
  const auto &done = ui_.messages()[1];
  EXPECT_EQ(done.caption, "Информация");
  EXPECT_EQ(done.text, QStringLiteral("Прехвърлени бяха 10 реда от предходна година "));
  EXPECT_EQ(done.icon, ui::Icon::kNone);
  // The source was closed: it can be had exclusively now.
  EXPECT_NO_THROW(xb::XBO_dBHandler(SourcePath(), false, true));
}

TEST_F(CarryOverTest, EmptySourceReportsNoRows) {
  MakeSource({});
  ui_.QueueAnswer(ui::Answer::kYes);
  EXPECT_EQ(CarryOverRows(nullptr, table_, SourceDir()), 0);
  EXPECT_TRUE(SavedRows().empty());
  EXPECT_EQ(ui_.MessageTexts().back(), "Прехвърлени бяха 0 реда от предходна година ");
  EXPECT_TRUE(after_post_counts_.empty());
}

TEST_F(CarryOverTest, RefusalCopiesNothing) {
  MakeSource({SourceRow(1), SourceRow(2)});
  ui_.QueueAnswer(ui::Answer::kNo);
  EXPECT_EQ(CarryOverRows(nullptr, table_, SourceDir()), 0);
  EXPECT_TRUE(SavedRows().empty());
  ASSERT_EQ(ui_.messages().size(), 2u);
  EXPECT_EQ(ui_.messages()[1].caption, "Внимание !");
  EXPECT_EQ(ui_.messages()[1].text, "Отказ от прехвърляне на данни от предходна година...   ");
  EXPECT_EQ(ui_.messages()[1].icon, ui::Icon::kWarning);
  EXPECT_EQ(ui_.messages()[1].buttons, ui::Buttons::kOk);
}

TEST_F(CarryOverTest, SourceWithoutAFieldStopsWithTheEngineMessage) {
  MakeSource({SourceRow(1)}, {},
             {{"F01", 'C', 5, 0},
              {"F02", 'C', 1, 0},
              {"F03", 'C', 1, 0},
              {"F04", 'C', 13, 0},
              {"F06", 'C', 2, 0},
              {"F07", 'C', 40, 0}});
  ui_.QueueAnswer(ui::Answer::kYes);
  try {
    CarryOverRows(nullptr, table_, SourceDir());
    FAIL() << "the copy went on without F05";
  } catch (const std::exception &e) {
    EXPECT_EQ(e.what(), "There is no field name " + SourcePath() + "->F05");
  }
  EXPECT_EQ(table_.State(), xb::TDataSetState::dsBrowse);
  EXPECT_TRUE(SavedRows().empty());
  EXPECT_EQ(ui_.messages().size(), 1u);  // no count is reported
  EXPECT_NO_THROW(xb::XBO_dBHandler(SourcePath(), false, true));
}

// A half-made carry-over would leave the table no longer empty, so the offer
// would never come again: stopping half way, by the user or by an error,
// leaves the table byte for byte as it was.
TEST_F(CarryOverTest, CancelledOrFailedCopyLeavesTheTableAsItWas) {
  MakeSource({SourceRow(1), SourceRow(2), SourceRow(3)});
  const std::string table_path =
      QFile::encodeName(shell::DataFile(shell::kIncomeTableName)).toStdString();
  const std::string before = testing_support::ReadFileBytes(table_path);

  ui_.QueueAnswer(ui::Answer::kYes);
  ui_.CancelProgressAt(2);
  EXPECT_EQ(CarryOverRows(nullptr, table_, SourceDir()), 0);
  EXPECT_EQ(testing_support::ReadFileBytes(table_path), before);
  EXPECT_TRUE(table_.IsEmpty());
  EXPECT_TRUE(after_post_counts_.empty());
  ASSERT_EQ(ui_.progress().size(), 1u);
  EXPECT_EQ(ui_.progress()[0].caption, "Прехвърляне на данни");
  EXPECT_EQ(ui_.progress()[0].cancel, ui::Cancel::kAllowed);
  EXPECT_TRUE(ui_.progress()[0].cancelled);
  EXPECT_TRUE(ui_.progress()[0].closed);
  ASSERT_EQ(ui_.messages().size(), 2u);
  EXPECT_EQ(ui_.messages()[1].text, "Отказ от прехвърляне на данни от предходна година...   ");

  xb::XBO_dBHandler source(SourcePath(), true, false);
  const auto fail_at_third_row = [](int64_t done, int64_t) {
    if (done == 2) throw std::runtime_error("Error 28 in Write of file dvel.dbf");
    return true;
  };
  EXPECT_THROW(CopyPreviousYearRows(source, *table_.Table(), fail_at_third_row),
               std::runtime_error);
  EXPECT_EQ(testing_support::ReadFileBytes(table_path), before);
}

// Pointed at the table it fills, the copy reads each row once instead of
// reading its own new rows on and on.
TEST_F(CarryOverTest, CopyingATableIntoItselfEnds) {
  table_.Append();
  table_.FieldByName("F04").SetAsString("7501010010");
  table_.Post();
  ui_.QueueAnswer(ui::Answer::kYes);
  EXPECT_EQ(CarryOverRows(nullptr, table_, shell::DataDir()), 1);
  EXPECT_EQ(SavedRows().size(), 2u);
}

}  // namespace
}  // namespace records
