// The single-instance guard, one per user: an exclusive lock on the file
// vedilMutex in the user's runtime directory ($XDG_RUNTIME_DIR when it is the
// user's own), else on vedilMutex-<user id> in the temporary directory, held
// by an open descriptor for the life of the process. The kernel drops the
// lock when the process ends in any way, so a copy that was killed leaves
// nothing stale behind.
#pragma once

#include <QString>

namespace shell {

// The lock file of this user.
QString InstanceLockPath();

// Takes the lock on `lock_file` (InstanceLockPath() by default) and keeps it
// until the process ends. False when another running copy holds it. A lock
// file that cannot be opened, or that belongs to another user, does not stop
// the program.
bool AcquireInstanceLock(const QString &lock_file = InstanceLockPath());

}  // namespace shell
