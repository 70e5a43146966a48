// The single-instance guard on Windows: the named mutex vedilMutex; see
// single_instance.h.
#include <windows.h>

#include <string>

#include "app/single_instance.h"

namespace app {

QString InstanceLockPath() { return QStringLiteral("vedilMutex"); }

bool AcquireInstanceLock(const QString &name) {
  // A mutex name may hold any character but the backslash.
  std::wstring wide = QString(name).replace(QLatin1Char('\\'), QLatin1Char('/')).toStdWString();
  const HANDLE mutex = ::CreateMutexW(nullptr, FALSE, wide.c_str());
  if (mutex == nullptr) return true;  // no mutex to be had does not stop the program
  const DWORD wait = ::WaitForSingleObject(mutex, 0);
  // A copy that ended without releasing it left the mutex abandoned: ours now.
  if (wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED) return true;
  ::CloseHandle(mutex);
  return false;
}

}  // namespace app
