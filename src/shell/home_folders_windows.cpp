// The home's system calls on Windows; see home_folders.h. The user's data
// folder is %APPDATA% (the roaming application data folder), and a folder
// the user makes in it is the user's alone through the profile's
// permissions already.
#include <windows.h>

#include <shlobj.h>

#include <QDir>
#include <QFileInfo>
#include <QTemporaryFile>

#include "shell/home_folders.h"

namespace shell {

const char *UserDataFolderVariable() { return "APPDATA"; }

QString UserDataFolder() {
  const QString named = QDir::fromNativeSeparators(qEnvironmentVariable(UserDataFolderVariable()));
  if (QDir::isAbsolutePath(named)) return named;
  PWSTR path = nullptr;
  QString folder;
  if (SUCCEEDED(::SHGetKnownFolderPath(FOLDERID_RoamingAppData, 0, nullptr, &path))) {
    folder = QDir::fromNativeSeparators(QString::fromWCharArray(path));
  }
  ::CoTaskMemFree(path);
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
