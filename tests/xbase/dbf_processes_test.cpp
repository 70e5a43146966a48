// Two processes on one table: concurrent appends, record locks across
// processes, and a pack killed half way.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>

#include "support/common/temp_dir.h"
#include "xbase/byte_helpers.h"
#include "xbase/child_process.h"  // tests/xbase
#include "xbase/table_fixture.h"  // tests/xbase

namespace xb {
namespace {

using testing::AppendValues;
using testing::FastDir;
using testing::MakeNumberedTable;
using testing::Spawn;
using testing::WaitFor;

TEST(DbfProcesses, ConcurrentAppendsAllArrive) {
  FastDir dir;
  const std::string path = dir.File("dvel.dbf");
  CreateDbfTable(path, TxbDBFTypes::Clipper, testing::IncomeFields());
  constexpr int kRows = 1000;
  int pipe_fd[2];
  ASSERT_EQ(pipe(pipe_fd), 0);
  std::vector<pid_t> children;
  for (const char *who : {"A", "B"}) {
    children.push_back(Spawn([&, who] {
      XBO_dBHandler t(path, true, true);
      char go;
      if (read(pipe_fd[0], &go, 1) != 1) return 2;  // start together
      for (int i = 1; i <= kRows; ++i) AppendValues(t, {std::to_string(i), who});
      return 0;
    }));
  }
  close(pipe_fd[0]);
  ASSERT_EQ(write(pipe_fd[1], "gg", 2), 2);
  close(pipe_fd[1]);
  for (pid_t pid : children) EXPECT_EQ(WaitFor(pid), 0);

  XBO_dBHandler t(path, false, false);
  ASSERT_EQ(t.RecordCount(), 2 * kRows);
  EXPECT_EQ(testing_support::ReadFileBytes(path).size(), 385u + 2 * kRows * 154 + 1);
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

TEST(DbfProcesses, RecordLockOfAnotherProcessFailsAtOnce) {
  testing_support::TempDir dir;
  const std::string path = dir.File("t.dbf");
  MakeNumberedTable(path, 3);
  int ready[2], done[2];
  ASSERT_EQ(pipe(ready), 0);
  ASSERT_EQ(pipe(done), 0);
  const pid_t child = Spawn([&] {
    XBO_dBHandler t(path, true, true);
    t.GoToRecord(2);
    if (!t.LockRecord()) return 1;
    if (write(ready[1], "r", 1) != 1) return 2;
    char c;
    return read(done[0], &c, 1) == 1 ? 0 : 3;  // hold the lock until told
  });
  char c;
  ASSERT_EQ(read(ready[0], &c, 1), 1);
  XBO_dBHandler t(path, true, true);
  t.GoToRecord(2);
  EXPECT_FALSE(t.LockRecord());
  t.GoToRecord(1);
  EXPECT_TRUE(t.LockRecord());
  t.UnlockRecord();
  EXPECT_FALSE(t.LockTable());
  ASSERT_EQ(write(done[1], "d", 1), 1);
  EXPECT_EQ(WaitFor(child), 0);
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
    if (code > 0 && value == 150) kill(getpid(), SIGKILL);
  }
};

TEST(DbfProcesses, PackKilledHalfWayLeavesTheTableWhole) {
  testing_support::TempDir dir;
  const std::string path = dir.File("t.dbf");
  MakeNumberedTable(path, 300);
  const pid_t child = Spawn([&] {
    DyingTable t(path, false, true);
    for (int r = 1; r <= 300; r += 2) {
      t.GoToRecord(r);
      t.DeleteRecord();
    }
    t.Pack();
    return 0;
  });
  EXPECT_EQ(WaitFor(child), 128 + SIGKILL);
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

}  // namespace
}  // namespace xb
