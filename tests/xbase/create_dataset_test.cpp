// Table creation from a field list: the parsing rules, the overwrite
// question and opening the new table.
#include <gtest/gtest.h>

#include "support/common/temp_dir.h"
#include "xbase/dataset/create_dataset.h"

namespace {

using testing_support::TempDir;

TEST(CreateXbaseDataSet, FieldListParsing) {
  struct Case {
    std::vector<std::string> lines;
    bool valid;
    int decimals;
  };
  const Case cases[] = {
      {{"F01;C;5;0"}, true, 0},
      {{"F01;C;5;0", "f01;C;3;0"}, false, 0},  // the same name after upper-casing
      {{"F01;C;5"}, false, 0},                 // no ';' after the length
      {{"F01;C;5;"}, false, 0},                // trailing ';' removed first
      {{"F01;C;5;0;;"}, true, 0},
      {{"F01;N;12;1234"}, true, 123},  // the first three characters
      {{"F01;CC;5;0"}, false, 0},
      {{"F01;C;x;0"}, false, 0},
      {{"F01;C;5;y"}, false, 0},
      {{"F01"}, false, 0},
      {{";C;5;0"}, false, 0},
      {{}, false, 0},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.lines.empty() ? "(empty)" : c.lines.back());
    if (c.valid) {
      const auto specs = xb::ParseFieldList(c.lines);
      ASSERT_EQ(specs.size(), 1u);
      EXPECT_EQ(specs[0].name, "F01");
      EXPECT_EQ(specs[0].decimals, c.decimals);
    } else {
      try {
        xb::ParseFieldList(c.lines);
        FAIL();
      } catch (const xb::EDatabaseError &e) {
        EXPECT_STREQ(e.what(), "Field list is invalid");
      }
    }
  }
}

TEST(CreateXbaseDataSet, CreatesOpensAndAsksBeforeOverwriting) {
  TempDir dir;
  xb::TXbaseDataSet ds;
  ds.SetDatabaseName(dir.path());
  ds.SetTableName("dvel.dbf");
  xb::TCreateXbaseDataSet create;
  EXPECT_THROW(create.CreateTable(), xb::EDatabaseError);  // no table assigned
  create.DBFTable = &ds;
  create.DBFType = xb::TxbDBFTypes::DBaseIV;
  create.CreateFields = {"F04;C;13;0", "DATETIME;C;20;0"};
  std::vector<std::string> asked;
  create.OnConfirmOverwrite = [&](const std::string &q) {
    asked.push_back(q);
    return false;
  };
  EXPECT_TRUE(create.CreateTable());
  EXPECT_TRUE(asked.empty());
  ASSERT_TRUE(ds.Active());
  EXPECT_EQ(ds.FieldCount(), 2);
  EXPECT_EQ(ds.FieldByName("datetime").Size(), 20);
  try {
    create.CreateTable();
    FAIL();
  } catch (const xb::EDatabaseError &e) {
    EXPECT_STREQ(e.what(), "Cannot perform this operation on an open table");
  }
  ds.Append();
  ds.FieldByName("F04").SetAsString("1");
  ds.Post();
  ds.Close();
  EXPECT_FALSE(create.CreateTable());  // refused: the table stays as it was
  EXPECT_EQ(asked, std::vector<std::string>{"Table exists.  Do you want to overwrite?"});
  EXPECT_FALSE(ds.Active());
  create.AutoOverwrite = true;
  EXPECT_TRUE(create.CreateTable());
  EXPECT_EQ(ds.RecordCount(), 0);
}

}  // namespace
