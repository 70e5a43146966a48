// Sharing and locks between table objects: open modes, record, header and
// table locks at the protocol's offsets, and other users' appends.
#include <gtest/gtest.h>

#include <functional>

#include "support/common/temp_dir.h"
#include "xbase/table_fixture.h"  // tests/xbase
#include "xbase/xbase_error.h"

namespace xb {
namespace {

using testing::AppendValues;
using testing::ErrorOf;
using testing::MakeNumberedTable;
using testing_support::TempDir;

TEST(DbfLocks, ExclusiveAndSharedOpensExcludeEachOther) {
  TempDir dir;
  const std::string path = dir.File("t.dbf");
  MakeNumberedTable(path, 1);
  {
    XBO_dBHandler exclusive(path, false, true);
    EXPECT_EQ(ErrorOf([&] { XBO_dBHandler other(path, true, false); }),
              "Access denied to file " + path);
  }
  XBO_dBHandler shared(path, true, false);
  XBO_dBHandler shared2(path, true, true);
  EXPECT_EQ(ErrorOf([&] { XBO_dBHandler other(path, false, true); }),
            "Access denied to file " + path);
  EXPECT_EQ(ErrorOf([&] { XBO_dBHandler missing(dir.File("none"), true, true); }),
            "File " + dir.File("none.DBF") + " could not be found");
}

TEST(DbfLocks, RecordLockOfAnotherObjectFailsAtOnce) {
  TempDir dir;
  const std::string path = dir.File("t.dbf");
  MakeNumberedTable(path, 3);
  XBO_dBHandler a(path, true, true);
  XBO_dBHandler b(path, true, true);
  a.GoToRecord(2);
  b.GoToRecord(2);
  ASSERT_TRUE(a.LockRecord());
  EXPECT_FALSE(b.LockRecord());
  b.GoToRecord(3);
  EXPECT_TRUE(b.LockRecord());  // other records stay free
  b.UnlockRecord();
  EXPECT_TRUE(a.LockRecord());  // nests
  a.UnlockRecord();
  b.GoToRecord(2);
  EXPECT_FALSE(b.LockRecord());
  a.UnlockRecord();
  EXPECT_TRUE(b.LockRecord());
  b.GoToRecord(3);
  EXPECT_EQ(ErrorOf([&] { b.LockRecord(); }), "Another lock active on file " + path);
  b.UnlockRecord();
  // A table lock excludes every record lock and the other table lock.
  ASSERT_TRUE(a.LockTable());
  EXPECT_FALSE(b.LockRecord());
  EXPECT_FALSE(b.LockTable());
  EXPECT_TRUE(a.HasFullAccess());
  EXPECT_TRUE(a.LockRecord());  // under the table lock it only counts
  a.UnlockRecord();
  a.UnlockTable();
  EXPECT_TRUE(b.LockRecordArea());
  EXPECT_FALSE(a.LockRecord());
  b.UnlockTable();
  // On an exclusive table every lock succeeds without the system.
}

TEST(DbfLocks, LockOffsetsFollowTheProtocol) {
  TempDir dir;
  const std::string path = dir.File("t.dbf");
  MakeNumberedTable(path, 7);
  XBO_dBHandler t(path, true, true);
  EXPECT_EQ(t.RecordLockOffset(7), 0x40000000LL + 385 + 6 * 154);
  EXPECT_EQ(t.HeaderLockOffset(), 0x7FFFFFFELL);
  EXPECT_EQ(t.RecordAreaLength(), 0x3FFFFFFFLL);
  t.SetLockProtocol(static_cast<int>(TxbLokProtocol::DB4Lock));
  EXPECT_EQ(t.RecordLockOffset(7), 0xEFFFFFFFLL - 8);
  EXPECT_EQ(t.HeaderLockOffset(), 0xEFFFFFFFLL);
  EXPECT_EQ(t.IndexLockLength(), 2);
  t.SetLockProtocol(static_cast<int>(TxbLokProtocol::ClipLock));
  EXPECT_EQ(t.RecordLockOffset(7), 1000000007LL);
  EXPECT_EQ(t.RecordAreaStart(), 1000000000LL);
  t.SetLockProtocol(4);  // unknown: offsets kept, record locks refused
  EXPECT_EQ(t.HeaderLockOffset(), 1000000000LL);
  t.GoToRecord(1);
  EXPECT_FALSE(t.LockRecord());
}

TEST(DbfLocks, AppendsOfAnotherObjectAreSeen) {
  TempDir dir;
  const std::string path = dir.File("t.dbf");
  MakeNumberedTable(path, 2);
  XBO_dBHandler a(path, true, true);
  XBO_dBHandler b(path, true, true);
  a.GoToRecord(kGoLast);
  AppendValues(b, {"3"});
  AppendValues(a, {"4"});  // lands behind b's record, not over it
  EXPECT_EQ(a.RecordNumber(), 4);
  b.GoToRecord(2);
  b.GoToRecord(kGoNext);
  EXPECT_EQ(b.StringGet(1), "3");
  b.GoToRecord(kGoNext);  // beyond b's count: the header is read again
  EXPECT_EQ(b.StringGet(1), "4");
  EXPECT_TRUE(b.ChangedByOthers());
  EXPECT_EQ(b.RecordCount(), 4);
}

TEST(DbfLocks, HeaderLockHeldElsewhereMakesAppendFail) {
  TempDir dir;
  const std::string path = dir.File("t.dbf");
  MakeNumberedTable(path, 1);
  XBO_dBHandler a(path, true, true);
  XBO_dBHandler b(path, true, true);
  a.LockHeader();
  b.BlankRecord();
  EXPECT_EQ(ErrorOf([&] { b.AppendRecord(); }), "Can not Lock file " + path);  // after ~5 s
  a.UnlockHeader();
  b.AppendRecord();
  EXPECT_EQ(b.RecordCount(), 2);
}

}  // namespace
}  // namespace xb
