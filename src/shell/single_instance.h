// The single-instance guard: an exclusive lock on a file named vedilMutex in
// the user's runtime directory ($XDG_RUNTIME_DIR, else the temporary
// directory), held by an open descriptor for the life of the process. The
// kernel drops the lock when the process ends in any way, so a copy that was
// killed leaves nothing stale behind.
#pragma once

#include <QString>

namespace shell {

// The directory the lock file lives in.
QString InstanceLockDir();

// Takes the lock in `dir` (InstanceLockDir() by default) and keeps it until
// the process ends. False when another running copy holds it. A lock file
// that cannot be created at all does not stop the program.
bool AcquireInstanceLock(const QString &dir = InstanceLockDir());

}  // namespace shell
