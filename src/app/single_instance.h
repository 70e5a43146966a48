// The single-instance guard, one per user. On Linux an exclusive lock on the
// file vedilMutex in the user's runtime directory ($XDG_RUNTIME_DIR when it is
// the user's own), else on vedilMutex-<user id> in the temporary directory,
// held by an open descriptor for the life of the process; on Windows the
// named mutex vedilMutex of the user's session, owned for the life of the
// process. The system drops either when the process ends in any way, so a
// copy that was killed leaves nothing stale behind (an abandoned mutex is
// taken over).
#pragma once

#include <QString>

namespace app {

// The lock of this user: the lock file on Linux, the mutex name on Windows.
QString InstanceLockPath();

// Takes the lock `lock_file` (InstanceLockPath() by default; on Windows any
// path names a mutex of its own) and keeps it until the process ends. False
// when another running copy holds it. A lock that cannot be made, or a lock
// file of another user, does not stop the program.
bool AcquireInstanceLock(const QString &lock_file = InstanceLockPath());

}  // namespace app
