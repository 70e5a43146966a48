// NTX indexes on real tables: building, opening, searching, navigation in
// tag order, upkeep after appends and rewrites (against a model), sharing
// between two table objects, pack, and the files and names that are refused.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <random>

#include "table_fixture.h"
#include "xbase/index/index_file.h"
#include "xbase/index/ntx_format.h"
#include "xbase/index/ntx_tag.h"
#include "xbase/index/ntx_verify.h"
#include "xbase/index/plain_field_key.h"
#include "xbase/table/dbf_object.h"
#include "xbase/xbase_error.h"

namespace xb {
namespace {

using testing_support::ReadFileBytes;
using testing_support::TempDir;

std::string Key(const std::string &f04, const std::string &f10) {
  std::string k = f04;
  k.resize(13, ' ');
  std::string code = f10;
  code.resize(5, ' ');
  return k + code;
}

void AppendRow(XBO_dBHandler &t, const std::string &f04, const std::string &f10) {
  testing::AppendValues(t, {"", "0", "0", f04, "", "", "", "", "", f10});
}

std::string ErrorOf(const std::function<void()> &fn) {
  try {
    fn();
  } catch (const EXbaseError &e) {
    return e.what();
  }
  return "no error";
}

XBobjNTXTag &NtxTag(XBO_dBHandler &t) { return static_cast<XBobjNTXTag &>(*t.CurrentTag()); }

TEST(NtxIndex, EmptyTableGivesHeaderAndEmptyRoot) {
  TempDir dir;
  const std::string path = dir.File("dvel.dbf");
  CreateDbfTable(path, TxbDBFTypes::Clipper, testing::IncomeFields());
  XBO_dBHandler t(path, true, true);
  t.IndexOn("dvel.ntx", "dvel", "f04+f10", "", 1, 0);
  const std::string bytes = ReadFileBytes(dir.File("dvel.ntx"));
  ASSERT_EQ(bytes.size(), 2048u);
  EXPECT_EQ(GetLE16(&bytes[0]), 6);
  EXPECT_EQ(GetLE16(&bytes[2]), 1);
  EXPECT_EQ(GetLE32(&bytes[4]), 1024u);
  EXPECT_EQ(GetLE16(&bytes[14]), 18);
  EXPECT_EQ(GetLE16(&bytes[18]), 34);
  EXPECT_EQ(GetLE16(&bytes[1024]), 0);
  EXPECT_EQ(GetLE16(&bytes[1026]), 72);
  t.IndexOpen("dvel.ntx", "DVEL");
  EXPECT_EQ(t.FindInTag("dvel", Key("1", "101")), 0);
  t.GoToRecord(kGoFirst);
  EXPECT_TRUE(t.Eof());
}

// Which key expressions are read straight from the record bytes.
TEST(NtxIndex, OnlyJoinedCharacterFieldsAreReadAsPlainKeys) {
  TempDir dir;
  const std::string path = dir.File("t.dbf");
  CreateDbfTable(path, TxbDBFTypes::Clipper, testing::IncomeFields());
  XBO_dBHandler t(path, true, false);
  const struct {
    const char *expression;
    size_t length;  // 0: not a plain key
  } cases[] = {{"f04+f10", 18}, {"F04 + f10 + F02", 19}, {"t->f10", 5},  {"(f04+f10)", 0},
               {"f04-f10", 0},  {"upper(f04)+f10", 0},   {"f04+'x'", 0}, {"recno()", 0}};
  for (const auto &c : cases) {
    const TxbExpHandler expression(&t.ExpressionLink(), false, t.Alias(), c.expression);
    const auto plain = PlainFieldKey::Of(expression, t.RecordLength());
    EXPECT_EQ(plain ? plain->Length() : 0, c.length) << c.expression;
  }
}

// A key of joined fields is read from the record bytes; the same key in
// parentheses goes through the expression for every record. Both must write
// the same tree over rows with duplicates, blanks, lower-case Latin and
// Cyrillic letters and deleted rows, whatever the order and flags.
TEST(NtxIndex, PlainKeysWriteTheSameTreeAsTheExpression) {
  TempDir dir;
  const std::string path = dir.File("t.dbf");
  BuiltTable built = BuildEmptyTable(testing::IncomeFields(), TxbDBFTypes::Clipper, "T", Now());
  std::string bytes = built.table;
  bytes.pop_back();
  std::mt19937 random(11);
  const std::string letters = "09az AZ\xe0\xc0\xff\xb8";
  const int rows = 1500;  // three levels of pages
  for (int i = 0; i < rows; ++i) {
    std::string record(154, ' ');
    if (random() % 10 == 0) record[0] = '*';
    for (size_t at = 8; at < 8 + random() % 14; ++at)
      record[at] = letters[random() % letters.size()];
    for (size_t at = 129; at < 129 + random() % 6; ++at) record[at] = letters[random() % 4];
    bytes += record;
  }
  bytes += '\x1A';
  PutLE32(bytes.data() + 4, static_cast<uint32_t>(rows));
  testing_support::WriteFileBytes(path, bytes);

  XBO_dBHandler t(path, true, true);
  const struct { int unique, order; } cases[] = {{1, 0}, {1, 1}, {0, 0}, {0, 1}, {1, 7}, {0, 8}};
  for (const auto &c : cases) {
    SCOPED_TRACE(::testing::Message() << "unique " << c.unique << " order " << c.order);
    t.IndexOn("plain.ntx", "", "f04+f10", "", c.unique, c.order);
    t.IndexOn("expr.ntx", "", "(f04+f10)", "", c.unique, c.order);
    std::string plain = ReadFileBytes(dir.File("plain.ntx"));
    std::string expression = ReadFileBytes(dir.File("expr.ntx"));
    ASSERT_GT(plain.size(), 4 * 1024u);
    // Only the key expression's text in the header may differ.
    plain.replace(22, 256, 256, '\0');
    expression.replace(22, 256, 256, '\0');
    EXPECT_EQ(plain, expression);
  }
}

TEST(NtxIndex, BuildsSearchesAndWalksInKeyOrder) {
  TempDir dir;
  const std::string path = dir.File("dvel.dbf");
  CreateDbfTable(path, TxbDBFTypes::Clipper, testing::IncomeFields());
  XBO_dBHandler t(path, true, true);
  // 35 rows in descending identifier order, two of them sharing a key.
  for (int i = 35; i >= 1; --i) AppendRow(t, std::to_string(1000000000 + i), "101");
  AppendRow(t, "1000000007", "101");  // record 36, same key as record 29
  t.IndexOn("dvel.ntx", "x", "f04+f10", "", 1, 0);
  const std::string bytes = ReadFileBytes(dir.File("dvel.ntx"));
  EXPECT_EQ(bytes.size(), 4096u);
  EXPECT_EQ(GetLE32(&bytes[4]), 3072u);
  EXPECT_EQ(GetLE16(&bytes[1024]), 18);
  EXPECT_EQ(GetLE16(&bytes[2048]), 17);
  EXPECT_EQ(GetLE16(&bytes[3072]), 1);

  t.IndexOpen("dvel.ntx", "dvel");
  EXPECT_EQ(t.FindInTag("dvel", Key("1000000007", "101")), 29);  // the earlier record
  EXPECT_EQ(t.FindInTag("dvel", "1000000007   101"), 29);        // without trailing blanks
  EXPECT_EQ(t.FindInTag("dvel", "1000000007"), 0);               // a shorter key
  EXPECT_EQ(t.FindInTag("dvel", Key("1000000036", "101")), 0);
  std::vector<int64_t> order;
  for (t.GoToRecord(kGoFirst); !t.Eof(); t.GoToRecord(kGoNext)) order.push_back(t.RecordNumber());
  std::vector<int64_t> want;
  for (int r = 35; r >= 1; --r) {
    want.push_back(r);
    if (r == 29) want.push_back(36);
  }
  EXPECT_EQ(order, want);
  // Backwards, and deleted records are skipped.
  t.GoToRecord(30);
  t.DeleteRecord();
  std::vector<int64_t> back;
  for (t.GoToRecord(kGoLast); !t.Bof() && !t.Eof(); t.GoToRecord(kGoPrior))
    back.push_back(t.RecordNumber());
  want.erase(std::find(want.begin(), want.end(), 30));
  std::reverse(want.begin(), want.end());
  EXPECT_EQ(back, want);

  t.SetExact(false);
  EXPECT_TRUE(t.Find("100000001"));
  EXPECT_EQ(t.RecordNumber(), 26);
  EXPECT_FALSE(t.Find("2"));
  EXPECT_TRUE(t.Eof());

  // A unique tag keeps only the first of equal keys.
  t.IndexOn("uniq.ntx", "", "f04+f10", "", 0, 0);
  t.IndexOpen("uniq.ntx", "uniq");
  int count = 0;
  for (t.GoToRecord(kGoFirst); !t.Eof(); t.GoToRecord(kGoNext)) ++count;
  EXPECT_EQ(count, 34);  // 36 rows, one duplicate, one deleted
}

TEST(NtxIndex, NumericAndDateKeysAndForConditions) {
  TempDir dir;
  const std::string path = dir.File("typed.dbf");
  CreateDbfTable(path, TxbDBFTypes::Clipper, testing::TypedFields());
  XBO_dBHandler t(path, true, true);
  const char *counts[] = {"3", "-5", "0", "-120", "44"};
  const char *days[] = {"20240105", "19991231", "", "20240104", "20000101"};
  for (int i = 0; i < 5; ++i) testing::AppendValues(t, {"n", "0", counts[i], days[i], "T"});
  t.IndexOn("count.ntx", "", "count", "", 1, 0);
  t.IndexOn("day.ntx", "", "day", "count > 0", 1, 0);
  const std::string bytes = ReadFileBytes(dir.File("count.ntx"));
  EXPECT_EQ(GetLE16(&bytes[14]), 4);
  const size_t first_slot = 1024 + 2 * NtxMaxEntries(4) + 4;
  EXPECT_EQ(bytes.substr(first_slot + 8, 4), ",+*,");  // -120 first
  t.IndexOpen("count.ntx;day.ntx", "count");
  std::vector<int64_t> order;
  for (t.GoToRecord(kGoFirst); !t.Eof(); t.GoToRecord(kGoNext)) order.push_back(t.RecordNumber());
  EXPECT_EQ(order, (std::vector<int64_t>{4, 2, 3, 1, 5}));
  EXPECT_EQ(t.FindInTag("count", "-5"), 2);
  t.SetTag("day");
  order.clear();
  for (t.GoToRecord(kGoFirst); !t.Eof(); t.GoToRecord(kGoNext)) order.push_back(t.RecordNumber());
  EXPECT_EQ(order, (std::vector<int64_t>{5, 1}));  // only positive counts, by date
  // A rewrite that makes the condition true adds the entry.
  t.GoToRecord(4);
  t.StringPut("COUNT", "7");
  t.WriteRecord(4);
  EXPECT_EQ(t.FindInTag("day", "20240104"), 4);
  t.GoToRecord(1);
  t.StringPut("COUNT", "-1");
  t.WriteRecord(1);
  EXPECT_EQ(t.FindInTag("day", "20240105"), 0);
  EXPECT_EQ(t.FindInTag("count", "-1"), 1);
}

// What an index must hold: (key, record) in index order, equal keys in the
// order they were inserted.
using Entries = std::vector<std::pair<std::string, uint32_t>>;

void ModelInsert(Entries &model, const std::string &key, uint32_t record) {
  auto at = std::partition_point(model.begin(), model.end(),
                                 [&](const auto &e) { return e.first <= key; });
  model.insert(at, {key, record});
}

Entries IndexEntries(XBO_dBHandler &t) {
  NtxTree::CheckResult check = NtxTag(t).Tree().Check();
  EXPECT_TRUE(check.problems.empty()) << check.problems.front();
  Entries out;
  for (const auto &e : check.entries) out.emplace_back(e.key, e.record);
  return out;
}

TEST(NtxIndex, AppendsAndRewritesKeepTheIndexEqualToAModel) {
  TempDir dir;
  const std::string path = dir.File("dvel.dbf");
  CreateDbfTable(path, TxbDBFTypes::Clipper, testing::IncomeFields());
  XBO_dBHandler t(path, false, true);
  t.IndexOn("dvel.ntx", "dvel", "f04+f10", "", 1, 0);
  t.IndexOpen("dvel.ntx", "dvel");
  std::mt19937 random(5);
  Entries model;
  std::vector<std::string> keys;  // current key of each record
  auto random_row = [&] {
    return std::make_pair(std::to_string(1000000000 + random() % 60),
                          std::to_string(100 + random() % 3));
  };
  for (int batch = 0; batch < 20; ++batch) {
    for (int step = 0; step < 100; ++step) {
      const auto [f04, f10] = random_row();
      const std::string key = Key(f04, f10);
      if (keys.empty() || random() % 2 == 0) {
        AppendRow(t, f04, f10);
        keys.push_back(key);
        ModelInsert(model, key, static_cast<uint32_t>(keys.size()));
      } else {
        const uint32_t r = static_cast<uint32_t>(random() % keys.size() + 1);
        t.GoToRecord(r);
        t.StringPut("F04", f04);
        t.StringPut("F10", f10);
        t.WriteRecord(r);
        if (keys[r - 1] != key) {
          model.erase(std::find(model.begin(), model.end(), std::make_pair(keys[r - 1], r)));
          ModelInsert(model, key, r);
          keys[r - 1] = key;
        }
      }
    }
    ASSERT_EQ(IndexEntries(t), model) << "batch " << batch;
  }
  // A fresh build orders equal keys by record number: same keys, same
  // records per key.
  t.Reindex();
  Entries rebuilt = IndexEntries(t);
  std::stable_sort(model.begin(), model.end());
  EXPECT_EQ(rebuilt, model);
}

TEST(NtxIndex, AnotherTableObjectSeesNewKeys) {
  TempDir dir;
  const std::string path = dir.File("dvel.dbf");
  CreateDbfTable(path, TxbDBFTypes::Clipper, testing::IncomeFields());
  {
    XBO_dBHandler build(path, true, true);
    for (int i = 0; i < 40; ++i) AppendRow(build, std::to_string(2000000000 + i), "101");
    build.IndexOn("dvel.ntx", "dvel", "f04+f10", "", 1, 0);
  }
  XBO_dBHandler a(path, true, true);
  XBO_dBHandler b(path, true, true);
  a.IndexOpen("dvel.ntx", "dvel");
  b.IndexOpen("dvel.ntx", "dvel");
  EXPECT_EQ(b.FindInTag("dvel", Key("2000000007", "101")), 8);
  for (int i = 0; i < 30; ++i) AppendRow(a, std::to_string(1000000000 + i), "820");  // splits
  EXPECT_EQ(b.FindInTag("dvel", Key("1000000029", "820")), 70);
  EXPECT_EQ(b.FindInTag("dvel", Key("2000000007", "101")), 8);
  AppendRow(b, "3", "101");
  EXPECT_EQ(a.FindInTag("dvel", Key("3", "101")), 71);
  b.GoToRecord(kGoFirst);
  EXPECT_EQ(b.RecordNumber(), 41);
}

TEST(NtxIndex, PackRebuildsOpenIndexes) {
  TempDir dir;
  const std::string path = dir.File("dvel.dbf");
  CreateDbfTable(path, TxbDBFTypes::Clipper, testing::IncomeFields());
  XBO_dBHandler t(path, false, true);
  for (int i = 0; i < 50; ++i) AppendRow(t, std::to_string(1000000000 + i), "101");
  t.IndexOn("dvel.ntx", "dvel", "f04+f10", "", 1, 0);
  t.IndexOpen("dvel.ntx", "dvel");
  for (int r = 1; r <= 50; r += 2) {
    t.GoToRecord(r);
    t.DeleteRecord();
  }
  t.Pack();
  EXPECT_EQ(t.RecordCount(), 25);
  EXPECT_EQ(t.FindInTag("dvel", Key("1000000001", "101")), 1);
  EXPECT_EQ(t.FindInTag("dvel", Key("1000000049", "101")), 25);
  EXPECT_EQ(t.FindInTag("dvel", Key("1000000000", "101")), 0);
  EXPECT_EQ(IndexEntries(t).size(), 25u);
}

TEST(NtxIndex, RefusesOtherFormatsMissingFilesUnknownTagsAndLongKeys) {
  TempDir dir;
  const std::string path = dir.File("dvel.dbf");
  CreateDbfTable(path, TxbDBFTypes::Clipper, testing::IncomeFields());
  XBO_dBHandler t(path, true, true);
  AppendRow(t, "1", "101");
  EXPECT_EQ(ErrorOf([&] { t.IndexOpen("dvel", "dvel"); }),
            "Index file " + dir.File("dvel.ndx") + " has a format that is not supported");
  EXPECT_EQ(ErrorOf([&] { t.IndexOn("dvel.mdx", "dvel", "f04", "", 1, 0); }),
            "Index file " + dir.File("dvel.mdx") + " has a format that is not supported");
  EXPECT_EQ(ErrorOf([&] { t.IndexOpen("none.ntx", "none"); }),
            "File " + dir.File("none.ntx") + " could not be found");
  t.IndexOn("dvel.ntx", "dvel", "f04+f10", "", 1, 0);
  EXPECT_EQ(ErrorOf([&] { t.IndexOpen("dvel.ntx", "other"); }), "Cannot find index tag other");
  EXPECT_EQ(ErrorOf([&] { t.FindInTag("other", "x"); }), "Cannot find index tag other");
  EXPECT_EQ(ErrorOf([&] { t.IndexOn("long.ntx", "", "f05+f05+f05+f05+f05+f05", "", 1, 0); }),
            "Sort key length must be 1-240 bytes, is 241");
  EXPECT_FALSE(std::ifstream(dir.File("long.ntx")).good());
  // A damaged header or root is reported, not followed.
  std::string bytes = ReadFileBytes(dir.File("dvel.ntx"));
  PutLE32(&bytes[kNtxOffRoot], 9 * 1024);
  testing_support::WriteFileBytes(dir.File("bad.ntx"), bytes);
  EXPECT_EQ(ErrorOf([&] {
              t.IndexOpen("bad.ntx", "bad");
              t.FindInTag("bad", "1");
            }),
            "Index file bad.ntx is corrupted");
}

TEST(NtxIndex, SearchesPassOverDeletedRows) {
  TempDir dir;
  const std::string path = dir.File("dvel.dbf");
  CreateDbfTable(path, TxbDBFTypes::Clipper, testing::IncomeFields());
  XBO_dBHandler t(path, true, true);
  for (int i = 0; i < 40; ++i) AppendRow(t, std::to_string(1000000000 + i), "101");
  AppendRow(t, "1000000005", "101");  // record 41, same key as record 6
  t.IndexOn("dvel.ntx", "dvel", "f04+f10", "", 1, 0);
  t.IndexOpen("dvel.ntx", "dvel");
  // Deleted rows a pack left behind: the first entry of the key, and a key
  // of its own.
  for (int r : {6, 9}) {
    t.GoToRecord(r);
    t.DeleteRecord();
  }
  t.GoToRecord(2);
  EXPECT_EQ(t.FindInTag("dvel", Key("1000000005", "101")), 41);
  EXPECT_EQ(t.FindInTag("dvel", Key("1000000008", "101")), 0);
  EXPECT_EQ(t.RecordNumber(), 2);
  EXPECT_TRUE(t.LocateRecord("F04", {"1000000005"}, 0, false, false));
  EXPECT_EQ(t.RecordNumber(), 41);
  t.SetUseDeleted(true);
  EXPECT_EQ(t.FindInTag("dvel", Key("1000000005", "101")), 6);
  EXPECT_EQ(t.FindInTag("dvel", Key("1000000008", "101")), 9);
  t.SetUseDeleted(false);
  t.GoToRecord(41);
  t.DeleteRecord();
  EXPECT_EQ(t.FindInTag("dvel", Key("1000000005", "101")), 0);
}

TEST(NtxIndex, LocateSeeksThroughATagOfExactlyItsFields) {
  TempDir dir;
  const std::string path = dir.File("dvel.dbf");
  CreateDbfTable(path, TxbDBFTypes::Clipper, testing::IncomeFields());
  XBO_dBHandler t(path, true, true);
  for (int i = 0; i < 40; ++i)
    AppendRow(t, std::to_string(1000000000 + i % 20), i < 20 ? "101" : "820");
  t.IndexOn("dvel.ntx", "dvel", "f04+f10", "", 1, 0);
  t.IndexOn("id.ntx", "id", "upper(f04)", "", 1, 0);
  t.IndexOpen("dvel.ntx;id.ntx", "");
  EXPECT_TRUE(t.LocateRecord("f10; F04", {"820", "1000000003"}, 0, false, false));  // a scan
  EXPECT_EQ(t.RecordNumber(), 24);
  EXPECT_TRUE(t.LocateRecord("F04;F10", {"1000000003", "820"}, 0, false, false));
  EXPECT_EQ(t.RecordNumber(), 24);
  EXPECT_FALSE(t.LocateRecord("F04;F10", {"1000000003", "999"}, 0, false, false));
  EXPECT_EQ(t.RecordNumber(), 24);
  // Another table object changes record 2 behind the open indexes: the seek
  // no longer finds its new value, which shows that it seeks, and it checks
  // the records it visits, so the stale entry finds nothing either.
  {
    XBO_dBHandler other(path, true, true);
    other.GoToRecord(2);
    other.StringPut("F04", "77");
    other.WriteRecord(2);
  }
  EXPECT_FALSE(t.LocateRecord("F04", {"77"}, 0, false, false));
  EXPECT_TRUE(t.LocateRecord("F04", {"77"}, 0, true, false));  // partial: a scan
  EXPECT_EQ(t.RecordNumber(), 2);
  EXPECT_TRUE(t.LocateRecord("F04", {"1000000001"}, 0, false, false));
  EXPECT_EQ(t.RecordNumber(), 22);
}

TEST(NtxIndex, RangeOptionsDecideAboutTheHighKey) {
  TempDir dir;
  const std::string path = dir.File("typed.dbf");
  CreateDbfTable(path, TxbDBFTypes::Clipper, testing::TypedFields());
  XBO_dBHandler t(path, true, true);
  for (const char *name : {"B", "ABC", "A", "AB", "AA"}) testing::AppendValues(t, {name});
  t.IndexOn("name.ntx", "", "name", "", 1, 0);
  t.IndexOpen("name.ntx", "name");
  struct Case {
    int options;
    std::vector<std::string> names;
  };
  const Case cases[] = {
      {0, {"AA", "AB", "ABC"}},
      {kRangeHighWhole, {"AA", "AB"}},
      {kRangeHighExclusive, {"AA"}},
      {kRangeHighWhole | kRangeHighExclusive, {"AA"}},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.options);
    t.SetRange("AA", "AB", c.options);
    EXPECT_EQ(t.StringGet("NAME"), c.names.front());
    std::vector<std::string> forward, backward;
    for (t.GoToRecord(kGoFirst); !t.Eof(); t.GoToRecord(kGoNext))
      forward.push_back(t.StringGet("NAME"));
    for (t.GoToRecord(kGoLast); !t.Eof() && !t.Bof(); t.GoToRecord(kGoPrior))
      backward.insert(backward.begin(), t.StringGet("NAME"));
    EXPECT_EQ(forward, c.names);
    EXPECT_EQ(backward, c.names);
  }
}

TEST(NtxIndex, ClipLockHoldsTheIndexLockWhileNavigatingAndSearching) {
  TempDir dir;
  const std::string path = dir.File("dvel.dbf");
  CreateDbfTable(path, TxbDBFTypes::Clipper, testing::IncomeFields());
  {
    XBO_dBHandler build(path, true, true);
    for (int i = 0; i < 5; ++i) AppendRow(build, std::to_string(1000000000 + i), "101");
    build.IndexOn("dvel.ntx", "dvel", "f04+f10", "", 1, 0);
  }
  XBO_DiskFile probe(dir.File("dvel.ntx"));
  probe.DiskOpen(true, false);
  const auto index_locked = [&] {
    if (!probe.DiskLock(1000000000, 1)) return true;
    probe.DiskUnlock();
    return false;
  };
  for (const TxbLokProtocol protocol : {TxbLokProtocol::Default, TxbLokProtocol::ClipLock}) {
    SCOPED_TRACE(static_cast<int>(protocol));
    const bool clip = protocol == TxbLokProtocol::ClipLock;
    DBFObject t(path, true, true);
    t.SetLockProtocol(static_cast<int>(protocol));
    t.IndexOpen("dvel.ntx", "dvel");
    std::vector<bool> seen;
    t.OnRecordVisible = [&] {
      seen.push_back(index_locked());
      return true;
    };
    t.GoToRecord(kGoFirst);
    t.GoToRecord(kGoNext);
    EXPECT_TRUE(t.LocateRecord("F04", {"1000000003"}, 0, true, false));
    EXPECT_TRUE(t.Find(Key("1000000004", "101")));
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(std::count(seen.begin(), seen.end(), clip), static_cast<long>(seen.size()));
    EXPECT_FALSE(index_locked());  // released afterwards
  }
}

TEST(NtxIndex, VerifyFindsEntriesUnderAWrongKey) {
  TempDir dir;
  const std::string path = dir.File("dvel.dbf");
  CreateDbfTable(path, TxbDBFTypes::Clipper, testing::IncomeFields());
  {
    XBO_dBHandler t(path, true, true);
    for (int i = 0; i < 60; ++i) AppendRow(t, std::to_string(1000000000 + i), "101");
    t.IndexOn("dvel.ntx", "dvel", "f04+f10", "", 1, 0);
    t.IndexOpen("dvel.ntx", "dvel");
    const NtxVerifyReport sound = VerifyNtxTag(t, NtxTag(t));
    EXPECT_TRUE(sound.problems.empty());
    EXPECT_EQ(sound.entries, 60u);
    EXPECT_EQ(sound.pages, 3u);
  }
  // Change the stored key of record 60 inside the index file.
  std::string bytes = ReadFileBytes(dir.File("dvel.ntx"));
  const size_t at = bytes.find("1000000059");
  ASSERT_NE(at, std::string::npos);
  bytes[at] = '9';
  testing_support::WriteFileBytes(dir.File("dvel.ntx"), bytes);
  XBO_dBHandler t(path, true, true);
  t.IndexOpen("dvel.ntx", "dvel");
  const NtxVerifyReport report = VerifyNtxTag(t, NtxTag(t));
  EXPECT_EQ(report.problems,
            (std::vector<std::string>{
                "record 60 is indexed under \"9000000059   101  \" instead of its key "
                "\"1000000059   101  \""}));
}

// A unique tag holding two equal keys (written by a program that ignored the
// flag, or flagged afterwards) passed the check.
TEST(NtxIndex, VerifyFindsEqualKeysInAUniqueTag) {
  TempDir dir;
  const std::string path = dir.File("dvel.dbf");
  CreateDbfTable(path, TxbDBFTypes::Clipper, testing::IncomeFields());
  {
    XBO_dBHandler t(path, true, true);
    for (const char *id : {"3", "1", "3", "2", "3"}) AppendRow(t, id, "101");
    t.IndexOn("dvel.ntx", "dvel", "f04+f10", "", 1, 0);
  }
  std::string bytes = ReadFileBytes(dir.File("dvel.ntx"));
  bytes[kNtxOffUnique] = 1;
  testing_support::WriteFileBytes(dir.File("dvel.ntx"), bytes);
  XBO_dBHandler t(path, true, true);
  t.IndexOpen("dvel.ntx", "dvel");
  ASSERT_TRUE(NtxTag(t).Unique());
  const std::string key = Key("3", "101");
  EXPECT_EQ(VerifyNtxTag(t, NtxTag(t)).problems,
            (std::vector<std::string>{
                "record 3 has the same key \"" + key + "\" as record 1 in a unique tag",
                "record 5 has the same key \"" + key + "\" as record 1 in a unique tag"}));
  // Built as unique, the tag holds the first record of each key only.
  t.IndexOn("uniq.ntx", "", "f04+f10", "", 0, 0);
  t.IndexOpen("uniq.ntx", "uniq");
  const NtxVerifyReport built = VerifyNtxTag(t, NtxTag(t));
  EXPECT_EQ(built.problems, std::vector<std::string>{});
  EXPECT_EQ(built.entries, 3u);
}

// For these row counts the build used to end with an empty last leaf, which
// the check calls a damaged index; the counts beside them always came out
// sound.
TEST(NtxIndex, FreshIndexOfAnyRowCountPassesVerify) {
  for (int rows : {577, 578, 1015, 2975}) {
    SCOPED_TRACE(rows);
    TempDir dir;
    const std::string path = dir.File("dvel.dbf");
    testing::MakeNumberedTable(path, rows, 8);  // F04 = "1".."rows"
    XBO_dBHandler t(path, true, true);
    t.IndexOn("dvel.ntx", "dvel", "f04+f10", "", 1, 0);
    t.IndexOpen("dvel.ntx", "dvel");
    const NtxVerifyReport report = VerifyNtxTag(t, NtxTag(t));
    EXPECT_EQ(report.problems, std::vector<std::string>{});
    EXPECT_EQ(report.entries, static_cast<size_t>(rows));
    EXPECT_EQ(t.FindInTag("dvel", Key(std::to_string(rows), "")), rows);
  }
}

}  // namespace
}  // namespace xb
