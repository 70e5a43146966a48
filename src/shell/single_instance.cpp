// See single_instance.h.
#include "shell/single_instance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <QDir>
#include <cerrno>

namespace shell {

QString InstanceLockDir() {
  const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
  if (!runtime.isEmpty() && QDir(runtime).exists()) return runtime;
  return QDir::tempPath();
}

bool AcquireInstanceLock(const QString &dir) {
  const QByteArray path = QFile::encodeName(QDir(dir).filePath(QStringLiteral("vedilMutex")));
  const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) return true;
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

}  // namespace shell
