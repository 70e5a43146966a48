// One running copy per user: a second lock on the same file is refused while
// the first is held, a copy that ended (here: a child killed with SIGKILL)
// leaves no stale lock, and another user's directory or lock file never
// stands in the way.
#include "shell/single_instance.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fcntl.h>
#include <sys/file.h>
#include <QDir>
#include <QFile>

#include "support/common/temp_dir.h"

namespace {

TEST(SingleInstance, SecondCopyRefusedAndAKilledCopyLeavesNoLock) {
  testing_support::TempDir dir;
  const QString d = QString::fromStdString(dir.File("vedilMutex"));

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

TEST(SingleInstance, TheLockFileIsPerUser) {
  testing_support::TempDir own;
  testing_support::TempDir foreign;
  const bool root = geteuid() == 0;
  if (root) {
    ASSERT_EQ(chown(foreign.path().c_str(), 12345, 12345), 0);
  }
  const QString in_tmp =
      QDir(QDir::tempPath()).filePath(QStringLiteral("vedilMutex-%1").arg(geteuid()));
  struct Case {
    const char *what;
    QByteArray runtime_dir;
    QString lock_file;
  };
  const Case cases[] = {
      {"own runtime directory", QFile::encodeName(QString::fromStdString(own.path())),
       QString::fromStdString(own.File("vedilMutex"))},
      {"missing runtime directory", "/nonexistent/dir", in_tmp},
      {"no runtime directory", "", in_tmp},
      {"another user's runtime directory",
       QFile::encodeName(QString::fromStdString(foreign.path())),
       root ? in_tmp : QString::fromStdString(foreign.File("vedilMutex"))},
  };
  const QByteArray saved = qgetenv("XDG_RUNTIME_DIR");
  for (const Case &c : cases) {
    SCOPED_TRACE(c.what);
    qputenv("XDG_RUNTIME_DIR", c.runtime_dir);
    EXPECT_EQ(shell::InstanceLockPath(), c.lock_file);
  }
  qputenv("XDG_RUNTIME_DIR", saved);
}

TEST(SingleInstance, ALockFileOfAnotherUserDoesNotBlock) {
  if (geteuid() != 0) GTEST_SKIP() << "needs root to give the file to another user";
  testing_support::TempDir dir;
  const std::string path = dir.File("vedilMutex-1000");
  // Another user's file, world-writable and locked by that user's process.
  const int theirs = open(path.c_str(), O_RDWR | O_CREAT, 0666);
  ASSERT_GE(theirs, 0);
  ASSERT_EQ(fchmod(theirs, 0666), 0);
  ASSERT_EQ(fchown(theirs, 12345, 12345), 0);
  ASSERT_EQ(flock(theirs, LOCK_EX | LOCK_NB), 0);
  EXPECT_TRUE(shell::AcquireInstanceLock(QString::fromStdString(path)));
  close(theirs);
}

}  // namespace
