// Table creation asks through a warning box before replacing a table.
#include <gtest/gtest.h>

#include "support/common/temp_dir.h"
#include "ui/scripted_ui_driver.h"
#include "ui/table_overwrite_question.h"
#include "xbase/dataset/create_dataset.h"

namespace {

TEST(TableOverwriteQuestion, AsksWithOkAndCancel) {
  testing_support::TempDir dir;
  testing_support::WriteFileBytes(dir.File("t.dbf"), "old");
  xb::TXbaseDataSet ds;
  ds.SetDatabaseName(dir.path());
  ds.SetTableName("t.dbf");
  xb::TCreateXbaseDataSet create;
  create.DBFTable = &ds;
  create.CreateFields = {"A;C;1;0"};
  create.OnConfirmOverwrite = ui::TableOverwriteQuestion(nullptr);
  ui::ScriptedUiDriver driver;
  driver.QueueAnswer(ui::Answer::kCancel);
  EXPECT_FALSE(create.CreateTable());
  ASSERT_EQ(driver.messages().size(), 1u);
  EXPECT_EQ(driver.messages()[0].text, "Table exists.  Do you want to overwrite?");
  EXPECT_EQ(driver.messages()[0].icon, ui::Icon::kWarning);
  EXPECT_EQ(driver.messages()[0].buttons, ui::Buttons::kOkCancel);
  EXPECT_EQ(testing_support::ReadFileBytes(dir.File("t.dbf")), "old");
  driver.QueueAnswer(ui::Answer::kOk);
  EXPECT_TRUE(create.CreateTable());
  EXPECT_TRUE(ds.Active());
}

}  // namespace
