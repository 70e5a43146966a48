// One running copy: a second lock of the same name is refused while the first
// is held, and a copy that was killed while holding it leaves no stale lock
// (on Windows the mutex is abandoned and taken over). The first copy is this
// test program started again as a child (support/common/child_process.h).
#include "app/single_instance.h"

#include <gtest/gtest.h>

#include "support/common/child_process.h"
#include "support/common/temp_dir.h"

namespace {

using testing_support::ChildProcess;
using testing_support::SignalFile;
using testing_support::WaitForFile;

// Child "first-copy" LOCK READY KILL: takes the lock, signals READY, and is
// killed (by itself, as abruptly as by the system) once KILL appears.
int FirstCopy(const std::vector<std::string> &args) {
  if (!app::AcquireInstanceLock(QString::fromStdString(args.at(0)))) return 1;
  SignalFile(args.at(1));
  if (!WaitForFile(args.at(2))) return 2;
  testing_support::KillThisProcess();
}
const testing_support::ChildRegistration kFirstCopy("first-copy", &FirstCopy);

TEST(SingleInstance, SecondCopyRefusedAndAKilledCopyLeavesNoLock) {
  testing_support::TempDir dir;
  const QString lock = QString::fromStdString(dir.File("vedilMutex"));
  ChildProcess first("first-copy", {dir.File("vedilMutex"), dir.File("ready"), dir.File("kill")});
  ASSERT_TRUE(WaitForFile(dir.File("ready")));
  EXPECT_FALSE(app::AcquireInstanceLock(lock));  // a second copy is refused
  SignalFile(dir.File("kill"));
  EXPECT_EQ(first.Wait(), testing_support::kKilledStatus);
  EXPECT_TRUE(app::AcquireInstanceLock(lock));  // no stale lock
}

}  // namespace
