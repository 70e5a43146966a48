// The DBF dataset adapter on real table files: opening, field types and
// null values, editing through the framework and directly, record locks,
// deletion, the OEM translation, filters, searches, index lists and the
// directory rule.
#include <gtest/gtest.h>

#include "support/common/temp_dir.h"
#include "xbase/dataset/xbase_dataset.h"
#include "xbase/table/dbf_builder.h"
#include "xbase/xbase_error.h"

namespace {

using testing_support::TempDir;
using xb::TFieldType;
using xb::TXbaseDataSet;

// A table "t.dbf" of a code (C 3) and a name (C 10) with the given rows.
std::string MakePeople(const TempDir &dir,
                       const std::vector<std::pair<std::string, std::string>> &rows) {
  const std::string path = xb::CreateDbfTable(dir.File("t.dbf"), xb::TxbDBFTypes::DBaseIV,
                                              {{"CODE", 'C', 3, 0}, {"NAME", 'C', 10, 0}});
  xb::DBFObject table(path, false, true);
  for (const auto &[code, name] : rows) {
    table.BlankRecord();
    table.StringPut("CODE", code);
    table.StringPut("NAME", name);
    table.AppendRecord();
  }
  return path;
}

void Bind(TXbaseDataSet &ds, const TempDir &dir, const std::string &table = "t.dbf") {
  ds.SetDatabaseName(dir.path());
  ds.SetTableName(table);
  ds.TranslateASCII = false;
}

template <typename F>
std::string ErrorOf(F f) {
  try {
    f();
  } catch (const std::exception &e) {
    return e.what();
  }
  return "no error";
}

TEST(XbaseDataSet, OpenNeedsANameAndAFile) {
  TempDir dir;
  TXbaseDataSet ds;
  ds.SetDatabaseName(dir.path() + "/");
  EXPECT_EQ(ErrorOf([&] { ds.Open(); }), "Table name missing");
  ds.SetTableName("none");
  EXPECT_EQ(ErrorOf([&] { ds.Open(); }), "Cannot find file " + dir.path() + "/none.DBF");
  EXPECT_FALSE(ds.Active());
}

TEST(XbaseDataSet, FieldTypesFollowTheDescriptors) {
  TempDir dir;
  xb::CreateDbfTable(dir.File("f.dbf"), xb::TxbDBFTypes::DBaseIV,
                     {{"S", 'C', 7, 0},
                      {"D", 'D', 8, 0},
                      {"N4", 'N', 4, 0},
                      {"N9", 'N', 9, 0},
                      {"N10", 'N', 10, 0},
                      {"F", 'N', 8, 2},
                      {"L", 'L', 1, 0}});
  struct Case {
    xb::TxbIntFields large;
    TFieldType n10;
  };
  for (const Case c : {Case{xb::TxbIntFields::asInteger, TFieldType::ftInteger},
                       Case{xb::TxbIntFields::asLargeInt, TFieldType::ftLargeint},
                       Case{xb::TxbIntFields::asFloat, TFieldType::ftFloat}}) {
    TXbaseDataSet ds;
    Bind(ds, dir, "f.dbf");
    ds.LargeIntegerAs = c.large;
    ds.Open();
    std::vector<TFieldType> types;
    for (int i = 0; i < ds.FieldCount(); ++i) types.push_back(ds.Field(i).DataType());
    EXPECT_EQ(types, (std::vector<TFieldType>{TFieldType::ftString, TFieldType::ftDate,
                                              TFieldType::ftSmallint, TFieldType::ftInteger, c.n10,
                                              TFieldType::ftFloat, TFieldType::ftBoolean}));
    EXPECT_EQ(ds.FieldByName("s").Size(), 7);
  }
}

TEST(XbaseDataSet, BlankTextAndImpossibleDatesAreNull) {
  TempDir dir;
  const std::string path =
      xb::CreateDbfTable(dir.File("f.dbf"), xb::TxbDBFTypes::DBaseIV,
                         {{"S", 'C', 5, 0}, {"D", 'D', 8, 0}, {"N", 'N', 8, 2}});
  {
    xb::DBFObject table(path, false, true);
    table.BlankRecord();
    table.FieldPut("D", "20190231");
    table.AppendRecord();
    table.BlankRecord();
    table.FieldPut("S", "AB");
    table.FieldPut("D", "20190228");
    table.AppendRecord();
  }
  TXbaseDataSet ds;
  Bind(ds, dir, "f.dbf");
  ds.Open();
  EXPECT_TRUE(ds.FieldByName("S").IsNull());
  EXPECT_EQ(ds.FieldByName("S").AsString(), "");
  EXPECT_TRUE(ds.FieldByName("D").IsNull());
  EXPECT_EQ(ds.StringGet("D"), "30.12.1899");
  EXPECT_EQ(ds.FieldByName("N").AsFloat(), 0.0);
  ds.Next();
  EXPECT_EQ(ds.FieldByName("S").AsString(), "AB");
  EXPECT_EQ(ds.FieldByName("D").AsDate(), (xb::TDateValue{2019, 2, 28}));
  ds.Edit();
  ds.FieldByName("D").SetAsString("01.03.2020");
  ds.FieldByName("N").SetAsFloat(12.5);
  ds.Post();
  EXPECT_EQ(ds.FieldGet("D"), "20200301");
  EXPECT_EQ(ds.FieldGet("N"), "   12.50");
  ds.Edit();
  ds.FieldByName("D").Clear();
  ds.Post();
  EXPECT_EQ(ds.FieldGet("D"), "        ");
}

TEST(XbaseDataSet, DirectWritesNeedEditOrInsertState) {
  TempDir dir;
  MakePeople(dir, {{"001", "Ivan"}});
  TXbaseDataSet ds;
  Bind(ds, dir);
  ds.Open();
  EXPECT_EQ(ErrorOf([&] { ds.StringPut("NAME", "X"); }), "Dataset not in edit or insert mode");
  EXPECT_EQ(ds.StringGet("NAME"), "Ivan");
  ds.Close();
  ds.Open();
  EXPECT_EQ(ds.StringGet("NAME"), "Ivan");
  ds.Edit();
  ds.StringPut("NAME", "Ivo");
  EXPECT_TRUE(ds.Modified());
  ds.Post();
  ds.Close();
  ds.Open();
  EXPECT_EQ(ds.FieldByName("NAME").AsString(), "Ivo");
  EXPECT_EQ(ErrorOf([&] { ds.StringGet("NOPE"); }),
            "There is no field name " + ds.TablePath() + "->NOPE");
}

TEST(XbaseDataSet, EditLocksTheRecordAgainstOthers) {
  TempDir dir;
  MakePeople(dir, {{"001", "Ivan"}, {"002", "Maria"}});
  TXbaseDataSet a, b;
  Bind(a, dir);
  Bind(b, dir);
  a.Open();
  b.Open();
  a.Edit();
  EXPECT_EQ(ErrorOf([&] { b.Edit(); }), "Record is locked by another user");
  EXPECT_EQ(b.State(), xb::TDataSetState::dsBrowse);
  b.Next();
  b.Edit();  // another record is free
  b.Cancel();
  a.FieldByName("NAME").SetAsString("Ivo");
  a.Post();
  b.First();
  b.Edit();  // released by the post, and re-read
  EXPECT_EQ(b.FieldByName("NAME").AsString(), "Ivo");
  b.Cancel();
}

TEST(XbaseDataSet, AppendDeleteAndNavigation) {
  TempDir dir;
  MakePeople(dir, {{"001", "A"}, {"002", "B"}, {"003", "C"}});
  TXbaseDataSet ds;
  Bind(ds, dir);
  ds.Open();
  EXPECT_EQ(ds.RecordCount(), 3);
  ds.Append();
  ds.FieldByName("CODE").SetAsString("004");
  ds.Post();
  EXPECT_EQ(ds.RecNo(), 4);
  ds.First();
  ds.Delete();  // the first: moves to the next
  EXPECT_EQ(ds.FieldByName("CODE").AsString(), "002");
  ds.Last();
  ds.Delete();  // the last visible: the new last, with EOF
  EXPECT_EQ(ds.FieldByName("CODE").AsString(), "003");
  EXPECT_TRUE(ds.Eof());
  ds.First();
  EXPECT_EQ(ds.FieldByName("CODE").AsString(), "002");
  EXPECT_TRUE(ds.Bof());
  ds.Prior();
  EXPECT_EQ(ds.FieldByName("CODE").AsString(), "002");
  ds.Next();
  ds.Next();
  EXPECT_TRUE(ds.Eof());
  EXPECT_EQ(ds.FieldByName("CODE").AsString(), "003");
  ds.ExactCount = true;
  EXPECT_EQ(ds.RecordCount(), 2);
  ds.Close();
  ds.UseDeleted = true;  // deleted records shown: one can be recalled
  ds.Open();
  EXPECT_EQ(ds.FieldByName("CODE").AsString(), "001");
  ds.Undelete();
  ds.Close();
  ds.UseDeleted = false;
  ds.Open();
  EXPECT_EQ(ds.FieldByName("CODE").AsString(), "001");
}

TEST(XbaseDataSet, TranslatedTextIsStoredInTheOemCodePage) {
  TempDir dir;
  MakePeople(dir, {{"001", "x"}});
  TXbaseDataSet ds;
  Bind(ds, dir);
  ds.TranslateASCII = true;
  ds.Open();
  ds.Edit();
  ds.FieldByName("NAME").SetAsString("\xC8\xE2\xE0\xED");  // "Иван" in 1251
  ds.Post();
  ds.Close();
  ds.Open();
  EXPECT_EQ(ds.FieldByName("NAME").AsString(), "\xC8\xE2\xE0\xED");
  EXPECT_EQ(ds.StringGet("NAME"), "\x88\xA2\xA0\xAD");  // the 866 bytes on disk
  EXPECT_TRUE(ds.Locate("NAME", {"\xC8\xE2\xE0\xED"}));
}

TEST(XbaseDataSet, FilterEventAndLocateWorkThroughTheTable) {
  TempDir dir;
  MakePeople(dir, {{"001", "Ivan"}, {"002", "Maria"}, {"003", "Petar"}});
  TXbaseDataSet ds;
  Bind(ds, dir);
  ds.OnFilterRecord = [](xb::TDataSet &d, bool &accept) {
    accept = d.FieldByName("CODE").AsString() != "002";
  };
  ds.Open();
  ds.SetFiltered(true);
  ds.Next();
  EXPECT_EQ(ds.FieldByName("CODE").AsString(), "003");
  EXPECT_FALSE(ds.IsSequenced());
  ds.SetFiltered(false);
  EXPECT_TRUE(ds.Locate(
      "NAME", {"mar"},
      unsigned(xb::TLocateOption::loPartialKey) | unsigned(xb::TLocateOption::loCaseInsensitive)));
  EXPECT_EQ(ds.RecNo(), 2);
  const auto found = ds.Lookup("CODE", {"003"}, "NAME");
  ASSERT_TRUE(found);
  EXPECT_EQ(std::get<std::string>(*(*found)[0]), "Petar");
  EXPECT_EQ(ds.RecNo(), 2);
  EXPECT_FALSE(ds.Locate("CODE", {"009"}));
  EXPECT_EQ(ds.RecNo(), 2);
}

TEST(XbaseDataSet, IndexListsSplitOutsideQuotes) {
  struct Case {
    const char *list;
    std::vector<std::string> names;
  };
  const Case cases[] = {
      {"Countries.cdx", {"Countries.cdx"}},
      {"a.ntx; b.ntx", {"a.ntx", "b.ntx"}},
      {" ;, a , b,,c ", {"a", "b", "c"}},
      {"\"x,y.ntx\";z", {"x,y.ntx", "z"}},
      {"", {}},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.list);
    EXPECT_EQ(xb::SplitIndexList(c.list), c.names);
  }
}

TEST(XbaseDataSet, IndexFilesAreResolvedAndChecked) {
  TempDir dir;
  MakePeople(dir, {{"001", "A"}});
  testing_support::WriteFileBytes(dir.File("a.ndx"), "");
  TXbaseDataSet ds;
  Bind(ds, dir);
  ds.Open();
  EXPECT_EQ(ErrorOf([&] { ds.IndexOpen("b", ""); }), "Cannot find file " + dir.path() + "/b.ndx");
  EXPECT_EQ(ErrorOf([&] { ds.IndexOpen("a; A.NDX", ""); }),
            "Index file " + dir.path() + "/A.NDX already open");
  EXPECT_EQ(ErrorOf([&] { ds.SetIndexName("TAG"); }), "Cannot find index tag TAG");
  ds.SetIndexName("");
  EXPECT_EQ(ds.FieldByName("CODE").AsString(), "001");
}

// Index files "code.ntx" (tag CODE, key CODE) and "by name.ntx" (tag
// "BY NAME", key NAME) over the table of `dir`.
void BuildIndexes(const TempDir &dir) {
  xb::DBFObject table(dir.File("t.dbf"), false, true);
  table.IndexOn("code.ntx", "", "code", "", 1, 0);
  table.IndexOn("by name.ntx", "", "name", "", 1, 0);
}

std::vector<std::string> Walk(TXbaseDataSet &ds, const std::string &field = "CODE") {
  std::vector<std::string> seen;
  for (ds.First(); !ds.Eof(); ds.Next()) seen.push_back(ds.FieldByName(field).AsString());
  return seen;
}

TEST(XbaseDataSet, AnOpenTagOrdersNavigationAndViews) {
  TempDir dir;
  MakePeople(dir, {{"003", "Cveta"}, {"001", "Boris"}, {"002", "Ana"}});
  BuildIndexes(dir);
  TXbaseDataSet ds;
  Bind(ds, dir);
  ds.Open();
  ds.IndexOpen(" \"by name.ntx\", code.ntx", "by name");
  EXPECT_EQ(ds.TagCount(), 2);
  EXPECT_EQ(ds.TagName(0), "by name");
  EXPECT_EQ(ds.TagExpression(1), "code");
  EXPECT_EQ(ds.IndexDefs()[1].fields, "CODE;");
  EXPECT_FALSE(ds.IsSequenced());
  EXPECT_EQ(Walk(ds), (std::vector<std::string>{"002", "001", "003"}));
  EXPECT_EQ(ds.RecNo(), 1);  // the record number, whatever the order
  ds.Prior();
  EXPECT_EQ(ds.FieldByName("CODE").AsString(), "001");
  // A new row takes its place in the order; the append drops the tag's pages,
  // so the next step finds its way back from the record itself.
  ds.Append();
  ds.FieldByName("CODE").SetAsString("004");
  ds.FieldByName("NAME").SetAsString("Bojan");
  ds.Post();
  ds.Next();
  EXPECT_EQ(ds.FieldByName("CODE").AsString(), "001");
  ds.Next();
  EXPECT_EQ(ds.FieldByName("CODE").AsString(), "003");
  // A view reads its rows through the same order without moving the dataset.
  xb::TRecordBuffer row, next;
  ASSERT_TRUE(ds.ReadViewFirst(row));
  ASSERT_TRUE(ds.ReadViewStep(row, xb::TGetMode::gmNext, next));
  EXPECT_EQ(ds.ViewValue(ds.FieldByName("CODE"), next), xb::TFieldData(std::string("004")));
  EXPECT_EQ(ds.FieldByName("CODE").AsString(), "003");
  // Another tag keeps the record; natural order keeps it too.
  ds.SetIndexName("CODE");
  EXPECT_EQ(ds.FieldByName("CODE").AsString(), "003");
  ds.Next();
  EXPECT_EQ(ds.FieldByName("CODE").AsString(), "004");
  ds.SetIndexName("");
  EXPECT_EQ(ds.RecNo(), 4);
  EXPECT_EQ(Walk(ds), (std::vector<std::string>{"003", "001", "002", "004"}));
  // An unknown tag leaves the order as it was.
  ds.SetIndexName("code");
  EXPECT_EQ(ErrorOf([&] { ds.SetIndexName("NAME"); }), "Cannot find index tag NAME");
  EXPECT_EQ(ds.IndexName(), "code");
  EXPECT_EQ(Walk(ds), (std::vector<std::string>{"001", "002", "003", "004"}));
  // The list and the tag are opened again with the table.
  ds.Close();
  ds.Open();
  EXPECT_EQ(ds.IndexFiles(), (std::vector<std::string>{"by name.ntx", "code.ntx"}));
  EXPECT_EQ(ds.FieldByName("CODE").AsString(), "001");
  ds.SetIndexFiles({"by name.ntx"});  // without the selected tag
  EXPECT_EQ(ds.IndexName(), "");
  EXPECT_EQ(ds.TagCount(), 1);
}

TEST(XbaseDataSet, ACompoundIndexOpensLikeThePickListOpensIt) {
  TempDir dir;
  MakePeople(dir, {{"BG", "Bulgaria"}, {"AT", "Austria"}, {"GR", "Greece"}});
  {
    xb::DBFObject table(dir.File("t.dbf"), false, true);
    table.IndexOn("Countries.cdx", "Countries", "code", "", 1, 0);
  }
  TXbaseDataSet ds;
  Bind(ds, dir);
  ds.ReadOnly = true;
  ds.Open();
  ds.IndexOpen("Countries.cdx", "Countries");
  EXPECT_EQ(Walk(ds), (std::vector<std::string>{"AT", "BG", "GR"}));
  EXPECT_TRUE(ds.Locate("CODE", {"GR"}));
  EXPECT_EQ(ds.RecNo(), 3);
}

TEST(XbaseDataSet, RangeAndSetKeyFollowTheCurrentTag) {
  TempDir dir;
  MakePeople(dir, {{"001", "Ana"}, {"002", "Boris"}, {"003", "Bojan"}, {"004", "Cveta"}});
  BuildIndexes(dir);
  TXbaseDataSet ds;
  Bind(ds, dir);
  ds.Open();
  ds.SetRange("B", "B");  // no tag: nothing happens
  EXPECT_EQ(Walk(ds).size(), 4u);
  ds.IndexOpen("by name.ntx", "by name");
  ds.Next();
  ds.SetRange("B", "B");
  EXPECT_EQ(ds.FieldByName("NAME").AsString(), "Bojan");
  EXPECT_EQ(Walk(ds, "NAME"), (std::vector<std::string>{"Bojan", "Boris"}));
  ds.Last();
  EXPECT_EQ(ds.FieldByName("NAME").AsString(), "Boris");
  ds.SetRange("", "");
  EXPECT_EQ(Walk(ds).size(), 4u);

  ds.SetKey();
  ds.FieldByName("NAME").SetAsString("Ana");
  EXPECT_EQ(ErrorOf([&] { ds.FieldByName("CODE").SetAsString("001"); }),
            "Field 'CODE' is not indexed and cannot be modified");
  ds.Cancel();
  ds.SetIndexName("");
  ds.SetKey();
  EXPECT_EQ(ErrorOf([&] { ds.FieldByName("NAME").SetAsString("Ana"); }),
            "Field 'NAME' is not indexed and cannot be modified");
  ds.Cancel();
}

TEST(XbaseDataSet, DatabaseNameFollowsTheAliasList) {
  TempDir dir;
  testing_support::WriteFileBytes(dir.File("xbase.cfg"),
                                  "[Other]\nDATA=/nowhere\n[Alias]\nData = /srv/tables\n");
  xb::LoadAliasList(dir.File("xbase.cfg"));
  EXPECT_EQ(xb::DatasetDirectory("data"), "/srv/tables/");
  EXPECT_EQ(xb::DatasetDirectory("/var/x/"), "/var/x/");
  EXPECT_EQ(xb::DatasetDirectory("default directory"), xb::ProgramDirectory());
  TXbaseDataSet ds;
  ds.SetDatabaseName("/var/y/");
  EXPECT_EQ(ds.DatabaseName(), "/var/y");
  EXPECT_EQ(xb::AliasList().at("/var/y"), "/var/y");
  ds.SetTableName("dvel.dbf");
  EXPECT_EQ(ds.TablePath(), "/var/y/dvel.dbf");
  xb::LoadAliasList(dir.File("missing.cfg"));
  EXPECT_TRUE(xb::AliasList().empty());
}

}  // namespace
