// The dataset framework's states, navigation, editing, events, data links,
// filters and searches, against the in-memory test dataset.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "support/common/memory_dataset.h"
#include "xbase/dataset/dataset.h"

namespace {

using testing::ElementsAre;
using testing_support::TMemoryDataSet;
using xb::TDataSetState;
using xb::TFieldType;

// Three rows: code, name.
class DataSetTest : public testing::Test {
 protected:
  DataSetTest() : ds({{"CODE", TFieldType::ftString, 3}, {"NAME", TFieldType::ftString, 10}}) {
    ds.AddRow({"001", "Ivan"});
    ds.AddRow({"002", "Maria"});
    ds.AddRow({"003", "Petar"});
  }
  std::string Code() { return ds.FieldByName("code").AsString(); }
  TMemoryDataSet ds;
};

// Records every event and link notification in order.
class Recorder : public xb::TDataLink {
 public:
  std::vector<std::string> log;
  void Watch(xb::TDataSet &ds) {
    auto hook = [this](const char *name) {
      return [this, name](xb::TDataSet &) { log.push_back(name); };
    };
    ds.BeforeOpen = hook("BeforeOpen");
    ds.AfterOpen = hook("AfterOpen");
    ds.BeforeClose = hook("BeforeClose");
    ds.AfterClose = hook("AfterClose");
    ds.BeforeEdit = hook("BeforeEdit");
    ds.AfterEdit = hook("AfterEdit");
    ds.BeforeInsert = hook("BeforeInsert");
    ds.AfterInsert = hook("AfterInsert");
    ds.BeforePost = hook("BeforePost");
    ds.AfterPost = hook("AfterPost");
    ds.BeforeCancel = hook("BeforeCancel");
    ds.AfterCancel = hook("AfterCancel");
    ds.BeforeDelete = hook("BeforeDelete");
    ds.AfterDelete = hook("AfterDelete");
    ds.BeforeScroll = hook("BeforeScroll");
    ds.AfterScroll = hook("AfterScroll");
    ds.OnNewRecord = hook("OnNewRecord");
  }

 protected:
  void ActiveChanged() override { log.push_back(Active() ? "link:Active" : "link:Inactive"); }
  void EditingChanged() override { log.push_back(Editing() ? "link:Editing" : "link:Browsing"); }
  void DataSetChanged() override { log.push_back("link:Changed"); }
  void DataSetScrolled(int distance) override {
    log.push_back("link:Scrolled" + std::to_string(distance));
  }
  void RecordChanged(xb::TField *field) override {
    log.push_back(field ? "link:Field " + field->FieldName() : "link:Record");
  }
  void UpdateData() override { log.push_back("link:UpdateData"); }
};

TEST_F(DataSetTest, NavigatesWithBofAndEofAtBothEnds) {
  ds.Open();
  EXPECT_EQ(Code(), "001");
  EXPECT_TRUE(ds.Bof());
  EXPECT_FALSE(ds.Eof());
  ds.Next();
  EXPECT_EQ(Code(), "002");
  EXPECT_FALSE(ds.Bof());
  ds.Last();
  EXPECT_EQ(Code(), "003");
  EXPECT_TRUE(ds.Eof());
  ds.Next();  // stays on the last record
  EXPECT_EQ(Code(), "003");
  ds.Prior();
  EXPECT_EQ(Code(), "002");
  EXPECT_FALSE(ds.Eof());
  EXPECT_EQ(ds.MoveBy(-5), -1);
  EXPECT_TRUE(ds.Bof());
  EXPECT_EQ(ds.MoveBy(5), 2);
  EXPECT_TRUE(ds.Eof());
  EXPECT_EQ(ds.RecNo(), 3);
  ds.SetRecNo(2);
  EXPECT_EQ(Code(), "002");
  const xb::TBookmark mark = ds.GetBookmark();
  ds.First();
  ds.GotoBookmark(mark);
  EXPECT_EQ(Code(), "002");
}

TEST(DataSetEmpty, HasBofAndEofAndNullFields) {
  TMemoryDataSet ds({{"CODE", TFieldType::ftString, 3}});
  ds.Open();
  EXPECT_TRUE(ds.Bof() && ds.Eof() && ds.IsEmpty());
  EXPECT_TRUE(ds.FieldByName("CODE").IsNull());
  ds.Next();
  EXPECT_THROW(ds.Delete(), xb::EDatabaseError);
  ds.Edit();  // an empty dataset starts an insert
  EXPECT_EQ(ds.State(), TDataSetState::dsInsert);
  ds.FieldByName("CODE").SetAsString("A");
  ds.Post();
  EXPECT_FALSE(ds.IsEmpty());
  EXPECT_FALSE(ds.Eof());
  EXPECT_EQ(ds.Rows(), (std::vector<std::vector<std::string>>{{"A"}}));
}

TEST_F(DataSetTest, ClosedDatasetRefusesRecordCountAndRecNo) {
  try {
    ds.RecordCount();
    FAIL();
  } catch (const xb::EDatabaseError &e) {
    EXPECT_STREQ(e.what(), "Cannot perform this operation on a closed dataset");
  }
  EXPECT_THROW(ds.RecNo(), xb::EDatabaseError);
  try {
    ds.Open();
    ds.FieldByName("nope");
    FAIL();
  } catch (const xb::EDatabaseError &e) {
    EXPECT_STREQ(e.what(), "Field 'nope' not found");
  }
}

TEST_F(DataSetTest, EditPostWritesAndCancelRestores) {
  ds.Open();
  ds.Next();
  ds.Edit();
  ds.FieldByName("NAME").SetAsString("Mara");
  EXPECT_TRUE(ds.Modified());
  ds.Cancel();
  EXPECT_EQ(ds.FieldByName("NAME").AsString(), "Maria");
  ds.Edit();
  ds.FieldByName("NAME").SetAsString("Mara");
  ds.Post();
  EXPECT_EQ(ds.State(), TDataSetState::dsBrowse);
  EXPECT_EQ(ds.FieldByName("NAME").AsString(), "Mara");
  EXPECT_EQ(ds.Rows()[1][1], "Mara");
}

TEST_F(DataSetTest, WritingInBrowseStateFailsAndChangesNothing) {
  ds.Open();
  try {
    ds.FieldByName("NAME").SetAsString("X");
    FAIL();
  } catch (const xb::EDatabaseError &e) {
    EXPECT_STREQ(e.what(), "Dataset not in edit or insert mode");
  }
  EXPECT_THROW(ds.Post(), xb::EDatabaseError);
  EXPECT_EQ(ds.FieldByName("NAME").AsString(), "Ivan");
  ds.FieldByName("NAME").ReadOnly = true;
  ds.Edit();
  try {
    ds.FieldByName("NAME").SetAsString("X");
    FAIL();
  } catch (const xb::EDatabaseError &e) {
    EXPECT_STREQ(e.what(), "Field 'NAME' cannot be modified");
  }
}

TEST_F(DataSetTest, NavigatingAwayPostsAModifiedRecord) {
  ds.Open();
  ds.Edit();
  ds.FieldByName("NAME").SetAsString("Ivo");
  ds.Next();
  EXPECT_EQ(ds.State(), TDataSetState::dsBrowse);
  EXPECT_EQ(ds.Rows()[0][1], "Ivo");
  EXPECT_EQ(Code(), "002");
}

TEST_F(DataSetTest, InsertPostAddsAndCancelReturnsToTheRecord) {
  ds.Open();
  ds.Next();
  ds.Insert();
  EXPECT_TRUE(ds.FieldByName("CODE").IsNull());
  ds.Cancel();
  EXPECT_EQ(Code(), "002");
  ds.Append();
  ds.FieldByName("CODE").SetAsString("004");
  ds.Post();
  EXPECT_EQ(Code(), "004");
  EXPECT_EQ(ds.RecordCount(), 4);
  ds.Prior();
  EXPECT_EQ(Code(), "003");
}

TEST_F(DataSetTest, FailedPostStaysInEditState) {
  ds.Open();
  ds.Edit();
  ds.FieldByName("NAME").SetAsString("Ivo");
  ds.failNextPost = "Record is locked by another user";
  EXPECT_THROW(ds.Post(), xb::EDatabaseError);
  EXPECT_EQ(ds.State(), TDataSetState::dsEdit);
  ds.BeforePost = [](xb::TDataSet &) { throw xb::EDatabaseError("refused"); };
  EXPECT_THROW(ds.Post(), xb::EDatabaseError);
  EXPECT_EQ(ds.State(), TDataSetState::dsEdit);
  EXPECT_EQ(ds.FieldByName("NAME").AsString(), "Ivo");
  EXPECT_EQ(ds.Rows()[0][1], "Ivan");
}

TEST_F(DataSetTest, DeleteMovesToNextOrToTheNewLastWithEof) {
  ds.Open();
  ds.Delete();
  EXPECT_EQ(Code(), "002");
  EXPECT_FALSE(ds.Eof());
  ds.Last();
  ds.Prior();
  ds.Next();  // on the last record, EOF not yet known
  ds.Delete();
  EXPECT_EQ(Code(), "002");
  EXPECT_TRUE(ds.Eof());
  ds.Delete();
  EXPECT_TRUE(ds.IsEmpty() && ds.Bof() && ds.Eof());
}

TEST_F(DataSetTest, EventsComeInOrder) {
  Recorder rec;
  xb::TDataSource source(&ds);
  rec.SetDataSource(&source);
  rec.Watch(ds);
  struct Case {
    const char *name;
    std::function<void()> act;
    std::vector<std::string> expected;
  };
  const Case cases[] = {
      {"open",
       [&] { ds.Open(); },
       {"BeforeOpen", "link:Active", "link:Changed", "AfterOpen", "AfterScroll"}},
      {"next", [&] { ds.Next(); }, {"BeforeScroll", "link:Scrolled1", "AfterScroll"}},
      {"edit", [&] { ds.Edit(); }, {"BeforeEdit", "link:Editing", "link:Record", "AfterEdit"}},
      {"set", [&] { ds.FieldByName("NAME").SetAsString("M"); }, {"link:Field NAME"}},
      {"post",
       [&] { ds.Post(); },
       {"link:UpdateData", "BeforePost", "link:Browsing", "link:Changed", "AfterPost"}},
      {"insert",
       [&] { ds.Insert(); },
       {"BeforeInsert", "BeforeScroll", "link:Editing", "OnNewRecord", "link:Changed",
        "AfterInsert", "AfterScroll"}},
      {"cancel",
       [&] { ds.Cancel(); },
       {"BeforeCancel", "link:Browsing", "link:Changed", "AfterCancel"}},
      {"delete",
       [&] { ds.Delete(); },
       {"BeforeDelete", "BeforeScroll", "link:Changed", "AfterDelete", "AfterScroll"}},
      {"close", [&] { ds.Close(); }, {"BeforeClose", "link:Inactive", "AfterClose"}},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    rec.log.clear();
    c.act();
    EXPECT_EQ(rec.log, c.expected);
  }
}

TEST_F(DataSetTest, DisabledControlsHearOneChangeWhenEnabled) {
  Recorder rec;
  xb::TDataSource source(&ds);
  rec.SetDataSource(&source);
  ds.Open();
  rec.log.clear();
  ds.DisableControls();
  ds.Next();
  ds.Edit();
  ds.Cancel();
  ds.Last();
  EXPECT_TRUE(rec.log.empty());
  ds.EnableControls();
  EXPECT_EQ(rec.log, std::vector<std::string>{"link:Changed"});
  source.SetEnabled(false);
  EXPECT_EQ(rec.log.back(), "link:Inactive");
}

TEST_F(DataSetTest, FilterRecordEventHidesRecords) {
  ds.OnFilterRecord = [](xb::TDataSet &d, bool &accept) {
    accept = d.FieldByName("NAME").AsString().find('a') != std::string::npos;
  };
  ds.Open();
  ds.Last();
  ds.SetFiltered(true);
  EXPECT_EQ(Code(), "001");  // setting the filter goes to the first record
  ds.Next();
  EXPECT_EQ(Code(), "002");
  ds.Next();
  EXPECT_EQ(Code(), "003");
  ds.SetFiltered(false);
  EXPECT_EQ(ds.RecordCount(), 3);
  ds.OnFilterRecord = [](xb::TDataSet &d, bool &accept) {
    accept = d.FieldByName("CODE").AsString() != "002";
  };
  ds.SetFiltered(true);
  ds.Next();
  EXPECT_EQ(Code(), "003");
}

TEST_F(DataSetTest, LocateMovesOnlyWhenFoundAndLookupNeverMoves) {
  ds.Open();
  ds.Next();
  Recorder rec;
  rec.Watch(ds);
  EXPECT_FALSE(ds.Locate("NAME", {"petar"}));
  EXPECT_EQ(Code(), "002");
  EXPECT_TRUE(rec.log.empty());
  EXPECT_TRUE(ds.Locate(
      "NAME", {"pet"},
      unsigned(xb::TLocateOption::loCaseInsensitive) | unsigned(xb::TLocateOption::loPartialKey)));
  EXPECT_EQ(Code(), "003");
  EXPECT_EQ(rec.log, (std::vector<std::string>{"BeforeScroll", "AfterScroll"}));
  const auto found = ds.Lookup("CODE;NAME", {"001", "Ivan"}, "NAME");
  ASSERT_TRUE(found);
  EXPECT_EQ(std::get<std::string>(*(*found)[0]), "Ivan");
  EXPECT_FALSE(ds.Lookup("CODE", {"009"}, "NAME"));
  EXPECT_EQ(Code(), "003");
  ds.Prior();
  EXPECT_EQ(Code(), "002");
  ds.Close();  // before the recorder goes
}

TEST_F(DataSetTest, ViewReadsDoNotMoveTheActiveRecord) {
  ds.Open();
  ds.Next();
  xb::TRecordBuffer row;
  ASSERT_TRUE(ds.ReadViewLast(row));
  EXPECT_EQ(ds.ViewValue(ds.FieldByName("CODE"), row), xb::TFieldData("003"));
  ASSERT_TRUE(ds.ReadViewRecordAt(1, row));
  EXPECT_EQ(ds.FieldByName("CODE").TextOf(ds.ViewValue(ds.FieldByName("CODE"), row)), "001");
  EXPECT_EQ(Code(), "002");
  ds.Next();
  EXPECT_EQ(Code(), "003");
}

TEST_F(DataSetTest, CalculatedFieldsFollowTheRecord) {
  xb::TField &upper = ds.AddCalculatedField({"UPPER", TFieldType::ftString, 10});
  ds.OnCalcFields = [](xb::TDataSet &d) {
    std::string s = d.FieldByName("NAME").AsString();
    for (char &c : s) c = static_cast<char>(toupper(c));
    d.FieldByName("UPPER").SetAsString(s);
  };
  ds.Open();
  EXPECT_EQ(upper.AsString(), "IVAN");
  ds.Next();
  EXPECT_EQ(upper.AsString(), "MARIA");
  ds.Edit();
  ds.FieldByName("NAME").SetAsString("Mia");
  EXPECT_EQ(upper.AsString(), "MIA");
  ds.Close();
  ds.Open();
  EXPECT_EQ(ds.FieldCount(), 3);
  EXPECT_EQ(ds.FindField("upper"), &upper);
}

TEST(DataSetFieldText, ConvertsByType) {
  TMemoryDataSet ds({{"N", TFieldType::ftInteger, 6}});
  ds.Open();
  const xb::TField &n = ds.FieldByName("N");
  EXPECT_EQ(n.ParseText(" 42 "), xb::TFieldData(std::int64_t{42}));
  EXPECT_EQ(n.ParseText(""), std::nullopt);
  try {
    n.ParseText("4x");
    FAIL();
  } catch (const xb::EDatabaseError &e) {
    EXPECT_STREQ(e.what(), "'4x' is not a valid integer value");
  }
  EXPECT_EQ(n.TextOf(xb::TDateValue{2019, 2, 8}), "08.02.2019");
  EXPECT_FALSE(xb::ParseYmd("20190231"));
  EXPECT_TRUE(xb::ParseYmd("20200229"));
  EXPECT_FALSE(xb::ParseYmd("2019023 "));
}

}  // namespace
