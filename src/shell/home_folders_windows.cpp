// The home's system calls on Windows; see home_folders.h. The user's data
// folder is the roaming application data folder (%APPDATA%), and a folder
// the user makes in it is already the user's alone through the profile's
// permissions.
#include <windows.h>

#include <shlobj.h>

#include <QDir>
#include <QTemporaryFile>

#include "shell/home_folders.h"

namespace shell {

QString UserDataFolder() {
  PWSTR path = nullptr;
  QString folder;
  if (SUCCEEDED(::SHGetKnownFolderPath(FOLDERID_RoamingAppData, 0, nullptr, &path))) {
    folder = QDir::fromNativeSeparators(QString::fromWCharArray(path));
  }
  ::CoTaskMemFree(path);
  if (folder.isEmpty()) folder = QDir::fromNativeSeparators(qEnvironmentVariable("APPDATA"));
  return folder.isEmpty() ? QDir::homePath() : folder;
}

bool CanCreateFilesIn(const QString &dir) {
  // The folder's access rules are not for reading here: making a file tells.
  QTemporaryFile probe(dir + QStringLiteral("/vedil-write-test-XXXXXX"));
  return probe.open();
}

bool MakePrivateFolder(const QString &folder, QString *error) {
  if (QDir().mkdir(folder) || QFileInfo(folder).isDir()) return true;
  *error = QStringLiteral("папката не може да бъде създадена");
  return false;
}

}  // namespace shell
