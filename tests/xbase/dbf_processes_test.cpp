// Two processes on one table: concurrent appends, record locks across
// processes, a pack killed half way, and a pack refused while another
// process has the table open. The second process is this test program
// started again as a named child (support/common/child_process.h).
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "support/common/child_process.h"
#include "support/common/temp_dir.h"
#include "xbase/fast_dir.h"  // tests/xbase
#include "xbase/file/byte_helpers.h"
#include "xbase/table_fixture.h"  // tests/xbase

namespace xb {
namespace {

using testing::AppendValues;
using testing::FastDir;
using testing::MakeNumberedTable;
using testing_support::ChildProcess;
using testing_support::ChildRegistration;
using testing_support::kKilledStatus;
using testing_support::SignalFile;
using testing_support::WaitForFile;

constexpr int kRows = 1000;

// Child "append" TABLE WHO GO: opens the table shared, waits for GO, then
// appends kRows rows numbered 1.. with WHO in F02.
int AppendRows(const std::vector<std::string> &args) {
  XBO_dBHandler t(args.at(0), true, true);
  if (!WaitForFile(args.at(2))) return 2;  // start together
  for (int i = 1; i <= kRows; ++i) AppendValues(t, {std::to_string(i), args.at(1)});
  return 0;
}
const ChildRegistration kAppend("append", &AppendRows);

TEST(DbfProcesses, ConcurrentAppendsAllArrive) {
  FastDir dir;
  const std::string path = dir.File("dvel.dbf");
  CreateDbfTable(path, TxbDBFTypes::Clipper, testing::IncomeFields());
  const std::string go = dir.File("go");
  {
    ChildProcess a("append", {path, "A", go});
    ChildProcess b("append", {path, "B", go});
    SignalFile(go);
    EXPECT_EQ(a.Wait(), 0);
    EXPECT_EQ(b.Wait(), 0);
  }

  XBO_dBHandler t(path, false, false);
  ASSERT_EQ(t.RecordCount(), 2 * kRows);
  EXPECT_EQ(t.DiskSize(), 385 + 2 * kRows * 154 + 1);
  std::set<std::string> seen;
  std::map<std::string, int> last;  // each writer's rows stay in its order
  for (t.GoToRecord(kGoFirst); !t.Eof(); t.GoToRecord(kGoNext)) {
    const std::string who = t.StringGet("F02");
    const int n = std::stoi(t.StringGet("F01"));
    ASSERT_TRUE(who == "A" || who == "B");
    EXPECT_EQ(n, last[who] + 1);
    last[who] = n;
    seen.insert(who + std::to_string(n));
  }
  EXPECT_EQ(seen.size(), 2u * kRows);
}

// Child "hold-lock" TABLE READY DONE: locks record 2, signals READY and holds
// the lock until DONE appears.
int HoldRecordLock(const std::vector<std::string> &args) {
  XBO_dBHandler t(args.at(0), true, true);
  t.GoToRecord(2);
  if (!t.LockRecord()) return 1;
  SignalFile(args.at(1));
  return WaitForFile(args.at(2)) ? 0 : 3;
}
const ChildRegistration kHoldLock("hold-lock", &HoldRecordLock);

TEST(DbfProcesses, RecordLockOfAnotherProcessFailsAtOnce) {
  testing_support::TempDir dir;
  const std::string path = dir.File("t.dbf");
  MakeNumberedTable(path, 3);
  ChildProcess child("hold-lock", {path, dir.File("ready"), dir.File("done")});
  ASSERT_TRUE(WaitForFile(dir.File("ready")));
  XBO_dBHandler t(path, true, true);
  t.GoToRecord(2);
  EXPECT_FALSE(t.LockRecord());
  t.GoToRecord(1);
  EXPECT_TRUE(t.LockRecord());
  t.UnlockRecord();
  EXPECT_FALSE(t.LockTable());
  SignalFile(dir.File("done"));
  EXPECT_EQ(child.Wait(), 0);
  t.GoToRecord(2);
  EXPECT_TRUE(t.LockRecord());  // the lock ended with the other process
  t.UnlockRecord();
}

// A table whose progress report kills its own process half way through the
// copy that a pack makes.
class DyingTable : public XBO_dBHandler {
 public:
  using XBO_dBHandler::XBO_dBHandler;
  void DiskProgress(int64_t code, int64_t value, int64_t) override {
    if (code > 0 && value == 150) testing_support::KillThisProcess();
  }
};

// Child "dying-pack" TABLE: deletes every other record and packs, dying half
// way through.
int PackAndDie(const std::vector<std::string> &args) {
  DyingTable t(args.at(0), false, true);
  for (int r = 1; r <= 300; r += 2) {
    t.GoToRecord(r);
    t.DeleteRecord();
  }
  t.Pack();
  return 0;
}
const ChildRegistration kDyingPack("dying-pack", &PackAndDie);

TEST(DbfProcesses, PackKilledHalfWayLeavesTheTableWhole) {
  testing_support::TempDir dir;
  const std::string path = dir.File("t.dbf");
  MakeNumberedTable(path, 300);
  EXPECT_EQ(ChildProcess("dying-pack", {path}).Wait(), kKilledStatus);
  XBO_dBHandler t(path, false, true);
  t.SetUseDeleted(true);
  ASSERT_EQ(t.RecordCount(), 300);
  int n = 0;
  for (t.GoToRecord(kGoFirst); !t.Eof(); t.GoToRecord(kGoNext)) {
    ASSERT_EQ(t.StringGet(1), std::to_string(++n));
    EXPECT_EQ(t.IsDeleted(), n % 2 == 1);
  }
  EXPECT_EQ(n, 300);
  t.Pack();  // and it still packs
  EXPECT_EQ(t.RecordCount(), 150);
}

// Child "open-shared" TABLE READY DONE: keeps the table open, shared, from
// READY until DONE.
int KeepOpen(const std::vector<std::string> &args) {
  XBO_dBHandler t(args.at(0), true, false);
  SignalFile(args.at(1));
  return WaitForFile(args.at(2)) ? 0 : 3;
}
const ChildRegistration kOpenShared("open-shared", &KeepOpen);

TEST(DbfProcesses, PackIsRefusedWhileAnotherProcessHasTheTableOpen) {
  testing_support::TempDir dir;
  const std::string path = dir.File("t.dbf");
  MakeNumberedTable(path, 3);
  {
    ChildProcess child("open-shared", {path, dir.File("ready"), dir.File("done")});
    ASSERT_TRUE(WaitForFile(dir.File("ready")));
    EXPECT_EQ(testing::ErrorOf([&] { XBO_dBHandler(path, false, true).Pack(); }),
              "Access denied to file " + path);
    SignalFile(dir.File("done"));
    EXPECT_EQ(child.Wait(), 0);
  }
  XBO_dBHandler t(path, false, true);  // the other process has gone
  t.GoToRecord(1);
  t.DeleteRecord();
  t.Pack();
  EXPECT_EQ(t.RecordCount(), 2);
}

}  // namespace
}  // namespace xb
