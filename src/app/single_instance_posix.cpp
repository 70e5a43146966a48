// The single-instance guard on Linux: a lock file; see single_instance.h.
#include "app/single_instance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <cerrno>

namespace app {
namespace {

// A runtime directory inherited from another user (su without a login)
// is not this user's and is not used.
bool IsOwnDirectory(const QString &dir) {
  struct stat st {};
  return !dir.isEmpty() && ::stat(QFile::encodeName(dir).constData(), &st) == 0 &&
         S_ISDIR(st.st_mode) && st.st_uid == ::geteuid();
}

}  // namespace

QString InstanceLockPath() {
  const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
  if (IsOwnDirectory(runtime)) return QDir(runtime).filePath(QStringLiteral("vedilMutex"));
  // The temporary directory is shared by every user: the name carries the user.
  return QDir(QDir::tempPath()).filePath(QStringLiteral("vedilMutex-%1").arg(::geteuid()));
}

bool AcquireInstanceLock(const QString &lock_file) {
  const QByteArray path = QFile::encodeName(lock_file);
  const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (fd < 0) return true;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || st.st_uid != ::geteuid()) {
    // Somebody else's file: its locks say nothing about this user's copies.
    ::close(fd);
    return true;
  }
  int rc;
  do {
    rc = ::flock(fd, LOCK_EX | LOCK_NB);
  } while (rc != 0 && errno == EINTR);
  if (rc != 0) {
    const bool held_elsewhere = errno == EWOULDBLOCK;
    ::close(fd);
    return !held_elsewhere;
  }
  // The descriptor stays open, holding the lock, until the process ends.
  return true;
}

}  // namespace app
