// One running copy: a second lock on the same file is refused while the first
// is held, and a copy that ended (here: a child killed with SIGKILL) leaves no
// stale lock.
#include "shell/single_instance.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>

#include "support/common/temp_dir.h"

namespace {

TEST(SingleInstance, SecondCopyRefusedAndAKilledCopyLeavesNoLock) {
  testing_support::TempDir dir;
  const QString d = QString::fromStdString(dir.path());

  int ready[2];
  ASSERT_EQ(pipe(ready), 0);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    // The first copy: takes the lock and waits to be killed.
    const char ok = shell::AcquireInstanceLock(d) ? '1' : '0';
    (void)!write(ready[1], &ok, 1);
    for (;;) pause();
  }
  char ok = 0;
  ASSERT_EQ(read(ready[0], &ok, 1), 1);
  EXPECT_EQ(ok, '1');
  EXPECT_FALSE(shell::AcquireInstanceLock(d));  // a second copy is refused

  kill(child, SIGKILL);
  waitpid(child, nullptr, 0);
  EXPECT_TRUE(shell::AcquireInstanceLock(d));  // no stale lock
  close(ready[0]);
  close(ready[1]);
}

TEST(SingleInstance, LockDirFallsBackToTheTemporaryDirectory) {
  const QByteArray saved = qgetenv("XDG_RUNTIME_DIR");
  qputenv("XDG_RUNTIME_DIR", "/nonexistent/dir");
  EXPECT_EQ(shell::InstanceLockDir(), QDir::tempPath());
  qputenv("XDG_RUNTIME_DIR", saved);
}

}  // namespace
