// The simple table object: scanning to the end, SearchValue with its default
// options, the browse-state check, the filter and packing.
#include <gtest/gtest.h>

#include "support/common/temp_dir.h"
#include "xbase/table/dbf_builder.h"
#include "xbase/table/dbf_table.h"
#include "xbase/xbase_error.h"

namespace {

using testing_support::TempDir;

// Rows: NAME (C 8), BORN (D), SUM (N 8.2), OK (L).
std::string MakeTable(const TempDir &dir) {
  const std::string path = xb::CreateDbfTable(
      dir.File("s.dbf"), xb::TxbDBFTypes::DBaseIV,
      {{"NAME", 'C', 8, 0}, {"BORN", 'D', 8, 0}, {"SUM", 'N', 8, 2}, {"OK", 'L', 1, 0}});
  xb::DBFObject t(path, false, true);
  const char *rows[][4] = {{"Ivanov", "19750101", "12.50", "T"},
                           {"Petrova", "19800229", "7", "F"},
                           {"Ivo", "20000101", "100", "F"},
                           {"Ana", "", "0", "T"}};
  for (const auto &row : rows) {
    t.BlankRecord();
    t.StringPut("NAME", row[0]);
    t.FieldPut("BORN", row[1]);
    t.StringPut("SUM", row[2]);
    t.StringPut("OK", row[3]);
    t.AppendRecord();
  }
  return path;
}

TEST(DBFTable, SkipNextStaysOnTheLastRecordWithEof) {
  TempDir dir;
  xb::TxbDBFTable t(MakeTable(dir), true, false);
  std::vector<std::string> names;
  for (t.GoTop(); !t.IsEOF(); t.SkipNext()) names.push_back(t.StringGet("NAME"));
  EXPECT_EQ(names, (std::vector<std::string>{"Ivanov", "Petrova", "Ivo", "Ana"}));
  EXPECT_EQ(t.Table().RecordNumber(), 4);
  EXPECT_EQ(t.StringGet("NAME"), "Ana");
  t.SkipNext();
  EXPECT_TRUE(t.IsEOF());
  t.GoTop();
  EXPECT_FALSE(t.IsEOF());
}

TEST(DBFTable, SearchValueWithDefaultOptions) {
  TempDir dir;
  xb::TxbDBFTable t(MakeTable(dir), true, false);
  struct Case {
    const char *text;
    int field;
    int64_t last;
    int64_t start;
    int position;
    int foundField;
    int64_t foundRecord;
  };
  const Case cases[] = {
      {"iv", 0, 0, 0, 1, 1, 1},                                     // case ignored, first record
      {"iv", 0, 0, 1, 1, 1, 3},                                     // after the start record
      {"trov", 1, 0, 0, 3, 1, 2},                                   // anywhere in the field
      {"Ivanov123", 1, 0, 0, 0, 1, 0},                              // longer than the field
      {"29.02.1980", 0, 0, 0, 1, 2, 2},                             // a date
      {"20000101", 2, 0, 0, 1, 2, 3},                               // a date as yyyymmdd
      {"100.00", 3, 0, 0, 1, 3, 3},                                 // a number
      {"abc", 3, 0, 0, 0, 3, 0},                                    // no number
      {"yes", 4, 0, 0, 1, 4, 1},                                    // a logical field alone
      {"n", 4, 0, 1, 1, 4, 2},          {"Ana", 0, 3, 0, 0, 0, 0},  // beyond the last record
      {"", 0, 0, 0, 0, 0, 0},                                       // empty text
      {"Ana", 9, 0, 0, 0, 9, 0},                                    // no such field
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.text);
    t.GoTop();
    t.SkipNext();  // start from record 2
    int field = c.field;
    int64_t record = c.start;
    EXPECT_EQ(t.SearchValue(c.text, field, c.last, record), c.position);
    if (c.position > 0) {
      EXPECT_EQ(field, c.foundField);
      EXPECT_EQ(record, c.foundRecord);
      EXPECT_EQ(t.Table().RecordNumber(), c.foundRecord);
    } else {
      EXPECT_EQ(t.Table().RecordNumber(), 2);  // back where it was
    }
  }
}

TEST(DBFTable, ProgressAndDeletedRecords) {
  TempDir dir;
  const std::string path = MakeTable(dir);
  {
    xb::DBFObject t(path, false, true);
    t.GoToRecord(1);
    t.DeleteRecord();
  }
  xb::TxbDBFTable t(path, true, false);
  std::vector<std::vector<int64_t>> progress;
  t.Table().OnStatus = [&](int64_t a, int64_t b, int64_t c) { progress.push_back({a, b, c}); };
  int field = 1;
  int64_t record = 0;
  EXPECT_EQ(t.SearchValue("ivo", field, 0, record), 1);
  EXPECT_EQ(record, 3);  // the deleted Ivanov is skipped
  EXPECT_EQ(progress,
            (std::vector<std::vector<int64_t>>{{-1, 21, 4}, {21, 1, 0}, {21, 2, 0}, {0, 2, 0}}));
}

TEST(DBFTable, StateChecksAndFilter) {
  TempDir dir;
  xb::TxbDBFTable t(MakeTable(dir), true, true);
  EXPECT_EQ(t.State(), xb::TxbDBFTable::kBrowse);
  t.Insert();
  try {
    t.GoTop();
    FAIL();
  } catch (const xb::EXbaseError &e) {
    EXPECT_STREQ(e.what(), "Dataset is not in browse mode");
  }
  t.StringPut("NAME", "Zora");
  t.PostChanges();
  EXPECT_EQ(t.Table().RecordCount(), 5);
  t.SetFilter("OK");
  t.SetFiltered(true);
  std::vector<std::string> names;
  for (t.GoTop(); !t.IsEOF(); t.SkipNext()) names.push_back(t.StringGet("NAME"));
  EXPECT_EQ(names, (std::vector<std::string>{"Ivanov", "Ana"}));
}

TEST(DBFTable, IndexOnIndexOpenAndFindInTag) {
  TempDir dir;
  const std::string path = MakeTable(dir);
  {
    xb::DBFObject t(path, false, true);
    t.BlankRecord();
    t.StringPut("NAME", "Ivo");  // record 5, the same name as record 3
    t.AppendRecord();
    t.GoToRecord(3);
    t.DeleteRecord();  // left behind by a pack that could not run
  }
  xb::TxbDBFTable t(path, true, false);
  t.SkipNext();
  t.IndexOn("names.ntx", "ignored", "upper(name)", "", 1, 0);
  EXPECT_EQ(t.StringGet("NAME"), "Petrova");  // the table stays where it was
  EXPECT_EQ(t.IndexOpen("names.ntx", "NAMES"), 0);
  EXPECT_EQ(t.FindInTag("names", "IVO"), 5);
  EXPECT_EQ(t.FindInTag("names", "IV"), 0);
  EXPECT_EQ(t.Table().RecordNumber(), 2);
  t.SetUseDeleted(true);
  EXPECT_EQ(t.FindInTag("names", "IVO"), 3);
  std::vector<std::string> names;
  for (t.GoTop(); !t.IsEOF(); t.SkipNext()) names.push_back(t.StringGet("NAME"));
  EXPECT_EQ(names, (std::vector<std::string>{"Ana", "Ivanov", "Ivo", "Ivo", "Petrova"}));
  t.Insert();
  EXPECT_THROW(t.IndexOn("x.ntx", "", "name", "", 1, 0), xb::EXbaseError);
}

TEST(DBFTable, PackNeedsTheTableAlone) {
  TempDir dir;
  const std::string path = MakeTable(dir);
  {
    xb::TxbDBFTable shared(path, true, true);
    EXPECT_THROW(shared.Pack(), xb::EXbaseError);
  }
  xb::TxbDBFTable t(path, false, true);
  t.Table().GoToRecord(2);
  t.Table().DeleteRecord();
  t.Pack();
  EXPECT_EQ(t.Table().RecordCount(), 3);
}

}  // namespace
