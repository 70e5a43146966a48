// The income table at start-up: created with its eleven fields when missing,
// an existing one accepted or refused by its income code field alone.
#include "records/income_table.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "shell/app_paths.h"
#include "support/common/temp_dir.h"
#include "ui/scripted_ui_driver.h"
#include "xbase/table/db_handler.h"
#include "xbase/table/dbf_builder.h"

namespace records {
namespace {

class IncomeTableTest : public ::testing::Test {
 protected:
  IncomeTableTest() { shell::InitAppPaths(QString::fromStdString(dir_.File("vedil"))); }
  std::string TablePath() const { return dir_.File("data/dvel.dbf"); }
  void MakeTable(const std::vector<xb::DbfFieldSpec> &fields) {
    QDir().mkpath(QString::fromStdString(dir_.File("data")));
    xb::CreateDbfTable(TablePath(), xb::TxbDBFTypes::Clipper, fields);
  }

  testing_support::TempDir dir_;
  ui::ScriptedUiDriver ui_;
};

TEST_F(IncomeTableTest, FirstStartCreatesTheDirectoryAndAnEmptyTable) {
  EXPECT_TRUE(PrepareIncomeTable(nullptr));
  xb::XBO_dBHandler table(TablePath(), true, false);
  EXPECT_EQ(table.Version(), 0x03);
  EXPECT_EQ(table.RecordLength(), 154u);
  EXPECT_EQ(table.RecordCount(), 0);
  ASSERT_EQ(table.FieldCount(), 11);
  EXPECT_EQ(table.FieldName(1), "F01");
  EXPECT_EQ(table.FieldName(11), "DATETIME");
  EXPECT_EQ(table.FieldWidth(table.FindField("F10")), 5);
  EXPECT_TRUE(ui_.messages().empty());
}

TEST_F(IncomeTableTest, WrongIncomeCodeFieldEndsTheProgram) {
  MakeTable({{"F04", 'C', 13, 0}, {"F10", 'N', 3, 0}});
  const std::string before = testing_support::ReadFileBytes(TablePath());
  EXPECT_FALSE(PrepareIncomeTable(nullptr));
  ASSERT_EQ(ui_.messages().size(), 1u);
  EXPECT_EQ(ui_.messages()[0].caption, "Внимание !");
  EXPECT_EQ(ui_.messages()[0].icon, ui::Icon::kWarning);
  EXPECT_EQ(ui_.messages()[0].text,
            "Некоректен тип и/или дължина  - <N3> на поле код доход, коректните са <C5> ...    ");
  EXPECT_EQ(testing_support::ReadFileBytes(TablePath()), before);
}

TEST_F(IncomeTableTest, OnlyTheIncomeCodeFieldIsChecked) {
  MakeTable({{"F04", 'C', 20, 0}, {"F10", 'C', 5, 0}});
  EXPECT_TRUE(PrepareIncomeTable(nullptr));
  EXPECT_TRUE(ui_.messages().empty());
}

TEST_F(IncomeTableTest, MissingIncomeCodeFieldIsRefused) {
  MakeTable({{"F04", 'C', 13, 0}});
  EXPECT_FALSE(PrepareIncomeTable(nullptr));
  EXPECT_EQ(ui_.MessageTexts(),
            QStringList({"Некоректен тип и/или дължина  - <> на поле код доход, коректните са "
                         "<C5> ...    "}));
}

// Saved rows for the duplicate search: identifier and code of each.
class FindDuplicateRowTest : public IncomeTableTest {
 protected:
  void Save(const std::vector<std::pair<std::string, std::string>> &rows) {
    ASSERT_TRUE(PrepareIncomeTable(nullptr));
    xb::XBO_dBHandler table(TablePath(), false, true);
    for (const auto &[id, code] : rows) {
      table.BlankRecord();
      table.StringPut("F04", id);
      table.StringPut("F10", code);
      table.AppendRecord();
    }
  }
};

TEST_F(FindDuplicateRowTest, SameIdentifierAndCodeOnly) {
  Save({{"7501010010", "301"}, {"7501010010", "101"}, {"1002003008", "30710"}});
  const struct {
    const char *id, *code;
    qint64 found;
  } cases[] = {
      {"7501010010", "101", 2}, {"7501010010", "301", 1},  {"7501010010", "1011", 0},
      {"750101001", "101", 0},  {"1002003008", "3071", 0}, {"1002003008", "30710", 3},
      {"0000000000", "301", 0}, {"7501010010", "820", 0},
  };
  for (const auto &c : cases) {
    EXPECT_EQ(FindDuplicateRow(c.id, c.code), c.found) << c.id << " " << c.code;
  }
}

TEST_F(FindDuplicateRowTest, SecondInterestRowFindsTheFirst) {
  Save({{"7501010010", "301"}, {"", "821"}});
  EXPECT_EQ(FindDuplicateRow("", "821"), 2);
}

TEST_F(FindDuplicateRowTest, RebuildsTheIndexEvenWhenItDoesNotSearch) {
  Save({{"7501010010", "301"}});
  const std::string index = dir_.File("data/dvel.ntx");
  testing_support::WriteFileBytes(index, "stale");
  EXPECT_EQ(FindDuplicateRow("0000000000", "301"), 0);
  EXPECT_NE(testing_support::ReadFileBytes(index), "stale");
}

}  // namespace
}  // namespace records
