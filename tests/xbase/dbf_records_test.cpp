// Records of a table: appending, rewriting, positioning, visibility of deleted
// records, counting, locating, packing and copying.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "support/common/temp_dir.h"
#include "xbase/file/byte_helpers.h"
#include "xbase/file/clock.h"
#include "xbase/table_fixture.h"  // tests/xbase
#include "xbase/xbase_error.h"

namespace xb {
namespace {

using testing::AppendValues;
using testing::ErrorOf;
using testing::MakeNumberedTable;
using testing_support::ReadFileBytes;
using testing_support::TempDir;

// The F01 values of the records visited from first to EOF.
std::string Walk(XBO_dBHandler &t) {
  std::string out;
  for (t.GoToRecord(kGoFirst); !t.Eof(); t.GoToRecord(kGoNext)) out += t.StringGet(1) + " ";
  return out;
}

std::string WalkBack(XBO_dBHandler &t) {
  std::string out;
  for (t.GoToRecord(kGoLast); !t.Bof() && !t.Eof(); t.GoToRecord(kGoPrior)) {
    out += t.StringGet(1) + " ";
  }
  return out;
}

TEST(DbfRecords, AppendsKeepCountStampAndEndMarker) {
  TempDir dir;
  const std::string path = dir.File("dvel.dbf");
  CreateDbfTable(path, TxbDBFTypes::Clipper, testing::IncomeFields());
  SetClockForTesting(LocalTime{2020, 5, 17, 9, 8, 7, 6});
  {
    XBO_dBHandler t(path, true, true);
    t.SetUserNumber(42);
    for (const char *v : {"A", "B", "C"}) AppendValues(t, {v});
    EXPECT_EQ(t.RecordNumber(), 3);
    EXPECT_FALSE(t.Eof());
  }
  SetClockForTesting(std::nullopt);
  const std::string bytes = ReadFileBytes(path);
  const auto *b = reinterpret_cast<const uint8_t *>(bytes.data());
  ASSERT_EQ(bytes.size(), 385u + 3 * 154 + 1);
  EXPECT_EQ(GetLE32(b + 4), 3u);
  EXPECT_EQ(b[385 + 3 * 154], 0x1A);
  EXPECT_EQ(b[1], 20);
  EXPECT_EQ(b[2], 5);
  EXPECT_EQ(b[3], 17);
  EXPECT_EQ(GetLE32(b + 16), ((9u * 64 + 8) * 64 + 7) * 1024 + 6);
  EXPECT_EQ(GetLE32(b + 20), 42u);
  EXPECT_EQ(bytes.substr(385, 7), " A    \x20");
}

TEST(DbfRecords, PositioningCodesAndBounds) {
  TempDir dir;
  const std::string path = dir.File("t.dbf");
  MakeNumberedTable(path, 3);
  XBO_dBHandler t(path, true, true);
  t.GoToRecord(2);
  EXPECT_EQ(t.StringGet(1), "2");
  t.GoToRecord(kGoPrior);
  t.GoToRecord(kGoPrior);  // at record 1: BOF, and the table stays
  EXPECT_TRUE(t.Bof());
  EXPECT_EQ(t.RecordNumber(), 1);
  t.GoToRecord(kGoLast);
  EXPECT_EQ(t.StringGet(1), "3");
  t.GoToRecord(4);  // count + 1
  EXPECT_TRUE(t.Eof());
  EXPECT_EQ(t.StringGet(1), "");
  EXPECT_EQ(ErrorOf([&] { t.GoToRecord(5); }), "Record number 5 is not in table " + path);
  EXPECT_EQ(ErrorOf([&] { t.GoToRecord(-9); }), "Record number -9 is not in table " + path);
  t.GoToRecord(0);
  EXPECT_TRUE(t.Eof());
  t.Skip(2);
  EXPECT_EQ(t.StringGet(1), "2");
  t.Skip(10);  // deleted records hidden: steps, and runs off at EOF
  EXPECT_TRUE(t.Eof());
  t.SetUseDeleted(true);  // natural order jumps, clamped to the table
  t.GoToRecord(1);
  t.Skip(10);
  EXPECT_EQ(t.StringGet(1), "3");
  EXPECT_TRUE(t.Eof());
  t.GoToRecord(2);
  t.Skip(-5);
  EXPECT_EQ(t.RecordNumber(), 1);
  EXPECT_TRUE(t.Bof());

  CreateDbfTable(dir.File("empty.dbf"), TxbDBFTypes::Clipper, testing::IncomeFields());
  XBO_dBHandler empty(dir.File("empty.dbf"), false, true);
  empty.GoToRecord(kGoFirst);
  EXPECT_TRUE(empty.Eof() && empty.Bof());
  EXPECT_EQ(empty.RecordCount(true), 0);
}

TEST(DbfRecords, RewritesDeletesAndRecalls) {
  TempDir dir;
  const std::string path = dir.File("t.dbf");
  MakeNumberedTable(path, 3);
  {
    XBO_dBHandler t(path, false, true);
    t.GoToRecord(2);
    t.StringPut("F05", "Иван");
    t.WriteRecord(2);
    t.DeleteRecord();
    EXPECT_TRUE(t.IsDeleted());
    EXPECT_EQ(ErrorOf([&] { t.WriteRecord(4); }), "Record number 4 is not in table " + path);
  }
  const std::string bytes = ReadFileBytes(path);
  EXPECT_EQ(bytes[385 + 154], '*');
  EXPECT_EQ(bytes.substr(385 + 154 + 1 + 5 + 1 + 1 + 13, 8), "Иван");
  XBO_dBHandler t(path, false, true);
  t.GoToRecord(2);  // a record number is taken even when deleted
  EXPECT_TRUE(t.IsDeleted());
  t.UndeleteRecord();
  t.GoToRecord(2);
  EXPECT_FALSE(t.IsDeleted());
}

TEST(DbfRecords, DeletedRecordsAreSkippedUnlessUseDeleted) {
  TempDir dir;
  const std::string path = dir.File("t.dbf");
  MakeNumberedTable(path, 6);
  XBO_dBHandler t(path, false, true);
  for (int r : {1, 3, 4, 6}) {
    t.GoToRecord(r);
    t.DeleteRecord();
  }
  EXPECT_EQ(Walk(t), "2 5 ");
  EXPECT_EQ(WalkBack(t), "5 2 ");
  t.GoToRecord(2);
  t.GoToRecord(kGoPrior);  // nothing visible before record 2
  EXPECT_TRUE(t.Bof());
  EXPECT_EQ(t.StringGet(1), "2");
  t.GoToRecord(3);
  t.GoToRecord(kGoCurrent);  // an invisible current record steps forward
  EXPECT_EQ(t.StringGet(1), "5");
  t.GoToRecord(2);
  t.Skip(1);
  EXPECT_EQ(t.StringGet(1), "5");
  t.Skip(1);
  EXPECT_TRUE(t.Eof());
  EXPECT_EQ(t.RecordCount(), 6);
  t.GoToRecord(5);
  EXPECT_EQ(t.RecordCount(true), 2);
  EXPECT_EQ(t.RecordNumber(), 5);  // counting keeps the position
  t.SetUseDeleted(true);
  EXPECT_EQ(Walk(t), "1 2 3 4 5 6 ");
  EXPECT_EQ(t.RecordCount(true), 6);
  t.SetUseDeleted(false);
  t.GoToRecord(2);
  t.DeleteRecord();
  t.GoToRecord(5);
  t.DeleteRecord();
  t.GoToRecord(kGoLast);
  EXPECT_TRUE(t.Eof() && t.Bof());
}

TEST(DbfRecords, LocateRecordScansForFieldValues) {
  TempDir dir;
  const std::string path = dir.File("t.dbf");
  CreateDbfTable(path, TxbDBFTypes::Clipper, testing::IncomeFields());
  XBO_dBHandler t(path, false, true);
  AppendValues(t, {"1", "", "", "1111111111", "", "", "", "", "", "101"});
  AppendValues(t, {"2", "", "", "2222222222", "\xCF\xE5\xF2\xF0\xEE\xE2", "", "", "", "", "102"});
  AppendValues(t,
               {"3", "", "", "2222222222", "\xEF\xE5\xF2\xF0\xEE\xE2\xE0", "", "", "", "", "103"});
  AppendValues(t, {"4", "", "", "2222222222", "", "", "", "", "", "102"});
  t.GoToRecord(1);
  EXPECT_TRUE(t.LocateRecord("f04;F10", {"2222222222", "102"}, 0, false, false));
  EXPECT_EQ(t.RecordNumber(), 2);
  EXPECT_TRUE(t.LocateRecord("F04;F10", {"2222222222", "102"}, 2, false, false));
  EXPECT_EQ(t.RecordNumber(), 4);
  EXPECT_TRUE(t.LocateRecord("F05", {"\xCF\xC5\xD2\xD0\xCE\xC2\xC0"}, 0, false, true));
  EXPECT_EQ(t.RecordNumber(), 3);
  EXPECT_FALSE(t.LocateRecord("F05", {"\xCF\xC5\xD2\xD0\xCE\xC2\xC0"}, 0, false, false));
  EXPECT_EQ(t.RecordNumber(), 3);  // a miss goes back where it was
  EXPECT_TRUE(t.LocateRecord("F04;F10", {"2222222222", "10"}, 0, true, false));
  EXPECT_EQ(t.RecordNumber(), 2);
  EXPECT_FALSE(t.LocateRecord("F10", {"10"}, 0, false, false));
  t.GoToRecord(2);
  t.DeleteRecord();
  EXPECT_TRUE(t.LocateRecord("F10", {"102"}, 0, false, false));
  EXPECT_EQ(t.RecordNumber(), 4);
  EXPECT_EQ(ErrorOf([&] { t.LocateRecord("F99", {"1"}, 0, false, false); }),
            "There is no field name " + path + "->F99");
}

TEST(DbfRecords, PackKeepsActiveRecordsInOrder) {
  TempDir dir;
  const std::string path = dir.File("t.dbf");
  MakeNumberedTable(path, 5);
  {
    XBO_dBHandler t(path, false, true);
    for (int r : {2, 4}) {
      t.GoToRecord(r);
      t.DeleteRecord();
    }
    t.Pack();
    EXPECT_EQ(t.RecordCount(), 3);
    EXPECT_EQ(t.RecordNumber(), 1);
    t.SetUseDeleted(true);
    EXPECT_EQ(Walk(t), "1 3 5 ");
    AppendValues(t, {"6"});  // the packed table is the open one
  }
  const std::string bytes = ReadFileBytes(path);
  EXPECT_EQ(bytes.size(), 385u + 4 * 154 + 1);
  EXPECT_EQ(GetLE32(bytes.data() + 4), 4u);
  EXPECT_EQ(bytes.back(), '\x1A');
  // Nothing is left behind in the directory but the table.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                          std::filesystem::directory_iterator()),
            1);
  XBO_dBHandler shared(path, true, true);
  EXPECT_EQ(ErrorOf([&] { shared.Pack(); }), "Pack requires full access to file " + path);
}

TEST(DbfRecords, CopyFileWritesVisibleRecordsToANewTable) {
  TempDir dir;
  const std::string path = dir.File("t.dbf");
  MakeNumberedTable(path, 4);
  XBO_dBHandler t(path, true, true);
  t.GoToRecord(3);
  t.DeleteRecord();
  t.GoToRecord(2);
  t.CopyFile(dir.File("copy"));
  EXPECT_EQ(t.RecordNumber(), 2);
  EXPECT_EQ(t.LockCount(), 0);  // the table lock taken for the copy is released
  XBO_dBHandler copy(dir.File("copy.DBF"), true, false);
  EXPECT_EQ(copy.RecordCount(), 3);
  EXPECT_EQ(Walk(copy), "1 2 4 ");
  EXPECT_EQ(ReadFileBytes(dir.File("copy.DBF")).substr(0, 1), "\x03");
}

TEST(DbfRecords, ReadBufferServesScansAndFollowsWrites) {
  TempDir dir;
  const std::string path = dir.File("t.dbf");
  MakeNumberedTable(path, 500);  // about 77 kB: three windows
  XBO_dBHandler t(path, false, true);
  t.SetReadBuffer(true);
  t.GoToRecord(100);
  t.StringPut("F05", "changed");
  t.WriteRecord(100);
  t.GoToRecord(300);  // another window
  t.GoToRecord(100);
  EXPECT_EQ(t.StringGet("F05"), "changed");
  int n = 0;
  for (t.GoToRecord(kGoFirst); !t.Eof(); t.GoToRecord(kGoNext)) {
    ASSERT_EQ(t.StringGet(1), std::to_string(++n));
  }
  EXPECT_EQ(n, 500);
  AppendValues(t, {"501"});
  t.GoToRecord(501);
  EXPECT_EQ(t.StringGet(1), "501");
  EXPECT_TRUE(t.SetReadBuffer(false));
}

}  // namespace
}  // namespace xb
