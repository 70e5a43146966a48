// The Linux lock file is per user: the runtime directory only when it is the
// user's own, else a name with the user's id in the temporary directory, and
// another user's lock file never stands in the way.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include <QDir>
#include <QFile>

#include "app/single_instance.h"
#include "support/common/temp_dir.h"

namespace {

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
    EXPECT_EQ(app::InstanceLockPath(), c.lock_file);
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
  EXPECT_TRUE(app::AcquireInstanceLock(QString::fromStdString(path)));
  close(theirs);
}

}  // namespace
